#include "ui/graph/overlay/DspOverlayLayer.h"

#include <QPainter>

#include "document/KorvaliserDoc.h"
#include "response/GraphGeometry.h"
#include "response/dsp/DspCurveCache.h"
#include "ui/graph/overlay/OverlayDrawing.h"

namespace kv {

namespace {
// Light against the red total, so the dashes stay visible where both curves agree.
const QColor kDspColour(0xFF, 0xD0, 0x60);
// Dashes of 6 pixels every 10, counted from the plot's left edge.
constexpr double kDashPixels = 6.0;
constexpr double kDashPeriodPixels = 10.0;

std::vector<QPolygonF> dashed(const GraphGeometry& g, const std::vector<QPolygonF>& lines) {
    std::vector<QPolygonF> dashes;
    for (const QPolygonF& line : lines) {
        std::vector<QPolygonF> more = DashPieces(line, g.plotLeft, kDashPixels, kDashPeriodPixels);
        dashes.insert(dashes.end(), std::make_move_iterator(more.begin()),
                      std::make_move_iterator(more.end()));
    }
    return dashes;
}

// One pixel wide and cosmetic: Qt draws it on its fast line path, far cheaper than a stroke.
QPen dashPen() {
    QPen pen(kDspColour, 1.0);
    pen.setCosmetic(true);
    return pen;
}

}  // namespace

DspOverlayLayer::DspOverlayLayer(DspCurveCache& dsp, Quantity quantity) : dsp_(dsp), quantity_(quantity) {}

QRect DspOverlayLayer::refresh(const GraphScene& scene) {
    const GraphGeometry& g = scene.geometry;
    if (quantity_ == Quantity::Phase)
        return dashes_.update(dashed(g, WrappedPhasePieces(g, dsp_.totalPhase(scene.doc, scene.output))));
    return dashes_.update(dashed(g, {DecibelPoints(g, dsp_.totalMagnitude(scene.doc, scene.output))}));
}

void DspOverlayLayer::paint(QPainter& painter, const GraphScene& scene, const PaintArea& area) const {
    ClipToPlot(painter, scene.geometry);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(dashPen());
    painter.setBrush(Qt::NoBrush);
    dashes_.stroke(painter, area);
}

}  // namespace kv
