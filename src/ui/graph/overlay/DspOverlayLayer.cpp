#include "ui/graph/overlay/DspOverlayLayer.h"

#include <QPainter>

#include "document/KorvaliserDoc.h"
#include "response/dsp/DspCurveCache.h"
#include "ui/graph/overlay/OverlayDrawing.h"

namespace kv {

namespace {
// Light against the red total, so the dashes stay visible where both curves agree.
const QColor kDspColour(0xFF, 0xD0, 0x60);
constexpr double kCurveReach = 3.0;
}  // namespace

DspOverlayLayer::DspOverlayLayer(DspCurveCache& dsp, Quantity quantity)
    : dsp_(dsp),
      quantity_(quantity),
      magnitude_(kCurveReach, PlottedCurve::Pen::Patterned),
      phase_(PlottedCurve::Pen::Patterned) {}

QPen DspOverlayLayer::pen() {
    QPen dashed(kDspColour, 1.5, Qt::DashLine);
    dashed.setCapStyle(Qt::FlatCap);  // square caps would close the gaps on steep slopes
    return dashed;
}

QRect DspOverlayLayer::refresh(const GraphScene& scene) {
    if (quantity_ == Quantity::Phase)
        return phase_.update(scene.geometry, dsp_.totalPhase(scene.doc, scene.output));
    return magnitude_.update(DecibelPoints(scene.geometry, dsp_.totalMagnitude(scene.doc, scene.output)));
}

void DspOverlayLayer::paint(QPainter& painter, const GraphScene& scene, const PaintArea& area) const {
    ClipToPlot(painter, scene.geometry);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(pen());
    painter.setBrush(Qt::NoBrush);
    if (quantity_ == Quantity::Phase)
        phase_.stroke(painter, area);
    else
        magnitude_.stroke(painter, area);
}

}  // namespace kv
