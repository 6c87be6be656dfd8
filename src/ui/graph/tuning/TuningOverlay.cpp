#include "ui/graph/tuning/TuningOverlay.h"

#include <QPainter>
#include <algorithm>

#include "document/KorvaliserDoc.h"
#include "measurement/tuning/BankTuning.h"
#include "response/GraphGeometry.h"
#include "ui/graph/GraphLayerStack.h"
#include "ui/graph/PageLayers.h"
#include "ui/graph/ResponseGraph.h"
#include "ui/graph/tuning/PredictedLayer.h"
#include "ui/graph/tuning/TuningCurveLayer.h"
#include "ui/graph/tuning/TuningLegend.h"

namespace kv {

namespace {

const QColor kMeasurementGrey(0x90, 0x90, 0x90);
const QColor kTargetWhite(0xFF, 0xFF, 0xFF);
const QColor kPredictedOrange(0xFF, 0x8C, 0x00);

}  // namespace

QPen TuningCurvePen(TuningCurveKind kind) {
    switch (kind) {
        case TuningCurveKind::Measurement: return QPen(kMeasurementGrey, 1.0);
        case TuningCurveKind::Target: {
            QPen dashed(kTargetWhite, 1.5);
            dashed.setStyle(Qt::DashLine);
            return dashed;
        }
        case TuningCurveKind::Predicted: break;
    }
    return QPen(kPredictedOrange, 3.0);
}

void ClipToPlotArea(QPainter& painter, const GraphGeometry& g) {
    painter.setClipRect(QRectF(g.plotLeft, g.plotTop, g.plotRight() - g.plotLeft, g.plotBottom() - g.plotTop),
                        Qt::IntersectClip);
}

QPolygonF TuningCurvePoints(const GraphGeometry& geometry, const GridCurve& curve) {
    const double top = 0.0;
    const double bottom = geometry.frameHeight;
    QPolygonF points;
    points.reserve(kGridPoints);
    for (int k = 0; k < kGridPoints; ++k) {
        const double db = curve[static_cast<std::size_t>(k)];
        if (!isPresent(db)) continue;
        const double row = std::clamp(static_cast<double>(geometry.curveRow(db)), top, bottom);
        points.append(QPointF(geometry.plotLeft + geometry.xScale * static_cast<float>(k), row));
    }
    return points;
}

TuningOverlay::TuningOverlay(const BankTuning& tuning) : tuning_(tuning) {}

std::shared_ptr<TuningOverlay> TuningOverlay::addTo(CResponseGraph& graph, const BankTuning& tuning) {
    auto overlay = std::make_shared<TuningOverlay>(tuning);
    overlay->graph_ = &graph;
    addLayers(graph.layers(), overlay);
    return overlay;
}

void TuningOverlay::addLayers(GraphLayerStack& layers, const std::shared_ptr<TuningOverlay>& overlay) {
    layers.insertBelow(PageLayer::kMarkers, "measurement",
                       std::make_unique<TuningCurveLayer>(overlay, TuningCurveKind::Measurement));
    layers.insertBelow(PageLayer::kMarkers, "target",
                       std::make_unique<TuningCurveLayer>(overlay, TuningCurveKind::Target));
    layers.insertBelow(PageLayer::kMarkers, "tuning legend", std::make_unique<TuningLegend>(overlay));
    layers.insertBelow(PageLayer::kMarkers, "predicted", std::make_unique<PredictedLayer>(overlay));
}

void TuningOverlay::setShown(bool shown) {
    if (shown == shown_) return;
    shown_ = shown;
    ++generation_;
    redraw();
}

void TuningOverlay::redraw() {
    if (graph_) graph_->redraw();
}

bool TuningOverlay::hasMeasurement(int slot, int output) const {
    return !tuning_.tuning(slot, output).measurement.empty();
}

const TuningCurves* TuningOverlay::curves(const GraphScene& scene) {
    const Source now{scene.doc.currentPreset(), scene.output, tuning_.revision()};
    if (source_ != now) {
        source_ = now;
        curves_.emplace(tuning_.tuning(now.slot, now.output));
        ++generation_;
    }
    return shown_ && curves_->hasMeasurement() ? &*curves_ : nullptr;
}

}  // namespace kv
