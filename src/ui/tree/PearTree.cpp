#include "ui/tree/PearTree.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QSvgRenderer>

#include "document/KorvaliserDoc.h"
#include "editing/PresetOrder.h"
#include "ui/AppResources.h"

namespace kv {

namespace {

constexpr int kImageWidth = 20;
constexpr int kImageHeight = 14;
constexpr int kImageCount = 2 * kPresetCount + 1;

// The strip of tree images: root, positions 1..10, and the same positions selected.
std::vector<QPixmap> loadPositionImages() {
    ensureAppResources();
    std::vector<QPixmap> images;
    QSvgRenderer renderer(QStringLiteral(":/app/tree-positions.svg"));
    if (!renderer.isValid()) return images;
    const qreal scale = qApp ? qApp->devicePixelRatio() : 1.0;
    QImage strip(QSize(kImageWidth * kImageCount, kImageHeight) * scale, QImage::Format_ARGB32_Premultiplied);
    strip.fill(Qt::transparent);
    {
        QPainter painter(&strip);
        renderer.render(&painter);
    }
    for (int i = 0; i < kImageCount; ++i) {
        QPixmap image = QPixmap::fromImage(strip.copy(
            QRect(QPoint(int(i * kImageWidth * scale), 0), QSize(kImageWidth, kImageHeight) * scale)));
        image.setDevicePixelRatio(scale);
        images.push_back(image);
    }
    return images;
}

// Labels are edited in a 16-character line; the edited text never goes into the item
// itself: the tree renames the preset and rebuilds from the document.
class PresetNameDelegate : public QStyledItemDelegate {
public:
    explicit PresetNameDelegate(CPearTree& tree) : QStyledItemDelegate(&tree), tree_(tree) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        auto* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor)) line->setMaxLength(kNameMaxChars);
        return editor;
    }

    void setModelData(QWidget* editor, QAbstractItemModel* /*model*/,
                      const QModelIndex& index) const override {
        if (const auto* line = qobject_cast<QLineEdit*>(editor))
            tree_.renamePreset(index.data(Qt::UserRole).toInt(), line->text());
    }

private:
    CPearTree& tree_;
};

}  // namespace

CPearTree::CPearTree(CKorvaliserDoc& document, QWidget* parent)
    : QTreeWidget(parent), document_(document), images_(loadPositionImages()) {
    setObjectName(QStringLiteral("presetTree"));
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    setDragEnabled(false);  // reordering is our own: only the order changes, not the items
    setExpandsOnDoubleClick(false);
    setIconSize(QSize(kImageWidth, kImageHeight));
    setItemDelegate(new PresetNameDelegate(*this));
    setMouseTracking(false);
    connect(this, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem*) { onCurrentItemChanged(current); });
    connect(this, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item, int) { onItemDoubleClicked(item); });
    rebuild();
}

int CPearTree::itemData(const QTreeWidgetItem* item) {
    return item ? item->data(0, Qt::UserRole).toInt() : -1;
}

QTreeWidgetItem* CPearTree::rootItem() const { return topLevelItemCount() > 0 ? topLevelItem(0) : nullptr; }

QTreeWidgetItem* CPearTree::presetItem(int position) const {
    QTreeWidgetItem* root = rootItem();
    return root && position >= 0 && position < root->childCount() ? root->child(position) : nullptr;
}

QTreeWidgetItem* CPearTree::itemOfData(int data) const {
    return data == 0 ? rootItem() : presetItem(data - 1);
}

QIcon CPearTree::positionIcon(int position) const {
    QIcon icon;
    const auto normal = static_cast<std::size_t>(position + 1);
    const auto selected = static_cast<std::size_t>(position + 1 + kPresetCount);
    if (selected < images_.size()) {
        icon.addPixmap(images_[normal], QIcon::Normal);
        icon.addPixmap(images_[selected], QIcon::Selected);
    }
    return icon;
}

void CPearTree::rebuild() {
    built_ = false;
    setUpdatesEnabled(false);
    clear();

    auto* root = new QTreeWidgetItem(this, QStringList{QStringLiteral("Korvalis File")});
    root->setData(0, Qt::UserRole, 0);
    QFont bold = root->font(0);
    bold.setBold(true);
    root->setFont(0, bold);
    if (!images_.empty()) root->setIcon(0, QIcon(images_.front()));
    root->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);

    QTreeWidgetItem* current = nullptr;
    for (int p = 0; p < kPresetCount; ++p) {
        const int slot = document_.slotAtPosition(p);
        auto* item =
            new QTreeWidgetItem(root, QStringList{QString::fromStdU16String(document_.presetNameText(slot))});
        item->setData(0, Qt::UserRole, p + 1);
        item->setIcon(0, positionIcon(p));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
        if (slot == document_.currentPreset()) current = item;
    }
    root->setExpanded(true);
    if (current) setCurrentItem(current);
    setUpdatesEnabled(true);
    viewport()->update();
    built_ = true;
}

void CPearTree::onViewsUpdated(QObject* sender) {
    if (sender != this) rebuild();
}

void CPearTree::onCurrentItemChanged(QTreeWidgetItem* current) {
    const int data = itemData(current);
    if (!built_ || data < 1 || data > kPresetCount) return;  // the root selects nothing
    document_.selectPreset(document_.slotAtPosition(data - 1));
    emit viewsUpdateRequested(this);
}

