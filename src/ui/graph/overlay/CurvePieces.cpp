#include "ui/graph/overlay/CurvePieces.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace kv {

namespace {

constexpr double kCurveReach = 3.0;
constexpr int kPathPoints = 24;

int firstRightOf(const QPolygonF& line, double x) {
    return static_cast<int>(
        std::upper_bound(line.begin(), line.end(), x, [](double v, const QPointF& p) { return v < p.x(); }) -
        line.begin());
}

// The polyline's point at column x, which lies within its columns.
QPointF pointAt(const QPolygonF& line, double x) {
    const int right = std::clamp(firstRightOf(line, x), 1, static_cast<int>(line.size()) - 1);
    const QPointF a = line[right - 1];
    const QPointF b = line[right];
    if (b.x() == a.x()) return a;
    const double t = (x - a.x()) / (b.x() - a.x());
    return {x, a.y() + t * (b.y() - a.y())};
}

}  // namespace

QRect CurvePieces::update(std::vector<QPolygonF> pieces) {
    const std::size_t count = std::max(pieces.size(), pieces_.size());
    while (pieces_.size() < count) pieces_.emplace_back(kCurveReach, PlottedCurve::Pen::Solid);
    QRect changed;
    for (std::size_t k = 0; k < count; ++k)
        changed |= pieces_[k].update(k < pieces.size() ? std::move(pieces[k]) : QPolygonF());
    pieces_.resize(pieces.size());
    return changed;
}

// Pieces that lie apart (dashes, a wrapped curve's runs) come out as the same pixels
// stroked one by one or together. Qt's stroker costs much per call and its rasterizer
// slows down with the length of one outline, so they are stroked a few dozen points at a
// time, and only those the area needs.
void CurvePieces::stroke(QPainter& painter, const PaintArea& area) const {
    const QRectF rect(area.rect);
    QPainterPath path;
    int pathPoints = 0;
    const auto strokePath = [&] {
        if (pathPoints > 0) painter.drawPath(path);
        path.clear();
        pathPoints = 0;
    };
    for (const PlottedCurve& piece : pieces_) {
        const QPolygonF& points = piece.points();
        // Widened first: a flat piece's own rectangle has no height and meets nothing.
        const QRectF drawn =
            points.boundingRect().adjusted(-kCurveReach, -kCurveReach, kCurveReach, kCurveReach);
        if (points.size() < 2 || !drawn.intersects(rect)) continue;
        path.addPolygon(points);
        pathPoints += static_cast<int>(points.size());
        if (pathPoints >= kPathPoints) strokePath();
    }
    strokePath();
}

std::vector<QPolygonF> DashPieces(const QPolygonF& line, double origin, double dash, double period) {
    std::vector<QPolygonF> dashes;
    if (line.size() < 2) return dashes;
    const double first = line.first().x();
    const double last = line.last().x();
    for (auto n = static_cast<long>(std::floor((first - origin) / period));; ++n) {
        const double start = std::max(first, origin + static_cast<double>(n) * period);
        const double end = std::min(last, origin + static_cast<double>(n) * period + dash);
        if (start >= last) break;
        if (start >= end) continue;
        QPolygonF piece;
        piece.append(pointAt(line, start));
        for (int k = firstRightOf(line, start); k < line.size() && line[k].x() < end; ++k)
            piece.append(line[k]);
        piece.append(pointAt(line, end));
        dashes.push_back(std::move(piece));
    }
    return dashes;
}

}  // namespace kv
