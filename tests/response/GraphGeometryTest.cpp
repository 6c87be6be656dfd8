#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "response/GraphGeometry.h"

namespace kv {
namespace {

GraphGeometry graphOf(int width, int height) {
    GraphGeometry g;
    g.setGraphFrame(width, height);
    return g;
}

TEST(GraphGeometry, ScalesAndPlotEdges) {
    const GraphGeometry g = graphOf(884, 750);  // 2 pixels per unit both ways
    EXPECT_FLOAT_EQ(g.xScale, 2.0f);
    EXPECT_FLOAT_EQ(g.yScale, 2.0f);
    EXPECT_FLOAT_EQ(g.zeroDbRow(), 366.0f);
    EXPECT_FLOAT_EQ(g.plotRight(), 876.0f);
    EXPECT_FLOAT_EQ(g.plotBottom(), 726.0f);
    const PointF p = g.toPixel(240, 120);  // 1 kHz, +6 dB
    EXPECT_FLOAT_EQ(p.x, 516.0f);
    EXPECT_FLOAT_EQ(p.y, 246.0f);
    const PointF back = g.toGraph(p.x, p.y);
    EXPECT_FLOAT_EQ(back.x, 240.0f);
    EXPECT_FLOAT_EQ(back.y, 120.0f);
}

TEST(GraphGeometry, CurveRowsAreLimitedBelowThePlot) {
    const GraphGeometry g = graphOf(900, 500);
    struct Case {
        double db;
        double units;
    };
    const double inf = std::numeric_limits<double>::infinity();
    const Case cases[] = {
        {18.0, 0},    {0.0, 180},  {-18.0, 360},        {-26.0, 440}, {-26.5, 440},
        {-90.0, 440}, {-inf, 440}, {std::nan(""), 440}, {30.0, -120},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(g.curveRow(c.db), g.plotTop + g.yScale * c.units, 1e-3) << c.db;
    }
}

TEST(GraphGeometry, ShadeRowsStopAtFiveHundredPixelsOrTheFrameBottom) {
    const double inf = std::numeric_limits<double>::infinity();
    const GraphGeometry small = graphOf(900, 500);
    EXPECT_FLOAT_EQ(small.shadeRow(-inf), 500.0f);
    EXPECT_FLOAT_EQ(small.shadeRow(-30.0), 500.0f);  // 6 + 480 * 1.3056 = 632 > 500
    EXPECT_NEAR(small.shadeRow(-19.0), 6 + 370 * small.yScale, 1e-3);
    const GraphGeometry tall = graphOf(900, 800);
    EXPECT_FLOAT_EQ(tall.shadeRow(-inf), 800.0f);
    EXPECT_NEAR(tall.shadeRow(-18.0), tall.plotBottom(), 1e-3);
}

TEST(GraphGeometry, MarkerRectanglesAndTheMouseInverse) {
    const GraphGeometry g = graphOf(900, 500);
    struct Case {
        int frequency, gain;
    };
    const Case cases[] = {{12, 180}, {252, 0}, {252, -150}, {300, 60}, {431, -180}, {100, 150}};
    for (const Case& c : cases) {
        const RectF r = g.markerRect(c.frequency, c.gain);
        EXPECT_FLOAT_EQ(r.width, 10.0f);
        EXPECT_FLOAT_EQ(r.height, 10.0f);
        const float cx = r.x + 5;
        const float cy = r.y + 5;
        EXPECT_NEAR(cx, 36 + (c.frequency - 12) * g.xScale, 1e-3);
        EXPECT_NEAR(cy, 6 + (180 - c.gain) * g.yScale, 1e-3);
        // Both read-backs truncate towards zero: a pointer a little off the centre, away
        // from zero, reads back the band's values.
        EXPECT_EQ(g.frequencyIndexAt(cx + 0.4f * g.xScale), c.frequency) << c.frequency;
        const float awayFromZero = c.gain >= 0 ? -0.4f : 0.4f;
        EXPECT_EQ(g.gainAt(cy + awayFromZero * g.yScale), c.gain) << c.gain;
        if (c.gain != 0) {
            EXPECT_EQ(g.gainAt(cy - awayFromZero * g.yScale), c.gain > 0 ? c.gain - 1 : c.gain + 1) << c.gain;
        }
    }
}

TEST(GraphGeometry, MeterRectangles) {
    GraphGeometry g;
    g.setMeterFrame(20, 246);  // 240 pixels of bar, 5 per meter unit
    EXPECT_FLOAT_EQ(g.meterWidth, 16.0f);
    EXPECT_FLOAT_EQ(g.meterHeight, 240.0f);
    EXPECT_NEAR(g.meterStep, 5.0f, 1e-5);
    EXPECT_EQ(g.meterZoneHeight(), 30);
    EXPECT_NEAR(g.meterDividerY(1), 17.0f, 1e-4);
    EXPECT_NEAR(g.meterDividerY(15), 227.0f, 1e-3);
    struct Case {
        int value;
        int height;
    };
    const Case cases[] = {{0, 0},    {1, 5},     {24, 120},  {47, 235}, {48, 240},
                          {60, 240}, {100, 240}, {101, 240}, {-1, 240}, {-500, 240}};
    for (const Case& c : cases) {
        const RectI r = g.meterDarkRect(c.value);
        EXPECT_EQ(r.x, 2);
        EXPECT_EQ(r.y, 3);
        EXPECT_EQ(r.width, 16);
        EXPECT_EQ(r.height, c.height) << c.value;
    }
}

}  // namespace
}  // namespace kv
