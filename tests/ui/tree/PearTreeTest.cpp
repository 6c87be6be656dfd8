#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include "document/KorvaliserDoc.h"
#include "ui/tree/PearTree.h"

namespace kv {
namespace {

class PearTreeTest : public ::testing::Test {
protected:
    PearTreeTest() : tree(doc) {
        // The document host's part: other views' updates rebuild the tree.
        QObject::connect(&tree, &CPearTree::viewsUpdateRequested, &tree,
                         [this](QObject* sender) { tree.onViewsUpdated(sender); });
        tree.resize(260, 420);
        tree.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&tree));
        doc.setModified(false);
    }

    QPoint centreOf(QTreeWidgetItem* item) const { return tree.visualItemRect(item).center(); }

    void drag(QTreeWidgetItem* from, QTreeWidgetItem* onto) {
        QWidget* vp = tree.viewport();
        const QPoint a = centreOf(from);
        const QPoint b = centreOf(onto);
        QTest::mousePress(vp, Qt::LeftButton, {}, a);
        const int beyondThreshold = QApplication::startDragDistance() + 2;
        QTest::mouseMove(vp, a + QPoint(0, (b.y() > a.y() ? 1 : -1) * beyondThreshold));
        EXPECT_EQ(tree.isDragging(), from != tree.rootItem());
        QTest::mouseMove(vp, b);
        QTest::mouseRelease(vp, Qt::LeftButton, {}, b);
        EXPECT_FALSE(tree.isDragging());
    }

    QString shownOrder() const {
        QStringList order;
        for (int p = 0; p < kPresetCount; ++p) order.append(QString::number(doc.slotAtPosition(p) + 1));
        return order.join(QLatin1Char(','));
    }

    CKorvaliserDoc doc;
    CPearTree tree;
};

TEST_F(PearTreeTest, NewDocumentShowsRootAndTenPresetsFirstSelected) {
    QTreeWidgetItem* root = tree.rootItem();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->text(0), QStringLiteral("Korvalis File"));
    EXPECT_TRUE(root->font(0).bold());
    EXPECT_TRUE(root->isExpanded());
    EXPECT_EQ(CPearTree::itemData(root), 0);
    ASSERT_EQ(root->childCount(), kPresetCount);
    for (int p = 0; p < kPresetCount; ++p) {
        EXPECT_EQ(root->child(p)->text(0), QStringLiteral("Preset %1").arg(p));
        EXPECT_EQ(CPearTree::itemData(root->child(p)), p + 1);
        EXPECT_FALSE(root->child(p)->icon(0).isNull());
    }
    EXPECT_EQ(tree.currentItem(), tree.presetItem(0));
}

TEST_F(PearTreeTest, ClickSelectsThePresetShownThere) {
    std::array<std::int16_t, kPresetCount> order{3, 1, 2, 0, 4, 5, 6, 7, 8, 9};
    doc.setPresetOrder(order);
    tree.rebuild();
    QSignalSpy updates(&tree, &CPearTree::viewsUpdateRequested);
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, centreOf(tree.presetItem(0)));
    EXPECT_EQ(doc.currentPreset(), 3);
    ASSERT_EQ(updates.count(), 1);
    EXPECT_EQ(updates.at(0).at(0).value<QObject*>(), &tree);  // no rebuild of its own
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, centreOf(tree.rootItem()));
    EXPECT_EQ(doc.currentPreset(), 3);  // the root selects nothing
}

struct DragCase {
    int from;  // item data, 0 = root
    int onto;
    const char* order;
};

class PearTreeDragTest : public PearTreeTest, public ::testing::WithParamInterface<DragCase> {};

TEST_P(PearTreeDragTest, ReordersAndMarksModified) {
    const DragCase& c = GetParam();
    QTreeWidgetItem* onto = c.onto == 0 ? tree.rootItem() : tree.presetItem(c.onto - 1);
    drag(tree.presetItem(c.from - 1), onto);
    EXPECT_EQ(shownOrder(), QString::fromLatin1(c.order));
    EXPECT_TRUE(doc.isModified());  // also when nothing moved
    // The tree shows the new order, and the dragged preset is the current one.
    for (int p = 0; p < kPresetCount; ++p)
        EXPECT_EQ(tree.presetItem(p)->text(0), QStringLiteral("Preset %1").arg(doc.slotAtPosition(p)));
    EXPECT_EQ(doc.currentPreset(), c.from - 1);
    EXPECT_EQ(tree.currentItem()->text(0), QStringLiteral("Preset %1").arg(c.from - 1));
}

