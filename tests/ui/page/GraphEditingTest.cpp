#include <QAction>
#include <QMenu>
#include <QScrollBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include "PageTestSupport.h"
#include "document/ValueText.h"
#include "ui/page/PageButton.h"

namespace kv::test {
namespace {

class GraphEditingTest : public SheetFixture {
protected:
    void SetUp() override {
        for (int b = 0; b < doc.activeBandCount(); ++b) doc.setBandFrequencyAndGain(0, b, 80 + 40 * b, 0);
        openSheet();
        page()->redrawGraph();
    }
    int frequency(int band) const { return doc.bandFrequency(0, band); }
    int gain(int band) const { return doc.bandGain(0, band); }
};

TEST_F(GraphEditingTest, DragMovesTheMarkerAndModifiersFixOneValue) {
    struct Case {
        const char* what;
        Qt::KeyboardModifiers modifiers;
        bool frequencyMoves, gainMoves;
    };
    const std::vector<Case> cases = {
        {"plain drag", Qt::NoModifier, true, true},
        {"Shift: gain only", Qt::ShiftModifier, false, true},
        {"Ctrl: frequency only", Qt::ControlModifier, true, false},
        {"Shift and Ctrl: both held", Qt::ShiftModifier | Qt::ControlModifier, false, false},
    };
    for (const Case& c : cases) {
        doc.setBandFrequencyAndGain(0, 2, 160, 0);
        page()->redrawGraph();
        drag(graph(), markerCentre(2), plotPixel(200, 60), c.modifiers);
        EXPECT_EQ(frequency(2) != 160, c.frequencyMoves) << c.what;
        EXPECT_EQ(gain(2) != 0, c.gainMoves) << c.what;
        EXPECT_NEAR(frequency(2), c.frequencyMoves ? 200 : 160, 1) << c.what;
        EXPECT_NEAR(gain(2), c.gainMoves ? 60 : 0, 1) << c.what;
        EXPECT_EQ(page()->pageState().selectedElement, bandElement(2)) << c.what;
        // The row shows the new values at once.
        EXPECT_EQ(findIn<PageButton>(page(), QStringLiteral("bandGain2"))->text().toStdString(),
                  bandGainText(gain(2), 0));
    }
}

TEST_F(GraphEditingTest, DraggingBandEightScrollsItIntoTheBottomRow) {
    ASSERT_EQ(page()->pageState().firstVisibleBand, 0);
    drag(graph(), markerCentre(7), plotPixel(300, -40));
    EXPECT_EQ(page()->pageState().firstVisibleBand, 3);
    EXPECT_EQ(findIn<QScrollBar>(page(), QStringLiteral("bandScrollBar"))->value(), 3);
    EXPECT_TRUE(findIn<PageButton>(page(), QStringLiteral("bandFrequency4"))->isLit());
    EXPECT_EQ(findIn<PageButton>(page(), QStringLiteral("bandFrequency4"))->text().toStdString(),
              frequencyText(frequency(7)));
    EXPECT_NEAR(frequency(7), 300, 1);
}

TEST_F(GraphEditingTest, WheelChangesQOnlyWhileDragging) {
    const QPoint at = markerCentre(1);
    hover(graph(), at);
    turnWheel(graph(), at, -120, Qt::NoButton);
    EXPECT_EQ(doc.bandQ(0, 1), 65) << "hovering only";

    sendMouse(graph(), QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    turnWheel(graph(), at, -120, Qt::LeftButton);
    EXPECT_EQ(doc.bandQ(0, 1), 66);
    turnWheel(graph(), at, 240, Qt::LeftButton);
    EXPECT_EQ(doc.bandQ(0, 1), 64);
    EXPECT_EQ(findIn<PageButton>(page(), QStringLiteral("bandQ1"))->text().toStdString(),
              bandWidthText(64, 0, true));
    sendMouse(graph(), QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    turnWheel(graph(), at, -120, Qt::NoButton);
    EXPECT_EQ(doc.bandQ(0, 1), 64) << "released";
}

TEST_F(GraphEditingTest, OverlappingMarkersPickTheLowerBandAndHiddenBandsNone) {
    doc.setBandFrequencyAndGain(0, 5, 200, 30);
    doc.setBandFrequencyAndGain(0, 3, 200, 30);
    page()->redrawGraph();
    const QPoint at = markerCentre(3);
    hover(graph(), at);
    sendMouse(graph(), QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    sendMouse(graph(), QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(page()->pageState().selectedElement, bandElement(3));

    // Hide band 4 with its row's box: now band 6 is picked at the same place.
    QTest::mouseClick(findIn<QToolButton>(page(), QStringLiteral("bandShown3")), Qt::LeftButton);
    hover(graph(), at);
    sendMouse(graph(), QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    sendMouse(graph(), QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(page()->pageState().selectedElement, bandElement(5));
}

TEST_F(GraphEditingTest, CursorShowsWhatAPressWouldDo) {
    hover(graph(), markerCentre(0));
    EXPECT_EQ(graph()->cursor().pixmap().isNull(), false) << "our own marker cursor";
    hover(graph(), markerCentre(0), Qt::ControlModifier);
    EXPECT_EQ(page()->graphEditor().cursor(), GraphCursor::BandFreqOnly);
    sendMouse(graph(), QEvent::MouseButtonPress, markerCentre(0), Qt::LeftButton, Qt::LeftButton,
              Qt::ControlModifier);
    EXPECT_EQ(graph()->cursor().shape(), Qt::SizeHorCursor);
    // The keys may change during the drag: the cursor follows them on the next movement.
    const QPoint along = markerCentre(0) + QPoint(0, 12);
    sendMouse(graph(), QEvent::MouseMove, along, Qt::NoButton, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(graph()->cursor().shape(), Qt::SizeVerCursor);
    sendMouse(graph(), QEvent::MouseMove, along, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    EXPECT_EQ(graph()->cursor().shape(), Qt::SizeAllCursor);
    sendMouse(graph(), QEvent::MouseButtonRelease, along, Qt::LeftButton, Qt::NoButton);
    hover(graph(), plotPixel(420, 170));
    EXPECT_EQ(graph()->cursor().shape(), Qt::ArrowCursor);
}

// Right-clicks on empty graph area and returns the texts and enabled states of the menu.
std::vector<std::pair<QString, bool>> contextMenuOf(QWidget* graph, QPoint at) {
    std::vector<std::pair<QString, bool>> items;
    QTimer::singleShot(0, [&items] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr) return;
        for (QAction* action : menu->actions()) items.emplace_back(action->text(), action->isEnabled());
        menu->close();
    });
    hover(graph, at);
    sendMouse(graph, QEvent::MouseButtonPress, at, Qt::RightButton, Qt::RightButton);
    sendMouse(graph, QEvent::MouseButtonRelease, at, Qt::RightButton, Qt::NoButton);
    return items;
}

TEST_F(GraphEditingTest, ContextMenuCopiesAndPastesTheChannel) {
    const QPoint empty = plotPixel(420, 340);
    auto items = contextMenuOf(graph(), empty);
    // Copy, paste, a separator, filter import and export, a separator, the tuning items, a separator, then
    // the views.
    ASSERT_EQ(items.size(), 12U);
    EXPECT_EQ(items[3].first, QStringLiteral("Import Filters..."));
    EXPECT_EQ(items[4].first, QStringLiteral("Export Filters..."));
    EXPECT_EQ(items[6].first, QStringLiteral("Load Measurement…"));
    EXPECT_EQ(items[0].first, QStringLiteral("Copy Channel 1"));
    EXPECT_TRUE(items[0].second);
    EXPECT_FALSE(items[1].second) << "nothing copied yet";

    page()->makeContextMenu()->actions().at(0)->trigger();  // Copy Channel 1
    items = contextMenuOf(graph(), empty);
    ASSERT_EQ(items.size(), 12U);
    EXPECT_EQ(items[1].first, QStringLiteral("Paste to Channel 1"));
    EXPECT_TRUE(items[1].second);

    // Paste Output 1's settings onto Output 2 from its own page.
    sheet->tabs()->setCurrentIndex(1);
    doc.setMute(0, true);
    page(0)->copyChannel();
    page(1)->makeContextMenu()->actions().at(1)->trigger();
    EXPECT_TRUE(doc.mute(1));
    EXPECT_EQ(doc.bandFrequency(1, 7), frequency(7));
    EXPECT_TRUE(findIn<PageButton>(page(1), QStringLiteral("muteButton2"))->isLit());
}

TEST_F(GraphEditingTest, QDragBelowThePlotWithTheRightButton) {
    QTest::mouseClick(findIn<PageButton>(page(), QStringLiteral("bandQ2")), Qt::LeftButton);
    const GraphGeometry& g = sheet->geometry();
    const QPoint start(200, static_cast<int>(g.plotBottom()) + 6);
    const int stepPixels = static_cast<int>(4 * g.xScale) + 1;
    hover(graph(), start);
    EXPECT_EQ(page()->graphEditor().hover(), GraphHover::FrequencyZone);
    sendMouse(graph(), QEvent::MouseButtonPress, start, Qt::RightButton, Qt::RightButton);
    sendMouse(graph(), QEvent::MouseMove, start + QPoint(3 * stepPixels, 0), Qt::NoButton, Qt::RightButton);
    sendMouse(graph(), QEvent::MouseButtonRelease, start, Qt::RightButton, Qt::NoButton);
    EXPECT_EQ(doc.bandQ(0, 2), 68);
    EXPECT_EQ(frequency(2), 160) << "a Q drag keeps the frequency";
}

}  // namespace
}  // namespace kv::test
