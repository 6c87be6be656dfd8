#include "ui/graph/overlay/PhaseCurve.h"

#include <algorithm>

#include "ui/graph/overlay/OverlayDrawing.h"

namespace kv {

namespace {
constexpr double kCurveReach = 3.0;
}

QRect PhaseCurve::update(const GraphGeometry& g, const GridCurve& degrees) {
    std::vector<QPolygonF> pieces = WrappedPhasePieces(g, degrees);
    const std::size_t count = std::max(pieces.size(), pieces_.size());
    while (pieces_.size() < count) pieces_.emplace_back(kCurveReach, pen_);
    QRect changed;
    for (std::size_t k = 0; k < count; ++k)
        changed |= pieces_[k].update(k < pieces.size() ? std::move(pieces[k]) : QPolygonF());
    pieces_.resize(pieces.size(), PlottedCurve(kCurveReach, pen_));
    return changed;
}

void PhaseCurve::stroke(QPainter& painter, const PaintArea& area) const {
    for (const PlottedCurve& piece : pieces_) piece.stroke(painter, area);
}

}  // namespace kv
