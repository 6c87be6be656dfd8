#include "ui/graph/overlay/DspWarningLayer.h"

#include <QPainter>

#include "document/KorvaliserDoc.h"
#include "response/GraphGeometry.h"
#include "response/OutputCurves.h"
#include "response/dsp/DspCurveCache.h"
#include "ui/graph/PageLayers.h"

namespace kv {

namespace {

const QColor kWarningColour(0xFF, 0xD0, 0x60);
const QColor kBackdrop(0x00, 0x00, 0x00, 0xC0);
constexpr int kBoxWidth = 240;
constexpr int kBoxHeight = 16;
constexpr int kInset = 4;

// Fixed, so a new text repaints no more than the box.
QRect warningBox(const GraphGeometry& g) {
    const int right = static_cast<int>(g.plotRight()) - kInset;
    return {right - kBoxWidth, static_cast<int>(g.plotTop) + kInset, kBoxWidth, kBoxHeight};
}

}  // namespace

QRect DspWarningLayer::refresh(const GraphScene& scene) {
    // Against the red total as drawn: a drag step then computes its element's analog curve once.
    const ModelDifference worst =
        dsp_.totalDifference(scene.doc, scene.output, PageTotal(scene.table, scene.doc.activeBandCount()));
    QString text = QString::fromStdString(modelDifferenceWarning(worst));
    if (text == text_) return {};
    text_ = std::move(text);
    return warningBox(scene.geometry);
}

void DspWarningLayer::paint(QPainter& painter, const GraphScene& scene, const PaintArea& area) const {
    const QRect box = warningBox(scene.geometry);
    if (text_.isEmpty() || !box.intersects(area.rect)) return;
    painter.setFont(GraphTextFont());
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    QRect backdrop = painter.fontMetrics().boundingRect(box, Qt::AlignRight | Qt::AlignVCenter, text_);
    backdrop = backdrop.adjusted(-3, 0, 2, 0) & box;
    painter.fillRect(backdrop, kBackdrop);
    painter.setPen(kWarningColour);
    painter.drawText(box.adjusted(0, 0, -2, 0), Qt::AlignRight | Qt::AlignVCenter, text_);
}

}  // namespace kv
