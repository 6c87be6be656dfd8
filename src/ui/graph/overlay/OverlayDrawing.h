#pragma once
// What the page graph's overlays share for placing a curve: the plot's columns as a clip,
// a dB curve's points on the grid, and the phase view's rows. The phase view spreads
// -180..+180 degrees over the plot's +18..-18 dB, so 0 degrees lies on the 0 dB line and
// each 6 dB grid row is 60 degrees.

#include <QPolygonF>
#include <vector>

#include "response/dsp/OutputResponse.h"

class QPainter;

namespace kv {

struct GraphGeometry;

// Narrows the painter's clip to the plot's columns.
void ClipToPlot(QPainter& painter, const GraphGeometry& g);

// x of grid point k, as every curve of the graph places it.
double GridColumn(const GraphGeometry& g, int k);

// A dB curve as the red total places its points.
QPolygonF DecibelPoints(const GraphGeometry& g, const GridCurve& db);

// Pixel row of a phase in degrees (-180 the plot's bottom, +180 its top).
double PhaseRow(const GraphGeometry& g, double degrees);

// A phase curve wrapped to -180..+180 as polylines: where it wraps, one piece runs to the
// plot's edge and the next starts from the opposite edge, in the same column. Points that
// are not a number end a piece.
std::vector<QPolygonF> WrappedPhasePieces(const GraphGeometry& g, const GridCurve& degrees);

}  // namespace kv
