#pragma once
// CColourListBox: a list whose items each carry a record (background and text colour,
// alignment, enabled flag and a data value). Items are one line of text high; the
// selected item is shown by red text rather than by a highlight, a disabled item by
// light grey text. The crossover dialog's slope list uses it with each item's data
// holding the slope code.

#include <QColor>
#include <QListWidget>
#include <QString>

#include <optional>

namespace kv {

struct ColourListItem {
    QColor background;  // an invalid colour means the list's own base colour
    QColor text;        // an invalid colour means the list's own text colour
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    bool enabled = true;
    int data = 0;
};

class CColourListBox : public QListWidget {
    Q_OBJECT
public:
    explicit CColourListBox(QWidget* parent = nullptr);

    // Appends an item; returns its position.
    int addColourItem(const QString& text, const ColourListItem& record = {});
    // Inserts an item at position 0..count(); returns the position, or -1 (and inserts
    // nothing) for a position outside that range.
    int insertColourItem(int position, const QString& text, const ColourListItem& record = {});
    // The record of the item at a position, -1 meaning the current selection; nothing
    // when there is no such item.
    std::optional<ColourListItem> itemRecord(int position) const;
    bool deleteColourItem(int position);
    void deleteAllItems() { clear(); }

    // Colours the item texts are drawn in when they are not the record's own.
    static QColor selectedTextColour() { return QColor(255, 0, 0); }
    static QColor disabledTextColour() { return QColor(192, 192, 192); }

protected:
    void changeEvent(QEvent* event) override;
};

}  // namespace kv
