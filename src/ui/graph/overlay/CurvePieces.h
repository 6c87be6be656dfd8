#pragma once
// A curve drawn as several polylines, each a PlottedCurve that tells what its change
// repaints: a phase curve breaks where it wraps, and a dashed curve is a row of dashes.
// Dashes laid at fixed columns (DashPieces) stay put when part of the curve changes,
// unlike a patterned pen whose dashes start at the curve's start: a drag step repaints
// only the dashes it moves, and they do not crawl along the curve.

#include <QPolygonF>
#include <vector>

#include "ui/graph/PlottedCurve.h"

class QPainter;

namespace kv {

class CurvePieces {
public:
    // Takes the new pieces (x ascending in each) and returns the frame pixels they change.
    QRect update(std::vector<QPolygonF> pieces);
    void stroke(QPainter& painter, const PaintArea& area) const;

private:
    std::vector<PlottedCurve> pieces_;
};

// The dashes of a polyline (x ascending): the parts over the columns origin + n period ..
// origin + n period + dash, for every whole n, cut where they begin and end.
std::vector<QPolygonF> DashPieces(const QPolygonF& line, double origin, double dash, double period);

}  // namespace kv