INSTANTIATE_TEST_SUITE_P(
    Table, PearTreeDragTest,
    ::testing::Values(DragCase{1, 3, "2,3,1,4,5,6,7,8,9,10"}, DragCase{3, 1, "1,3,2,4,5,6,7,8,9,10"},
                      DragCase{2, 1, "1,2,3,4,5,6,7,8,9,10"}, DragCase{3, 0, "3,1,2,4,5,6,7,8,9,10"},
                      DragCase{4, 4, "1,2,3,4,5,6,7,8,9,10"}, DragCase{2, 10, "1,3,4,5,6,7,8,9,10,2"},
                      DragCase{10, 0, "10,1,2,3,4,5,6,7,8,9"}));

TEST_F(PearTreeTest, PressThatCommitsARenameCanStillDragThatPreset) {
    // Rename position 3 in place, then press on position 6: the press commits the name,
    // and the tree rebuilds from the document while the button is still held.
    QTreeWidgetItem* renamed = tree.presetItem(2);
    tree.setCurrentItem(renamed);
    tree.editItem(renamed);
    auto* editor = tree.viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("Monitors"));
    QWidget* vp = tree.viewport();
    const QPoint from = centreOf(tree.presetItem(5));
    const QPoint onto = centreOf(tree.presetItem(7));
    QTest::mousePress(vp, Qt::LeftButton, {}, from);
    QCoreApplication::processEvents();
    ASSERT_EQ(tree.presetItem(2)->text(0), QStringLiteral("Monitors"));  // rebuilt
    QTest::mouseMove(vp, from + QPoint(0, QApplication::startDragDistance() + 2));
    EXPECT_TRUE(tree.isDragging());
    QTest::mouseMove(vp, onto);
    QTest::mouseRelease(vp, Qt::LeftButton, {}, onto);
    EXPECT_EQ(shownOrder(), QStringLiteral("1,2,3,4,5,7,8,6,9,10"));
    EXPECT_EQ(doc.currentPreset(), 5);
}

TEST_F(PearTreeTest, DropBelowEveryItemMovesNothing) {
    QWidget* vp = tree.viewport();
    const QPoint from = centreOf(tree.presetItem(1));
    const QPoint below(from.x(), tree.visualItemRect(tree.presetItem(kPresetCount - 1)).bottom() + 40);
    ASSERT_EQ(tree.itemAt(below), nullptr);
    QTest::mousePress(vp, Qt::LeftButton, {}, from);
    QTest::mouseMove(vp, from + QPoint(0, QApplication::startDragDistance() + 2));
    ASSERT_TRUE(tree.isDragging());
    QTest::mouseMove(vp, below);
    QTest::mouseRelease(vp, Qt::LeftButton, {}, below);
    EXPECT_FALSE(tree.isDragging());
    EXPECT_EQ(shownOrder(), QStringLiteral("1,2,3,4,5,6,7,8,9,10"));
    EXPECT_FALSE(doc.isModified());
}

TEST_F(PearTreeTest, DragFromTheRootMovesNothing) {
    drag(tree.rootItem(), tree.presetItem(3));
    EXPECT_EQ(shownOrder(), QStringLiteral("1,2,3,4,5,6,7,8,9,10"));
    EXPECT_FALSE(doc.isModified());
}

TEST_F(PearTreeTest, RenameInPlaceKeepsOldNameWhenEmptyAndCutsAtSixteen) {
    struct Case {
        QString typed;
        QString expected;
    };
    const Case cases[] = {{QString(), QStringLiteral("Preset 2")},
                          {QStringLiteral("Kick Drum"), QStringLiteral("Kick Drum")},
                          {QStringLiteral("A very long preset name"), QStringLiteral("A very long pres")}};
    for (const Case& c : cases) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // the last editor
        QTreeWidgetItem* item = tree.presetItem(2);
        tree.setCurrentItem(item);
        tree.editItem(item);
        auto* editor = tree.viewport()->findChild<QLineEdit*>();
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->maxLength(), kNameMaxChars);
        editor->selectAll();
        editor->del();
        QTest::keyClicks(editor, c.typed);
        QTest::keyClick(editor, Qt::Key_Return);
        // The edit commits and the tree rebuilds through queued calls.
        (void)QTest::qWaitFor([&] { return tree.presetItem(2)->text(0) == c.expected; }, 1000);
        EXPECT_EQ(QString::fromStdU16String(doc.presetNameText(2)), c.expected);
        EXPECT_EQ(tree.presetItem(2)->text(0), c.expected);  // rebuilt from the document
    }
}

