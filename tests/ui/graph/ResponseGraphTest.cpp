// The page graph painted off screen and shown through its paint event: pixels at the
// places the geometry computes.

#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <limits>

#include "document/KorvaliserDoc.h"
#include "response/CurveSlots.h"
#include "response/ResponseCurveTable.h"
#include "response/analog/FilterCurve.h"
#include "ui/graph/ResponseGraph.h"

namespace kv {
namespace {

constexpr QRgb kBrightGreen = 0xFF00FF00;
constexpr QRgb kYellow = 0xFFFFFF00;

bool isRed(QRgb c) { return qRed(c) > 200 && qGreen(c) < 80 && qBlue(c) < 80; }
bool isCyanish(QRgb c) { return qRed(c) < 60 && qGreen(c) > 80 && qBlue(c) > 80; }

class ResponseGraphTest : public testing::Test {
protected:
    void SetUp() override {
        // A flat preset: crossovers off on both outputs, every band without gain.
        for (const int output : {0, 1}) {
            doc.setHighPassFrequency(output, 12);
            doc.setLowPassFrequency(output, 433);
        }
        graph.resize(900, 500);
        graph.redraw();           // builds the geometry the pixel positions below come from
        graph.markOutputStale();  // as a page does on activation
    }

    // What the widget shows: composed, then copied by its paint event.
    QImage shown() {
        graph.redraw();
        return graph.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    }
    const GraphGeometry& g() const { return graph.geometry(); }
    int column(int point) const { return static_cast<int>(g().plotLeft + g().xScale * point); }
    int row(double db) const { return static_cast<int>(g().plotTop + g().yScale * graphUnitsOfDb(db)); }
    QRect markerBox(int band) const {
        const RectF r = BandMarkerRect(g(), doc, 0, band);
        return QRectF(r.x, r.y, r.width, r.height).toAlignedRect();
    }
    static bool anyPixel(const QImage& img, const QRect& area, const auto& predicate) {
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                if (img.rect().contains(x, y) && predicate(img.pixel(x, y))) return true;
            }
        }
        return false;
    }

    CKorvaliserDoc doc;
    ResponseCurveTable table;
    CResponseGraph graph{doc, table, 0};
};

TEST_F(ResponseGraphTest, ZeroDbLineIsTheOnlyBrightRowInsideThePlot) {
    doc.setBandFrequencyAndGain(0, 0, 252, -150);
    doc.setBandQ(0, 0, 108);         // wide: the total stays well below 0 dB around 1 kHz
    doc.setLowPassFrequency(1, 60);  // and so does the other output's pair
    const QImage img = shown();
    const int x = column(250);  // between grid lines
    std::vector<int> bright;
    for (int y = static_cast<int>(g().plotTop) + 2; y < static_cast<int>(g().plotBottom()) - 1; ++y) {
        if (img.pixel(x, y) == kBrightGreen) bright.push_back(y);
    }
    ASSERT_EQ(bright.size(), 1u);
    EXPECT_NEAR(bright[0], g().zeroDbRow(), 1.0);
    // The frame is fixed to the size the images were built for.
    EXPECT_EQ(graph.minimumSize(), QSize(900, 500));
    EXPECT_EQ(graph.maximumSize(), QSize(900, 500));
}

TEST_F(ResponseGraphTest, MarkersSitAtTheirRectanglesInPaletteColourAndShape) {
    doc.setBandFrequencyAndGain(0, 0, 100, 60);
    doc.setBandFrequencyAndGain(0, 7, 350, -60);
    QImage img = shown();
    for (const int band : {0, 7}) {
        // Outlined while not selected: colour on the outline, not filling the middle.
        const QRect box = markerBox(band);
        EXPECT_TRUE(anyPixel(img, box.adjusted(-1, -1, 1, 1), [](QRgb c) { return c == kYellow; })) << band;
        EXPECT_NE(img.pixel(box.center()), kYellow) << band;
    }

    // Selected, band 0 is a filled square and band 7 a filled circle, both yellow.
    graph.setSelectedElement(bandElement(0));
    img = shown();
    QRect box = markerBox(0);
    EXPECT_EQ(img.pixel(box.center()), kYellow);
    EXPECT_EQ(img.pixel(box.topLeft() + QPoint(1, 1)), kYellow);

    graph.setSelectedElement(bandElement(7));
    img = shown();
    box = markerBox(7);
    EXPECT_EQ(img.pixel(box.center()), kYellow);
    EXPECT_NE(img.pixel(box.topLeft() + QPoint(1, 1)), kYellow);
    EXPECT_NE(img.pixel(box.bottomRight() - QPoint(1, 1)), kYellow);
    // Band 0 is outlined again.
    EXPECT_NE(img.pixel(markerBox(0).center()), kYellow);
}

