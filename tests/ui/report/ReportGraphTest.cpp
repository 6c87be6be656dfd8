// The report graph drawn through a report-to-device transform onto an image: curves at
// the rows the report's integer arithmetic gives, clipped to the plot, at any scale.

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cmath>
#include <limits>

#include "document/KorvaliserDoc.h"
#include "response/CurveSlots.h"
#include "response/ResponseCurveTable.h"
#include "response/analog/FilterCurve.h"
#include "response/dsp/OutputResponse.h"
#include "ui/report/ReportGraph.h"

namespace kv {
namespace {

bool isRed(QRgb c) { return qRed(c) > 200 && qGreen(c) < 90 && qBlue(c) < 90; }
bool isGreen(QRgb c) { return qGreen(c) > 200 && qRed(c) < 90 && qBlue(c) < 90; }

struct Rendered {
    QImage image;
    ReportPlotArea plot;
    QTransform toDevice;
    int result = 0;

    QPoint at(int x, int y) const { return toDevice.map(QPointF(x, y)).toPoint(); }
    QPoint atPoint(int k, int y) const { return at(plot.left + plot.unitsPerPoint * k, y); }
    // Whether any pixel in a few rows around (x, y) passes.
    bool near(QPoint p, int rows, const auto& predicate) const {
        for (int y = p.y() - rows; y <= p.y() + rows; ++y) {
            if (image.rect().contains(p.x(), y) && predicate(image.pixel(p.x(), y))) return true;
        }
        return false;
    }
};

class ReportGraphTest : public testing::Test {
protected:
    void SetUp() override {
        for (const int output : {0, 1}) {
            doc.setHighPassFrequency(output, 12);
            doc.setLowPassFrequency(output, 433);
        }
        doc.setBandFrequencyAndGain(0, 0, 252, 120);  // output 0: +12 dB at 1 kHz
    }

    // Report units at `scale` pixels per unit, y flipped, the graph's corner at (10, 10).
    Rendered render(double scale, int bothOutputs = 1, int output = 0,
                    ReportCurves curves = ReportCurves::Model) {
        Rendered r;
        r.toDevice = QTransform(scale, 0, 0, -scale, 10, 10);
        r.image = QImage(static_cast<int>(6400 * scale) + 20, static_cast<int>(4600 * scale) + 20,
                         QImage::Format_ARGB32);
        r.image.fill(Qt::white);
        QPainter p(&r.image);
        r.plot = LayoutReportGraph(p, r.toDevice, 0, 0, -4500);
        r.result = DrawReportGraph(p, r.toDevice, doc, table, 0, 0, -4500, bothOutputs, output,
                                   kReportGraphMinWidth, curves);
        return r;
    }

