// The editor follows the document, whoever changes it: the curves of an edit made
// through the document alone are current on the next redraw, a marker drag is one undo
// step, and undo in the sheet shows the restored values on the page.

#include <QTest>
#include <functional>
#include <vector>

#include "PageTestSupport.h"
#include "document/ValueText.h"
#include "response/OutputCurves.h"
#include "ui/page/PageButton.h"

namespace kv::test {
namespace {

class EditorHistoryTest : public SheetFixture {
protected:
    void SetUp() override {
        openSheet();
        page()->redrawGraph();
    }
    // The page's total as the document holds it now, computed afresh.
    std::array<double, kGridPoints> expectedTotal() const {
        ResponseCurveTable fresh;
        MarkSlotsForPage(fresh, 0, doc.activeBandCount(), doc.outputCount());
        RecomputeStaleSlots(fresh, doc, 0);
        return PageTotal(fresh, doc.activeBandCount());
    }
};

TEST_F(EditorHistoryTest, EditsThroughTheDocumentAloneReachThePageCurves) {
    doc.copyOutput(1);
    const std::vector<std::pair<const char*, std::function<void()>>> edits{
        {"band gain", [&] { doc.setBandGain(0, 2, 90); }},
        {"band frequency", [&] { doc.setBandFrequency(0, 2, 150); }},
        {"band Q", [&] { doc.setBandQ(0, 2, 30); }},
        {"band type", [&] { doc.setBandType(0, 2, 1); }},
        {"band flat", [&] { doc.setBandFlat(0, 2, 1); }},
        {"marker move", [&] { doc.setBandFrequencyAndGain(0, 6, 320, -120); }},
        {"high-pass", [&] { doc.setHighPassFrequency(0, 150); }},
        {"high-pass slope", [&] { doc.setHighPassSlope(0, 10); }},
        {"low-pass", [&] { doc.setLowPassFrequency(0, 200); }},
        {"low-pass slope", [&] { doc.setLowPassSlope(0, 0); }},
        {"paste channel", [&] { doc.pasteOutput(0); }},
        {"undo", [&] { doc.undo(); }},
        {"redo", [&] { doc.redo(); }},
        {"load", [&] { doc.loadBank(CKorvaliserDoc{}.bank(), doc.unitType(), doc.activeBandCount()); }},
    };
    for (const auto& [what, edit] : edits) {
        edit();
        QApplication::processEvents();  // no widget touched: the page follows by itself
        EXPECT_EQ(PageTotal(curves, doc.activeBandCount()), expectedTotal()) << what;
    }
}

TEST_F(EditorHistoryTest, AMarkerDragIsOneStepAndCtrlZInTheSheetRestoresIt) {
    doc.setBandFrequencyAndGain(0, 0, 200, 0);
    page()->redrawGraph();
    const int before = doc.bandFrequency(0, 0);
    QPoint at = markerCentre(0);
    hover(graph(), at);
    sendMouse(graph(), QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    for (int move = 0; move < 50; ++move) {
        at += QPoint(2, 1);
        sendMouse(graph(), QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton);
    }
    sendMouse(graph(), QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    ASSERT_NE(doc.bandFrequency(0, 0), before);
    EXPECT_EQ(doc.undoName(), "Move Band 1");

    QTest::keyClick(sheet.get(), Qt::Key_Z, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_EQ(doc.bandFrequency(0, 0), before);
    EXPECT_EQ(doc.bandGain(0, 0), 0);
    EXPECT_EQ(doc.redoName(), "Move Band 1");
    EXPECT_EQ(findIn<PageButton>(page(), QStringLiteral("bandFrequency0"))->text(),
              QString::fromStdString(frequencyText(before)));
    EXPECT_EQ(PageTotal(curves, doc.activeBandCount()), expectedTotal());

    QTest::keyClick(sheet.get(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_NE(doc.bandFrequency(0, 0), before);
}

}  // namespace
}  // namespace kv::test
