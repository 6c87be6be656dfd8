#include "ui/graph/overlay/PhaseLayers.h"

#include <QPainter>

#include "document/KorvaliserDoc.h"
#include "response/GraphGeometry.h"
#include "response/dsp/DspCurveCache.h"
#include "ui/graph/PageLayers.h"
#include "ui/graph/overlay/OverlayDrawing.h"

namespace kv {

namespace {
const QColor kTotalRed(0xFF, 0x00, 0x00);
constexpr double kCurvePenWidth = 2.0;
}  // namespace

QRect PhaseLabelsLayer::refresh(const GraphScene& scene) {
    const GraphGeometry& g = scene.geometry;
    if (strip_.height() == g.frameHeight) return {};
    std::array<QString, kLevelLabelCount> degrees;
    for (int n = 0; n < kLevelLabelCount; ++n) {
        const int level = 180 - 60 * n;
        degrees[static_cast<std::size_t>(n)] =
            (level == 0 ? QStringLiteral("0") : QString::asprintf("%+d", level)) + QChar(0x00B0);
    }
    strip_ = LevelLabelStrip(g, degrees);
    return PaintArea::wholeFrame();
}

void PhaseLabelsLayer::paint(QPainter& painter, const GraphScene& /*scene*/,
                             const PaintArea& /*area*/) const {
    painter.drawImage(0, 0, strip_);
}

QRect PhaseTotalLayer::refresh(const GraphScene& scene) {
    return total_.update(
        WrappedPhasePieces(scene.geometry, dsp_.totalPhase(scene.doc, scene.output, ResponseModel::Analog)));
}

void PhaseTotalLayer::paint(QPainter& painter, const GraphScene& scene, const PaintArea& area) const {
    ClipToPlot(painter, scene.geometry);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(kTotalRed, kCurvePenWidth));
    painter.setBrush(Qt::NoBrush);
    total_.stroke(painter, area);
}

}  // namespace kv
