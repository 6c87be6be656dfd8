#include "ui/graph/tuning/PredictedLayer.h"

#include <QPainter>

#include "document/KorvaliserDoc.h"
#include "response/OutputCurves.h"
#include "ui/graph/tuning/TuningOverlay.h"

namespace kv {

PredictedLayer::PredictedLayer(std::shared_ptr<TuningOverlay> overlay)
    : overlay_(std::move(overlay)),
      plotted_(TuningCurvePen(TuningCurveKind::Predicted).widthF() / 2 + 2, PlottedCurve::Pen::Solid) {}

QRect PredictedLayer::refresh(const GraphScene& scene) {
    const TuningCurves* curves = overlay_->curves(scene);
    if (curves == nullptr) return plotted_.update({});
    const GridCurve predicted = curves->predicted(PageTotal(scene.table, scene.doc.activeBandCount()));
    return plotted_.update(TuningCurvePoints(scene.geometry, predicted));
}

void PredictedLayer::paint(QPainter& painter, const GraphScene& scene, const PaintArea& area) const {
    if (plotted_.isEmpty()) return;
    ClipToPlotArea(painter, scene.geometry);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(TuningCurvePen(TuningCurveKind::Predicted));
    painter.setBrush(Qt::NoBrush);
    plotted_.stroke(painter, area);
}

}  // namespace kv
