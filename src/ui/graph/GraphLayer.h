#pragma once
// The page graph is painted as an ordered list of layers, bottom to top (GraphLayerStack).
// Cached layers (background with grid and frequency labels, level labels, 0 dB line, the
// other outputs' crossover curves) are painted into a cached picture once, and again only
// when one of them changes or the frame changes size. Live layers (the shaded selection,
// the red total, the markers) are painted over that picture on every redraw, and only
// within the rectangle some layer reports as changed; a marker drag thus repaints the part
// of the frame its band's curve reaches and leaves the rest alone.
//
// Adding an overlay (a dashed DSP-response curve, measurement / target / predicted curves
// with a legend, a corner warning text):
//   1. Derive from GraphLayer. kind() is Cached for what changes rarely (a loaded
//      measurement or target, a legend) and Live for what follows a marker drag (a
//      predicted or DSP curve, a warning text that depends on the bands).
//   2. refresh(scene) brings the layer up to date and returns the frame pixels that may
//      differ from what it painted last: QRect() when nothing changed,
//      PaintArea::wholeFrame() when unsure. It runs on every redraw, so keep it cheap
//      (recompute a curve only when its inputs changed). A curve over the grid keeps a
//      PlottedCurve, whose update() answers this, and draws through it.
//   3. paint(painter, scene, area) paints the layer into area.rect, the part of the frame
//      being repainted (whatever layer changed it); the painter is already clipped to it,
//      and what lies wholly outside may be skipped. Only ever narrow the clip further
//      (Qt::IntersectClip): pixels outside the area already hold this layer, and painting
//      them again would blend twice. Draw curves with PlottedCurve::stroke / fill, which
//      repaint only the area, in pieces.
//   4. graph.layers().insertBelow(PageLayer::kMarkers, "dsp response", std::move(layer));
//      replace a standard layer the same way: the phase view's -180°..+180° labels go in
//      with graph.layers().replace(PageLayer::kLevelLabels, std::move(labels)).
// Cached layers always lie beneath the live ones. A new or replaced layer, or a cached
// layer whose refresh reports a change, repaints the cached picture; nothing else does.

#include <QRect>
#include <cstdint>

class QPainter;

namespace kv {

class CKorvaliserDoc;
class ResponseCurveTable;
struct GraphGeometry;
struct GraphImages;
struct OutputPageState;

// What every layer may draw from. The table's Stale slots are recomputed before any layer
// is refreshed.
struct GraphScene {
    const GraphGeometry& geometry;
    const GraphImages& images;
    const CKorvaliserDoc& doc;
    const ResponseCurveTable& table;
    const OutputPageState& page;
    int output;
};

// The part of the frame a redraw repaints, or a layer may change.
struct PaintArea {
    // Frame pixels; the painter is clipped to them.
    QRect rect = wholeFrame();
    // Curves may be drawn in column pieces (the same pixels for far less raster work);
    // false draws each in one stroke, as a whole redraw does.
    bool inPieces = true;

    // Larger than any frame: "everything", when a layer cannot tell what it changed.
    static constexpr QRect wholeFrame() { return {-(1 << 20), -(1 << 20), 1 << 21, 1 << 21}; }
};

// The frame pixels a drawing from (x0, y0) to (x1, y1) touches, widened by `reach` pixels
// on every side.
QRect PixelsCovering(double x0, double y0, double x1, double y1, double reach);

class GraphLayer {
public:
    enum class Kind : std::uint8_t { Cached, Live };

    GraphLayer() = default;
    virtual ~GraphLayer() = default;
    GraphLayer(const GraphLayer&) = delete;
    GraphLayer& operator=(const GraphLayer&) = delete;

    virtual Kind kind() const = 0;
    virtual QRect refresh(const GraphScene& scene) = 0;
    virtual void paint(QPainter& painter, const GraphScene& scene, const PaintArea& area) const = 0;
};

}  // namespace kv