TEST_F(ResponseGraphTest, HiddenBandIsNotDrawnAndTheHitTestFollowsTheBandAtOnce) {
    doc.setBandFrequencyAndGain(0, 4, 300, 90);
    const auto isMagenta = [](QRgb c) { return c == 0xFFFF00FF; };
    const QImage before = shown();
    EXPECT_TRUE(anyPixel(before, markerBox(4).adjusted(-1, -1, 1, 1), isMagenta));

    graph.setBandShown(4, false);
    doc.setBandFrequencyAndGain(0, 4, 200, -90);
    const QImage img = shown();
    const RectF r = g().markerRect(200, -90);
    EXPECT_FALSE(anyPixel(img, markerBox(4).adjusted(-1, -1, 1, 1), isMagenta));
    EXPECT_EQ(graph.hitTest(QPointF(r.x + 5, r.y + 5)), -1);
    graph.setBandShown(4, true);
    EXPECT_EQ(graph.hitTest(QPointF(r.x + 5, r.y + 5)), 4);
    // No redraw needed: the marker is found where the band now is.
    doc.setBandFrequencyAndGain(0, 4, 350, 120);
    const RectF moved = g().markerRect(350, 120);
    EXPECT_EQ(graph.hitTest(QPointF(r.x + 5, r.y + 5)), -1);
    EXPECT_EQ(graph.hitTest(QPointF(moved.x + 5, moved.y + 5)), 4);
}

TEST_F(ResponseGraphTest, OnlyTheSelectedElementWithACurveIsShaded) {
    doc.setBandFrequencyAndGain(0, 2, 252, 120);
    const QPoint inside(column(244), row(1.5));  // under the +12 dB peak, above 0 dB
    const auto isShade = [](QRgb c) {
        return qRed(c) == qGreen(c) && qGreen(c) == qBlue(c) && qRed(c) > 80 && qRed(c) < 110;
    };

    EXPECT_EQ(shown().pixel(inside), 0xFF000000) << "no selection, no shade";

    graph.setSelectedElement(bandElement(2));
    EXPECT_TRUE(isShade(shown().pixel(inside)));

    graph.setSelectedElement(SelectedElement::LowPass);  // the low-pass is off: its curve is 0 dB, no area
    EXPECT_EQ(shown().pixel(inside), 0xFF000000);

    graph.setSelectedElement(bandElement(2));
    table.markAbsent(CurveSlots::band(2));
    const QImage img = shown();
    EXPECT_EQ(img.pixel(inside), 0xFF000000) << "an Absent slot is not shaded";
    EXPECT_TRUE(isRed(img.pixel(inside.x(), static_cast<int>(g().zeroDbRow())))) << "nor summed";
}

TEST_F(ResponseGraphTest, MinusInfinityAndNaNAreDrawnAtTheLimitBelowTheFrame) {
    shown();  // every slot of the page is now Valid
    for (const float bad :
         {-std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN()}) {
        table.slot(CurveSlots::band(1)).values.fill(0.0f);
        table.slot(CurveSlots::band(1)).values[200] = bad;
        const QImage img = shown();
        const int bottom = img.height() - 1;
        EXPECT_TRUE(anyPixel(img, QRect(column(200) - 4, bottom, 9, 1), isRed)) << bad;
        EXPECT_TRUE(isRed(img.pixel(column(100), static_cast<int>(g().zeroDbRow())))) << bad;
    }
}

TEST_F(ResponseGraphTest, OtherOutputsCrossoverIsDrawnHalfTransparentCyan) {
    doc.setHighPassFrequency(1, 150);
    doc.setHighPassSlope(1, 10);
    EXPECT_TRUE(anyPixel(shown(), QRect(column(138), row(-3.0) - 12, 1, 24), isCyanish));
    // Output 1's own page does not draw its own pair.
    CResponseGraph other(doc, table, 1, nullptr, graph.sharedImages());
    other.markOutputStale();
    other.redraw();
    const QImage img = other.grab().toImage();
    EXPECT_FALSE(anyPixel(img, QRect(column(138), row(-3.0) - 12, 1, 24), isCyanish));
}

TEST_F(ResponseGraphTest, OnlyStaleSlotsAreRecomputedAndEveryEditMarksItsOwn) {
    doc.setBandFrequencyAndGain(0, 3, 252, 60);
    const int x = column(240);
    EXPECT_TRUE(anyPixel(shown(), QRect(x, row(6.0) - 2, 1, 5), isRed));

    // A Valid slot is drawn as it is, not recomputed: +6 dB written over the band's -6 dB.
    doc.setBandGain(0, 3, -60);
    shown();
    table.slot(CurveSlots::band(3)).values.fill(0.0f);
    table.slot(CurveSlots::band(3)).values[240] = 6.0f;
    QImage img = shown();
    EXPECT_TRUE(anyPixel(img, QRect(x, row(6.0) - 2, 1, 5), isRed));

    // The edit itself marks the slot: the document's value is drawn again.
    doc.setBandGain(0, 3, -60);
    img = shown();
    EXPECT_FALSE(anyPixel(img, QRect(x, row(6.0) - 2, 1, 5), isRed));
    EXPECT_TRUE(anyPixel(img, QRect(x, row(-6.0) - 2, 1, 5), isRed));
}

TEST_F(ResponseGraphTest, SharedImagesFixTheSecondGraphsSize) {
    shown();
    CResponseGraph second(doc, table, 1, nullptr, graph.sharedImages());
    EXPECT_EQ(second.minimumSize(), QSize(900, 500));
    EXPECT_EQ(second.maximumSize(), QSize(900, 500));
    // Too small a frame builds nothing and draws black instead of failing.
    CResponseGraph tiny(doc, table, 0);
    tiny.resize(40, 20);
    tiny.redraw();
    EXPECT_FALSE(tiny.geometry().backgroundBuilt);
    EXPECT_EQ(tiny.grab().toImage().pixel(5, 5), 0xFF000000);
}

}  // namespace
}  // namespace kv