void CPearTree::onItemDoubleClicked(QTreeWidgetItem* item) {
    const int data = itemData(item);
    if (data < 1 || data > kPresetCount) return;
    // The editor is modal: open it once the double-click has been handled, so the view
    // has stopped its pending in-place rename of the clicked item first.
    QMetaObject::invokeMethod(
        this,
        [this] {
            emit editRequested();
            emit viewsUpdateRequested(this);
        },
        Qt::QueuedConnection);
}

void CPearTree::renamePreset(int data, const QString& text) {
    if (data < 1 || data > kPresetCount || text.isEmpty()) return;
    const int slot = document_.slotAtPosition(data - 1);
    if (text == QString::fromStdU16String(document_.presetNameText(slot))) return;  // nothing renamed
    document_.setPresetName(slot, text.left(kNameMaxChars).toStdU16String());
    // Rebuild once the edit has closed, so the item under the editor is not pulled away.
    QMetaObject::invokeMethod(
        this, [this] { emit viewsUpdateRequested(nullptr); }, Qt::QueuedConnection);
}

void CPearTree::dropPreset(int draggedData, int dropData) {
    PresetOrderArray order = document_.presetOrder();
    movePresetAfter(order, draggedData, dropData);
    document_.setPresetOrder(order);  // marks the document modified, also when nothing moved
    emit viewsUpdateRequested(nullptr);
}

QMenu* CPearTree::createContextMenu(int position) {
    contextPosition_ = position;
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("presetTreeMenu"));
    menu->addAction(QStringLiteral("Copy Preset %1").arg(position), this,
                    [this, position] { document_.copyPreset(position); });
    QAction* paste = menu->addAction(QStringLiteral("Paste to Preset"));
    if (document_.presetCopied()) {
        paste->setText(QStringLiteral("Paste to Preset %1").arg(position));
        connect(paste, &QAction::triggered, this, [this, position] {
            document_.pastePreset(position);
            emit viewsUpdateRequested(nullptr);
        });
    } else {
        paste->setEnabled(false);
    }
    return menu;
}

void CPearTree::showContextMenu(QTreeWidgetItem* item, const QPoint& globalPos) {
    const int data = itemData(item);
    if (data < 1 || data > kPresetCount) return;  // the root has no menu
    QMenu* menu = createContextMenu(data - 1);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(globalPos);
}

void CPearTree::mousePressEvent(QMouseEvent* event) {
    QTreeWidgetItem* item = itemAt(event->position().toPoint());
    if (event->button() == Qt::RightButton) {
        showContextMenu(item, event->globalPosition().toPoint());
        return;
    }
    if (event->button() == Qt::LeftButton) {
        leftPressed_ = true;
        pressPos_ = event->position().toPoint();
        pressData_ = item ? itemData(item) : -1;
    }
    QTreeWidget::mousePressEvent(event);
}

void CPearTree::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (!dragging_ && leftPressed_ && pressData_ >= 0 &&
        (pos - pressPos_).manhattanLength() >= QApplication::startDragDistance())
        beginDrag(pressData_);
    if (dragging_) {
        dragPos_ = pos;
        const QTreeWidgetItem* target = itemAt(pos);
        dropTargetData_ = target ? itemData(target) : -1;
        viewport()->update();
        return;  // no rubber-band selection while a preset is carried
    }
    QTreeWidget::mouseMoveEvent(event);
}

void CPearTree::mouseReleaseEvent(QMouseEvent* event) {
    const bool wasDragging = dragging_ && event->button() == Qt::LeftButton;
    if (event->button() == Qt::LeftButton) leftPressed_ = false;
    if (wasDragging) {
        endDrag(event->position().toPoint());
        return;
    }
    QTreeWidget::mouseReleaseEvent(event);
}

void CPearTree::beginDrag(int data) {
    QTreeWidgetItem* item = itemOfData(data);
    if (!item || data < 1 || data > kPresetCount) return;  // the root is not carried
    dragging_ = true;
    draggedData_ = data;
    setCurrentItem(item);  // the carried preset becomes current
    setCursor(Qt::DragMoveCursor);
}

void CPearTree::endDrag(const QPoint& pos) {
    dragging_ = false;
    unsetCursor();
    QTreeWidgetItem* target = itemAt(pos);
    const int dragged = draggedData_;
    draggedData_ = 0;
    dropTargetData_ = -1;
    pressData_ = -1;
    viewport()->update();
    if (target) dropPreset(dragged, itemData(target));
}

void CPearTree::paintEvent(QPaintEvent* event) {
    QTreeWidget::paintEvent(event);
    if (!dragging_) return;
    QPainter painter(viewport());
    if (const QTreeWidgetItem* dropTarget = itemOfData(dropTargetData_)) {
        // Drop target highlight and the insert mark after it.
        const QRect target = visualItemRect(dropTarget);
        painter.setPen(QPen(palette().highlight().color(), 1, Qt::DotLine));
        painter.drawRect(target.adjusted(0, 0, -1, -1));
        painter.setPen(QPen(palette().text().color(), 2));
        painter.drawLine(target.left(), target.bottom(), target.right(), target.bottom());
    }
    // The carried preset follows the pointer.
    if (const QTreeWidgetItem* carried = presetItem(draggedData_ - 1)) {
        painter.setOpacity(0.6);
        painter.setPen(palette().text().color());
        painter.drawText(dragPos_ + QPoint(12, 4), carried->text(0));
    }
}

}  // namespace kv
