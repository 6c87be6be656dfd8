#include "ui/graph/PlottedCurve.h"

#include <QPaintDevice>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace kv {

namespace {

// Qt's anti-aliasing rasterizer walks a whole outline once per band of rows it covers,
// and again whenever a band holds more cells than its small pool: one long outline costs
// far more than the same length in pieces of a few dozen points.
constexpr int kPiecePoints = 32;

int firstAtOrRightOf(const QPolygonF& points, double x) {
    const auto found = std::lower_bound(points.begin(), points.end(), x,
                                        [](const QPointF& p, double value) { return p.x() < value; });
    return static_cast<int>(found - points.begin());
}

bool samePoint(const QPointF& a, const QPointF& b) { return a.x() == b.x() && a.y() == b.y(); }

}  // namespace

QRect PlottedCurve::bounds(const QPolygonF& points, int from, int to, std::optional<double> baseRow) const {
    if (points.isEmpty()) return {};
    double top = baseRow.value_or(points[from].y());
    double bottom = top;
    for (int k = from; k <= to; ++k) {
        top = std::min(top, points[k].y());
        bottom = std::max(bottom, points[k].y());
    }
    return PixelsCovering(points[from].x(), top, points[to].x(), bottom, reach_);
}

QRect PlottedCurve::update(QPolygonF points) { return take(std::move(points), std::nullopt); }

QRect PlottedCurve::updateArea(QPolygonF points, double baseRow) { return take(std::move(points), baseRow); }

QRect PlottedCurve::take(QPolygonF points, std::optional<double> baseRow) {
    const auto last = [](const QPolygonF& p) { return static_cast<int>(p.size()) - 1; };
    QRect changed;
    if (points.size() != points_.size() || baseRow != baseRow_) {
        changed = bounds(points_, 0, last(points_), baseRow_) | bounds(points, 0, last(points), baseRow);
    } else {
        const int n = static_cast<int>(points.size());
        int first = 0;
        while (first < n && samePoint(points[first], points_[first])) ++first;
        if (first < n) {
            int end = n - 1;
            while (end > first && samePoint(points[end], points_[end])) --end;
            // A moved point reshapes the segments on both sides of it and the joins at
            // their far ends; a pattern shifts all the way to the end.
            const int from = std::max(first - 1, 0);
            const int to = pen_ == Pen::Patterned ? n - 1 : std::min(end + 1, n - 1);
            changed = bounds(points_, from, to, baseRow_) | bounds(points, from, to, baseRow);
        }
    }
    points_ = std::move(points);
    baseRow_ = baseRow;
    return changed;
}

template <typename Draw>
void PlottedCurve::forEachPiece(QPainter& painter, const QRect& area, Draw draw) const {
    const int n = static_cast<int>(points_.size());
    const QRect curve = bounds(points_, 0, n - 1, baseRow_) & area;
    int left = curve.left();
    const int right = curve.right() + 1;
    const int height = painter.device()->height();
    while (left < right) {
        const int start = std::min(firstAtOrRightOf(points_, left), n - 1);
        const int end = std::min(start + kPiecePoints, n - 1);
        int pieceRight =
            end == n - 1 ? right : std::min(right, static_cast<int>(std::floor(points_[end].x())));
        pieceRight = std::max(pieceRight, left + 1);
        // Every point whose segments or joins reach the piece's columns, and one more on
        // each side so that the joins at the piece's edges are the whole curve's.
        const int from = std::max(0, firstAtOrRightOf(points_, left - reach_) - 2);
        const int to = std::min(n - 1, firstAtOrRightOf(points_, pieceRight + reach_) + 1);
        // A piece entirely above or below the area would be clipped away whole.
        if (bounds(points_, from, to, baseRow_).intersects(area)) {
            painter.save();
            painter.setClipRect(QRect(left, 0, pieceRight - left, height), Qt::IntersectClip);
            draw(from, to);
            painter.restore();
        }
        left = pieceRight;
    }
}

void PlottedCurve::stroke(QPainter& painter, const PaintArea& area) const {
    if (points_.isEmpty()) return;
    if (!area.inPieces || pen_ == Pen::Patterned) {
        painter.drawPolyline(points_);
        return;
    }
    forEachPiece(painter, area.rect,
                 [&](int from, int to) { painter.drawPolyline(points_.constData() + from, to - from + 1); });
}

void PlottedCurve::fill(QPainter& painter, const PaintArea& area) const {
    if (points_.isEmpty()) return;
    const double base = baseRow_.value_or(points_.first().y());
    const auto fillBetween = [&](int from, int to) {
        QPolygonF polygon;
        polygon.reserve(to - from + 4);
        for (int k = from; k <= to; ++k) polygon.append(points_[k]);
        polygon.append(QPointF(points_[to].x(), base));
        polygon.append(QPointF(points_[from].x(), base));
        polygon.append(points_[from]);
        painter.drawPolygon(polygon, Qt::OddEvenFill);
    };
    if (!area.inPieces) {
        fillBetween(0, static_cast<int>(points_.size()) - 1);
        return;
    }
    forEachPiece(painter, area.rect, fillBetween);
}

}  // namespace kv