TEST_F(PearTreeTest, ContextMenuCopiesAndPastesByPosition) {
    std::unique_ptr<QMenu> first(tree.createContextMenu(0));
    ASSERT_EQ(first->actions().size(), 2);
    EXPECT_EQ(first->actions()[0]->text(), QStringLiteral("Copy Preset 0"));
    EXPECT_FALSE(first->actions()[1]->isEnabled());  // nothing copied yet
    EXPECT_EQ(tree.contextPosition(), 0);

    doc.selectPreset(0);
    doc.setGain(0, 200);
    first->actions()[0]->trigger();
    std::unique_ptr<QMenu> fourth(tree.createContextMenu(3));
    EXPECT_EQ(fourth->actions()[1]->text(), QStringLiteral("Paste to Preset 3"));
    ASSERT_TRUE(fourth->actions()[1]->isEnabled());
    fourth->actions()[1]->trigger();
    EXPECT_EQ(doc.preset(3).outputs[0].gain, 200);
    EXPECT_EQ(QString::fromStdU16String(doc.presetNameText(3)), QStringLiteral("Preset 3"));  // name stays
}

TEST_F(PearTreeTest, RightClickOnTheRootOffersNoMenu) {
    QTest::mousePress(tree.viewport(), Qt::RightButton, {}, centreOf(tree.rootItem()));
    EXPECT_EQ(tree.findChild<QMenu*>(QStringLiteral("presetTreeMenu")), nullptr);
    QTest::mousePress(tree.viewport(), Qt::RightButton, {}, centreOf(tree.presetItem(4)));
    auto* menu = tree.findChild<QMenu*>(QStringLiteral("presetTreeMenu"));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->actions()[0]->text(), QStringLiteral("Copy Preset 4"));
    menu->close();
}

TEST_F(PearTreeTest, DoubleClickOpensTheEditorForThatPreset) {
    QSignalSpy edits(&tree, &CPearTree::editRequested);
    const QPoint at = centreOf(tree.presetItem(5));
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(tree.viewport(), Qt::LeftButton, {}, at);
    QCoreApplication::processEvents();
    EXPECT_EQ(edits.count(), 1);
    EXPECT_EQ(doc.currentPreset(), 5);
    QTest::mouseDClick(tree.viewport(), Qt::LeftButton, {}, centreOf(tree.rootItem()));
    QCoreApplication::processEvents();
    EXPECT_EQ(edits.count(), 1);
}

TEST_F(PearTreeTest, DoubleClickOnTheSelectedPresetOpensTheEditorWithoutRenaming) {
    // While the modal editor is open, time passes beyond the double-click interval.
    const int pause = QApplication::doubleClickInterval() + 150;
    QObject::connect(&tree, &CPearTree::editRequested, &tree, [pause] { QTest::qWait(pause); });
    QSignalSpy edits(&tree, &CPearTree::editRequested);
    const QPoint at = centreOf(tree.presetItem(0));  // already the selected preset
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(tree.viewport(), Qt::LeftButton, {}, at);
    QTest::qWait(pause);
    EXPECT_EQ(edits.count(), 1);
    const auto* rename = tree.findChild<QLineEdit*>();
    EXPECT_TRUE(rename == nullptr || !rename->isVisible()) << "no in-place rename was started";
    tree.onViewsUpdated(nullptr);  // closing the editor refreshes every view
    EXPECT_FALSE(doc.isModified());
}

TEST_F(PearTreeTest, UpdatesFromOtherViewsRebuildButNotItsOwn) {
    doc.setPresetName(7, u"Outfill");
    tree.onViewsUpdated(&tree);
    EXPECT_EQ(tree.presetItem(7)->text(0), QStringLiteral("Preset 7"));
    tree.onViewsUpdated(nullptr);
    EXPECT_EQ(tree.presetItem(7)->text(0), QStringLiteral("Outfill"));
}

}  // namespace
}  // namespace kv
