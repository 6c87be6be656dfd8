#include "ui/dialogs/ColourListBox.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QStyledItemDelegate>

namespace kv {

namespace {

constexpr int kDataRole = Qt::UserRole;
constexpr int kEnabledRole = Qt::UserRole + 1;

// Draws each item over its own background, its text one pixel in from every side; the
// list's usual selection highlight is replaced by red text.
class ColourItemDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const QColor background = index.data(Qt::BackgroundRole).value<QColor>();
        painter->fillRect(option.rect,
                          background.isValid() ? background : option.palette.color(QPalette::Base));
        QColor text = index.data(Qt::ForegroundRole).value<QColor>();
        if (!text.isValid()) text = option.palette.color(QPalette::Active, QPalette::Text);
        if (option.state.testFlag(QStyle::State_Selected)) text = CColourListBox::selectedTextColour();
        if (!index.data(kEnabledRole).toBool()) text = CColourListBox::disabledTextColour();
        painter->save();
        painter->setPen(text);
        painter->setFont(option.font);
        const auto alignment = Qt::Alignment(index.data(Qt::TextAlignmentRole).toInt());
        painter->drawText(option.rect.adjusted(1, 1, -1, -1), int(alignment) | Qt::TextSingleLine,
                          index.data(Qt::DisplayRole).toString());
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        // One line of text high: the height of "M" in the list's font.
        const QFontMetrics metrics(option.font);
        return {metrics.horizontalAdvance(index.data(Qt::DisplayRole).toString()) + 2,
                metrics.boundingRect(QStringLiteral("M")).height() + 2};
    }
};

QListWidgetItem* makeItem(const QString& text, const ColourListItem& record) {
    auto* item = new QListWidgetItem(text);  // owned by the list once inserted
    item->setData(Qt::BackgroundRole, record.background);
    item->setData(Qt::ForegroundRole, record.text);
    item->setData(Qt::TextAlignmentRole, int(record.alignment));
    item->setData(kDataRole, record.data);
    item->setData(kEnabledRole, record.enabled);
    Qt::ItemFlags flags = Qt::ItemIsEnabled;
    if (record.enabled) flags |= Qt::ItemIsSelectable;
    item->setFlags(flags);
    return item;
}

}  // namespace

CColourListBox::CColourListBox(QWidget* parent) : QListWidget(parent) {
    setItemDelegate(new ColourItemDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
}

int CColourListBox::addColourItem(const QString& text, const ColourListItem& record) {
    addItem(makeItem(text, record));
    return count() - 1;
}

int CColourListBox::insertColourItem(int position, const QString& text, const ColourListItem& record) {
    if (position < 0 || position > count()) return -1;
    insertItem(position, makeItem(text, record));
    return position;
}

std::optional<ColourListItem> CColourListBox::itemRecord(int position) const {
    const QListWidgetItem* found = position == -1 ? currentItem() : item(position);
    if (!found || (position == -1 && !found->isSelected())) return std::nullopt;
    ColourListItem record;
    record.background = found->data(Qt::BackgroundRole).value<QColor>();
    record.text = found->data(Qt::ForegroundRole).value<QColor>();
    record.alignment = Qt::Alignment(found->data(Qt::TextAlignmentRole).toInt());
    record.enabled = found->data(kEnabledRole).toBool();
    record.data = found->data(kDataRole).toInt();
    return record;
}

bool CColourListBox::deleteColourItem(int position) {
    if (position < 0 || position >= count()) return false;
    delete takeItem(position);
    return true;
}

void CColourListBox::changeEvent(QEvent* event) {
    // A change of the system colours repaints every item at once.
    if (event->type() == QEvent::PaletteChange) viewport()->update();
    QListWidget::changeEvent(event);
}

}  // namespace kv
