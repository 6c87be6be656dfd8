#pragma once
// A phase curve of the phase view: wrapped to -180..+180 degrees it breaks where it wraps,
// so it is drawn as several pieces, each a PlottedCurve that tells what its change repaints.

#include <vector>

#include "response/dsp/OutputResponse.h"
#include "ui/graph/PlottedCurve.h"

class QPainter;

namespace kv {

struct GraphGeometry;

class PhaseCurve {
public:
    explicit PhaseCurve(PlottedCurve::Pen pen) : pen_(pen) {}

    // Takes a phase curve in degrees (wrapped or not) and returns the frame pixels it changes.
    QRect update(const GraphGeometry& g, const GridCurve& degrees);
    void stroke(QPainter& painter, const PaintArea& area) const;

private:
    PlottedCurve::Pen pen_;
    std::vector<PlottedCurve> pieces_;
};

}  // namespace kv
