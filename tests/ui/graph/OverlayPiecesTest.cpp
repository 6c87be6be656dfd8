// How the overlays cut their curves: a wrapped phase into pieces that run to the plot's
// edges where it wraps, and a line into dashes at fixed columns.

#include <gtest/gtest.h>

#include "response/GraphGeometry.h"
#include "ui/graph/overlay/CurvePieces.h"
#include "ui/graph/overlay/OverlayDrawing.h"

namespace kv {
namespace {

TEST(OverlayPieces, AWrappingPhaseRunsToTheEdgeAndOnFromTheOtherOne) {
    GraphGeometry g;
    g.setGraphFrame(900, 500);
    const double top = g.plotTop;
    const double bottom = g.plotTop + kPlotUnitsHigh * g.yScale;
    GridCurve falling{};  // -1, -3, -5 ... degrees: wraps between points 89/90 and 269/270
    for (int k = 0; k < kGridPoints; ++k) falling[static_cast<std::size_t>(k)] = -1.0 - 2.0 * k;
    const std::vector<QPolygonF> pieces = WrappedPhasePieces(g, falling);
    ASSERT_EQ(pieces.size(), 3u);
    for (const int wrap : {0, 1}) {
        const QPointF end = pieces[static_cast<std::size_t>(wrap)].last();
        const QPointF start = pieces[static_cast<std::size_t>(wrap) + 1].first();
        const int before = wrap == 0 ? 89 : 269;
        const double halfway = g.plotLeft + g.xScale * (before + 0.5);  // -180 lies midway
        EXPECT_NEAR(end.x(), halfway, 1e-3) << wrap;
        EXPECT_EQ(start.x(), end.x()) << wrap;
        EXPECT_NEAR(end.y(), bottom, 1e-3) << wrap;
        EXPECT_NEAR(start.y(), top, 1e-3) << wrap;
    }
    EXPECT_NEAR(pieces[0].first().y(), g.zeroDbRow() + g.yScale, 1e-3) << "-1 degree lies just under 0";
}

TEST(OverlayPieces, DashesLieAtFixedColumnsOnTheLine) {
    const QPolygonF line{QPointF(3, 0), QPointF(50, 94), QPointF(50.5, 10), QPointF(97, 10)};
    const auto onLine = [&](double x) {  // the line's row at x, worked out by hand
        if (x <= 50) return 2.0 * (x - 3);
        if (x <= 50.5) return 94 - 168 * (x - 50);
        return 10.0;
    };
    const std::vector<QPolygonF> dashes = DashPieces(line, 0, 6, 10);
    ASSERT_EQ(dashes.size(), 10u);  // 3..6, 10..16, ... 90..96
    for (std::size_t n = 0; n < dashes.size(); ++n) {
        const QPolygonF& d = dashes[n];
        EXPECT_EQ(d.first().x(), n == 0 ? 3.0 : 10.0 * static_cast<double>(n)) << n;
        EXPECT_EQ(d.last().x(), 10.0 * static_cast<double>(n) + 6) << n;
        for (const QPointF& p : d) EXPECT_NEAR(p.y(), onLine(p.x()), 1e-9) << n << " at " << p.x();
    }
    EXPECT_EQ(dashes[5].size(), 3) << "the dash over the steep step keeps its corner";
}

}  // namespace
}  // namespace kv
