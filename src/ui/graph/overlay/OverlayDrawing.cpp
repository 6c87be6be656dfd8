#include "ui/graph/overlay/OverlayDrawing.h"

#include <QPainter>
#include <cmath>

#include "response/GraphGeometry.h"

namespace kv {

void ClipToPlot(QPainter& painter, const GraphGeometry& g) {
    painter.setClipRect(QRectF(g.plotLeft, 0, kPlotUnitsWide * g.xScale, g.frameHeight), Qt::IntersectClip);
}

double GridColumn(const GraphGeometry& g, int k) { return g.plotLeft + g.xScale * static_cast<float>(k); }

QPolygonF DecibelPoints(const GraphGeometry& g, const GridCurve& db) {
    QPolygonF points;
    points.reserve(kGridPoints);
    for (int k = 0; k < kGridPoints; ++k)
        points.append(QPointF(GridColumn(g, k), g.curveRow(db[static_cast<std::size_t>(k)])));
    return points;
}

double PhaseRow(const GraphGeometry& g, double degrees) {
    return g.plotTop + g.yScale * (kZeroDbUnits - degrees * (kZeroDbUnits / 180.0));
}

std::vector<QPolygonF> WrappedPhasePieces(const GraphGeometry& g, const GridCurve& degrees) {
    std::vector<QPolygonF> pieces;
    QPolygonF piece;
    const auto endPiece = [&] {
        if (piece.size() > 1) pieces.push_back(piece);
        piece.clear();
    };
    double previous = NAN;
    for (int k = 0; k < kGridPoints; ++k) {
        const double raw = degrees[static_cast<std::size_t>(k)];
        if (std::isnan(raw)) {
            endPiece();
            previous = NAN;
            continue;
        }
        const double now = wrapDegrees(raw);
        const double x = GridColumn(g, k);
        if (!std::isnan(previous) && std::abs(now - previous) > 180.0) {
            // The line crosses the edge it is nearer to: follow it there without wrapping,
            // then carry on from the opposite edge.
            const double edge = previous > now ? 180.0 : -180.0;
            const double unwrapped = now + 2.0 * edge;
            const double t = (edge - previous) / (unwrapped - previous);
            const double crossing = GridColumn(g, k - 1) + t * (x - GridColumn(g, k - 1));
            piece.append(QPointF(crossing, PhaseRow(g, edge)));
            endPiece();
            piece.append(QPointF(crossing, PhaseRow(g, -edge)));
        }
        piece.append(QPointF(x, PhaseRow(g, now)));
        previous = now;
    }
    endPiece();
    return pieces;
}

}  // namespace kv
