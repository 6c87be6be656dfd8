#include "ui/graph/tuning/PredictedLayer.h"

#include <QPainter>
#include <array>

#include "document/KorvaliserDoc.h"
#include "response/OutputCurves.h"
#include "ui/graph/tuning/TuningOverlay.h"

namespace kv {

namespace {

// Bold as two anti-aliased hairlines 1.5 pixels apart: Qt draws a hairline many times faster
// than it strokes a wide pen, and this curve is drawn again on every step of a marker drag.
constexpr std::array<double, 2> kHairlineRows{-0.75, 0.75};
constexpr double kReach = 4.0;  // the outer hairline, its anti-aliasing and a margin

QPen hairline() {
    QPen pen(TuningCurvePen(TuningCurveKind::Predicted).color(), 0);
    pen.setCosmetic(true);
    return pen;
}

}  // namespace

PredictedLayer::PredictedLayer(std::shared_ptr<TuningOverlay> overlay)
    : overlay_(std::move(overlay)), plotted_(kReach, PlottedCurve::Pen::Solid) {}

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
    painter.setPen(hairline());
    painter.setBrush(Qt::NoBrush);
    for (const double row : kHairlineRows) {
        painter.save();
        painter.translate(0.0, row);  // the clip moves along, but only by rows
        plotted_.stroke(painter, area);
        painter.restore();
    }
}

}  // namespace kv
