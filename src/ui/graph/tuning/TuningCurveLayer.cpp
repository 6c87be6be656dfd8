#include "ui/graph/tuning/TuningCurveLayer.h"

#include <QPainter>

namespace kv {

TuningCurveLayer::TuningCurveLayer(std::shared_ptr<TuningOverlay> overlay, TuningCurveKind kind)
    : overlay_(std::move(overlay)),
      curve_(kind),
      plotted_(TuningCurvePen(kind).widthF() / 2 + 2,
               kind == TuningCurveKind::Target ? PlottedCurve::Pen::Patterned : PlottedCurve::Pen::Solid) {}

QRect TuningCurveLayer::refresh(const GraphScene& scene) {
    const TuningCurves* curves = overlay_->curves(scene);
    if (overlay_->generation() == plottedGeneration_) return {};
    plottedGeneration_ = overlay_->generation();
    QPolygonF points;
    if (curves != nullptr) {
        points =
            TuningCurvePoints(scene.geometry, curve_ == TuningCurveKind::Measurement ? curves->measurement()
                                                                                     : curves->target());
    }
    return plotted_.update(std::move(points));
}

void TuningCurveLayer::paint(QPainter& painter, const GraphScene& scene, const PaintArea& area) const {
    if (plotted_.isEmpty()) return;
    ClipToPlotArea(painter, scene.geometry);
    // The thin measurement stays crisp: one pixel wide, in its own grey.
    painter.setRenderHint(QPainter::Antialiasing, curve_ != TuningCurveKind::Measurement);
    painter.setPen(TuningCurvePen(curve_));
    painter.setBrush(Qt::NoBrush);
    plotted_.stroke(painter, area);
}

}  // namespace kv
