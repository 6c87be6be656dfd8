#pragma once
// One curve over the response grid as a graph layer draws it: a polyline through its
// points, or the area between them and a base row. It keeps the points it was last given,
// so its layer can tell which frame pixels a new set changes, and it draws itself in
// column pieces. A piece is clipped to its own columns and reaches a few points past them,
// so it lays down exactly the pixels one stroke would there; the pieces together cost less,
// as Qt's anti-aliasing rasterizer slows down with the length of one outline.

#include <QPolygonF>
#include <cstdint>
#include <optional>

#include "ui/graph/GraphLayer.h"

namespace kv {

class PlottedCurve {
public:
    // A patterned pen (dashes) starts its pattern where the polyline starts, so it is
    // always stroked whole, and a change moves the pattern on to the curve's end.
    enum class Pen : std::uint8_t { Solid, Patterned };

    PlottedCurve() = default;
    // reach: how far (pixels) the drawing spreads past its points (half the pen width, the
    // caps and the anti-aliasing).
    PlottedCurve(double reach, Pen pen) : reach_(reach), pen_(pen) {}

    // Takes the new points (x ascending; none for no curve) of a polyline, or of an area
    // down (or up) to baseRow, and returns the frame pixels they change.
    QRect update(QPolygonF points);
    QRect updateArea(QPolygonF points, double baseRow);
    const QPolygonF& points() const { return points_; }
    bool isEmpty() const { return points_.isEmpty(); }

    // The polyline, with the painter's pen, as far as the area needs it.
    void stroke(QPainter& painter, const PaintArea& area) const;
    // The area down to the base row, with the painter's brush (odd-even fill).
    void fill(QPainter& painter, const PaintArea& area) const;

private:
    QRect take(QPolygonF points, std::optional<double> baseRow);
    QRect bounds(const QPolygonF& points, int from, int to, std::optional<double> baseRow) const;
    template <typename Draw>
    void forEachPiece(QPainter& painter, const QRect& area, Draw draw) const;

    QPolygonF points_;
    std::optional<double> baseRow_;
    double reach_ = 3.0;
    Pen pen_ = Pen::Solid;
};

}  // namespace kv
