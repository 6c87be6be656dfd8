#pragma once
// The preset tree in the main window's left pane: the ten presets in the user's order
// under one root item. Selecting a preset makes it current, a double-click opens the
// editor, labels rename presets in place, drag and drop reorders them, and a right-click
// copies or pastes a whole preset. It keeps no preset data: every document change that
// another view reports rebuilds it.

#include <QPixmap>
#include <QTreeWidget>
#include <vector>

class QMenu;

namespace kv {

class CKorvaliserDoc;

class CPearTree : public QTreeWidget {
    Q_OBJECT
public:
    explicit CPearTree(CKorvaliserDoc& document, QWidget* parent = nullptr);

    // Item data: 0 for the root, 1..10 for the preset positions.
    static int itemData(const QTreeWidgetItem* item);
    QTreeWidgetItem* rootItem() const;
    QTreeWidgetItem* presetItem(int position) const;  // position 0..9

    void rebuild();
    // Renames the preset shown at item data `data`; an empty text keeps the old name.
    void renamePreset(int data, const QString& text);
    // Drops the preset of item data `draggedData` on the item of data `dropData`.
    void dropPreset(int draggedData, int dropData);
    // The context menu for the preset at `position` (0..9), owned by the caller.
    QMenu* createContextMenu(int position);
    int contextPosition() const { return contextPosition_; }
    bool isDragging() const { return dragging_; }

public slots:
    // "Update all views": rebuild unless this tree made the change itself.
    void onViewsUpdated(QObject* sender);

signals:
    void viewsUpdateRequested(QObject* sender);
    void editRequested();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void onCurrentItemChanged(QTreeWidgetItem* current);
    void onItemDoubleClicked(QTreeWidgetItem* item);
    void beginDrag(int data);
    QTreeWidgetItem* itemOfData(int data) const;
    void endDrag(const QPoint& pos);
    void showContextMenu(QTreeWidgetItem* item, const QPoint& globalPos);
    QIcon positionIcon(int position) const;

    CKorvaliserDoc& document_;
    std::vector<QPixmap> images_;  // root, positions 1..10, positions 1..10 selected
    bool built_ = false;
    bool dragging_ = false;
    bool leftPressed_ = false;
    QPoint pressPos_;
    // Item data, not item pointers: a rebuild (a rename committed by the very press that
    // starts a drag, for instance) deletes every item while the button is still held.
    int pressData_ = -1;
    int draggedData_ = 0;
    int dropTargetData_ = -1;
    QPoint dragPos_;
    int contextPosition_ = 0;
};

}  // namespace kv
