#include "ui/graph/ResponseGraph.h"

#include <QPaintEvent>
#include <QPainter>

#include "document/KorvaliserDoc.h"
#include "response/OutputCurves.h"
#include "response/ResponseCurveTable.h"
#include "ui/graph/PageLayers.h"

namespace kv {

void DrawResponseGraph(QImage& working, GraphImages& images, ResponseCurveTable& table,
                       const CKorvaliserDoc& doc, int output, const OutputPageState& page, GraphViews views) {
    if (!images.geometry.backgroundBuilt) return;
    RecomputeStaleSlots(table, doc, output);
    GraphLayerStack layers;
    AddPageLayers(layers);
    GraphViewLayers(table).apply(layers, views);
    layers.renderWhole({images.geometry, images, doc, table, page, output});
    working = layers.frame();
}

CResponseGraph::CResponseGraph(CKorvaliserDoc& doc, ResponseCurveTable& table, int output, QWidget* parent,
                               std::shared_ptr<GraphImages> images)
    : QWidget(parent),
      doc_(doc),
      table_(table),
      output_(output),
      images_(images ? std::move(images) : std::make_shared<GraphImages>()),
      viewLayers_(table) {
    setObjectName(QStringLiteral("responseGraph"));
    table_.follow(doc_);  // edits mark their own curves stale, whoever makes them
    setAttribute(Qt::WA_OpaquePaintEvent);
    AddPageLayers(layers_);
    if (images_->geometry.backgroundBuilt) {
        setFixedSize(images_->geometry.frameWidth, images_->geometry.frameHeight);
    }
}

void CResponseGraph::setBandShown(int band, bool shown) {
    if (band >= 0 && band < kShownFlagCount) page_->bandShown[static_cast<std::size_t>(band)] = shown;
}

void CResponseGraph::setShownBands(std::uint32_t mask) {
    for (int b = 0; b < kShownFlagCount; ++b)
        page_->bandShown[static_cast<std::size_t>(b)] = (mask >> b & 1u) != 0;
}

std::uint32_t CResponseGraph::shownBands() const {
    std::uint32_t mask = 0;
    for (int b = 0; b < kShownFlagCount; ++b) {
        if (page_->bandShown[static_cast<std::size_t>(b)]) mask |= 1u << b;
    }
    return mask;
}

void CResponseGraph::markOutputStale() {
    MarkSlotsForPage(table_, output_, doc_.activeBandCount(), doc_.outputCount());
}

QRect CResponseGraph::compose() {
    GraphGeometry& g = images_->geometry;
    if (!g.backgroundBuilt) {
        if (!BuildGraphBackground(*images_, height(), width())) return {};
    }
    // The images are never rebuilt, so the frame keeps the size they were built for.
    const QSize frame(g.frameWidth, g.frameHeight);
    if (minimumSize() != frame || maximumSize() != frame) setFixedSize(frame);
    RecomputeStaleSlots(table_, doc_, output_);
    const GraphScene scene{g, *images_, doc_, table_, *page_, output_};
    if (!wholeRedraws_) return layers_.render(scene);
    layers_.renderWhole(scene);
    return rect();
}

void CResponseGraph::redraw() {
    const QRect changed = compose();
    if (!changed.isEmpty()) update(changed);
}

int CResponseGraph::hitTest(QPointF point) const {
    return MarkerUnder(images_->geometry, doc_, output_, *page_, static_cast<float>(point.x()),
                       static_cast<float>(point.y()))
        .value_or(-1);
}

QSize CResponseGraph::sizeHint() const {
    const GraphGeometry& g = images_->geometry;
    return g.backgroundBuilt ? QSize(g.frameWidth, g.frameHeight) : QSize(674, 390);
}

void CResponseGraph::paintEvent(QPaintEvent* event) {
    if (workingImage().isNull()) compose();
    QPainter p(this);
    if (workingImage().isNull()) {
        p.fillRect(rect(), Qt::black);
        return;
    }
    // The frame is opaque: copying it gives the pixels blending would, for less.
    p.setCompositionMode(QPainter::CompositionMode_Source);
    DrawImageInBands(p, workingImage(), event->rect());
}

}  // namespace kv