    CKorvaliserDoc doc;
    ResponseCurveTable table;
};

TEST_F(ReportGraphTest, LayoutArithmetic) {
    const Rendered r = render(0.1);
    EXPECT_EQ(r.result, -4500);
    const ReportPlotArea& a = r.plot;
    EXPECT_EQ(a.top - a.bottom, 54 * a.unitsPerDb);
    EXPECT_EQ(a.zeroRow, a.bottom + 36 * a.unitsPerDb);
    EXPECT_EQ(a.right - a.left, 420 * a.unitsPerPoint);
    EXPECT_EQ(a.right, 6200 + 10 - 50);
    EXPECT_LE(a.top, -50);
    EXPECT_GT(a.unitsPerDb, 70);  // about 4150 units of plot for 54 dB
    EXPECT_LT(a.unitsPerDb, 80);
    EXPECT_EQ(a.unitsPerPoint, 14);
}

TEST_F(ReportGraphTest, BothOutputsInTheirColoursAtTheirRows) {
    const Rendered r = render(0.1);
    const ReportPlotArea& a = r.plot;
    // Output 1 is flat: green on the 0 dB row, over output 0's red where they meet.
    EXPECT_TRUE(r.near(r.atPoint(100, a.zeroRow), 1, isGreen));
    EXPECT_TRUE(r.near(r.atPoint(400, a.zeroRow), 1, isGreen));
    // Output 0 peaks at +12 dB at its band's own point.
    EXPECT_TRUE(r.near(r.atPoint(240, ReportCurveY(12.0, a.zeroRow, a.unitsPerDb)), 1, isRed));
    EXPECT_FALSE(r.near(r.atPoint(240, a.zeroRow + 6 * a.unitsPerDb), 1, isRed));
}

TEST_F(ReportGraphTest, OneOutputIsDrawnInRedOnly) {
    const Rendered r = render(0.1, 0, 1);
    EXPECT_TRUE(r.near(r.atPoint(240, r.plot.zeroRow), 1, isRed));
    for (int y = 0; y < r.image.height(); ++y) {
        for (int x = 0; x < r.image.width(); ++x) ASSERT_FALSE(isGreen(r.image.pixel(x, y))) << x << ',' << y;
    }
}

TEST_F(ReportGraphTest, NotchIsClippedAtThePlotBottom) {
    doc.setBandFrequencyAndGain(0, 1, 200, 0);
    doc.setBandType(0, 1, PeqNotch);
    const Rendered r = render(0.1);
    const ReportPlotArea& a = r.plot;
    const QPoint bottom = r.atPoint(188, a.bottom);
    EXPECT_TRUE(r.near(bottom - QPoint(0, 2), 2, isRed));
    // Nothing below the plot's frame: the clip holds the -100 dB excursion.
    for (int y = bottom.y() + 3; y < bottom.y() + 40; ++y) {
        for (int dx = -5; dx <= 5; ++dx) ASSERT_FALSE(isRed(r.image.pixel(bottom.x() + dx, y))) << y;
    }
}

TEST_F(ReportGraphTest, SameDrawingAtAnotherScale) {
    const Rendered small = render(0.1);
    const Rendered large = render(0.2);
    EXPECT_EQ(small.plot.unitsPerPoint, large.plot.unitsPerPoint);
    const int peakUnits = ReportCurveY(12.0, large.plot.zeroRow, large.plot.unitsPerDb);
    EXPECT_TRUE(large.near(large.atPoint(240, peakUnits), 2, isRed));
    EXPECT_TRUE(large.near(large.atPoint(100, large.plot.zeroRow), 2, isGreen));
    // The device rows scale with the transform.
    EXPECT_NEAR(large.atPoint(100, large.plot.zeroRow).y() - 10,
                2 * (small.atPoint(100, small.plot.zeroRow).y() - 10), 30);
}

TEST_F(ReportGraphTest, PageSlotsAreLeftAlone) {
    table.markAll(CurveState::Absent);
    for (int s = 0; s <= 9; ++s) table.markStale(s);
    table.slot(3).values.fill(5.0f);
    render(0.1);
    for (int s = 0; s <= 9; ++s) EXPECT_TRUE(table.isStale(s)) << s;
    EXPECT_EQ(table.slot(3).values[100], 5.0f);
    EXPECT_TRUE(table.isValid(CurveSlots::report));
    for (int s = 16; s < 30; ++s) EXPECT_TRUE(table.isAbsent(s)) << s;
}

// A 48 dB high-pass travels as a 24 dB one. Asked for, the graph adds what the unit
// really plays, dashed, where it leaves the model's line; not asked, nothing of it shows.
TEST_F(ReportGraphTest, TheDspTotalIsDashedAndOnlyThereWhenAskedFor) {
    doc.setHighPassFrequency(0, 150);
    doc.setHighPassSlope(0, 10);
    const Rendered off = render(0.2);
    const Rendered on = render(0.2, 1, 0, ReportCurves::ModelAndDsp);
    const OutputChannel& channel = doc.outputChannel(0);
    const GridCurve dsp = magnitudeDb(totalResponse(channel, 8, ResponseModel::Dsp, doc.unitType()));
    const GridCurve model = magnitudeDb(totalResponse(channel, 8, ResponseModel::Analog, doc.unitType()));
    int apart = 0;
    int drawn = 0;
    for (int k = 0; k < kGridPoints; ++k) {
        const auto at = static_cast<std::size_t>(k);
        if (dsp[at] < -30.0 || dsp[at] > -3.0 || dsp[at] - model[at] < 6.0) continue;
        ++apart;
        const QPoint p = on.atPoint(k, ReportCurveY(dsp[at], on.plot.zeroRow, on.plot.unitsPerDb));
        EXPECT_FALSE(off.near(p, 3, isRed)) << k;
        if (on.near(p, 1, isRed)) ++drawn;
    }
    ASSERT_GT(apart, 20);
    EXPECT_GT(drawn, apart / 2);  // dashes...
    EXPECT_LT(drawn, apart);      // ...and the gaps between them
}

TEST(ReportCurveY, ValuesToRows) {
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        double db;
        int expected;
    };
    const Case cases[] = {
        {0.0, 1000},     {12.0, 1960},  {-6.0, 520},           {-100.0, -7000},
        {-250.0, -7000}, {-inf, -7000}, {std::nan(""), -7000}, {0.005, 1000},
        {-0.015, 1000},  {-0.02, 999},  {0.02, 1001},          {1e30, 1000 + 8000000},
    };
    for (const Case& c : cases) EXPECT_EQ(ReportCurveY(c.db, 1000, 80), c.expected) << c.db;
}

TEST(ReportGraphWidth, NinetyPercentOfTheViewButNeverNarrowerThanTheTables) {
    struct Case {
        int view, expected;
    };
    const Case cases[] = {{0, 6200}, {5000, 6200}, {6889, 6200}, {7000, 6300}, {10000, 9000}};
    for (const Case& c : cases) EXPECT_EQ(ReportGraphWidth(c.view), c.expected) << c.view;
}

}  // namespace
}  // namespace kv
