#include "ui/graph/GraphLayerStack.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "response/GraphGeometry.h"

namespace kv {

namespace {

constexpr int kBandRows = 64;

// Row by row: for the few hundred rows of a redraw a painter would hand the copy out to
// its thread pool in slices, and waking the threads costs more than the copy.
void copyPixels(const QImage& from, QImage& to, const QRect& area) {
    const auto offset = static_cast<std::size_t>(area.left()) * 4;
    const auto bytes = static_cast<std::size_t>(area.width()) * 4;
    for (int y = area.top(); y <= area.bottom(); ++y)
        std::memcpy(to.scanLine(y) + offset, from.constScanLine(y) + offset, bytes);
}

}  // namespace

QRect PixelsCovering(double x0, double y0, double x1, double y1, double reach) {
    // Far beyond any frame (an infinity included) is held well outside it; NaN draws nothing.
    const auto pixel = [](double v) {
        return static_cast<int>(std::floor(std::isnan(v) ? 0.0 : std::clamp(v, -1e6, 1e6)));
    };
    return {QPoint(pixel(std::min(x0, x1) - reach), pixel(std::min(y0, y1) - reach)),
            QPoint(pixel(std::max(x0, x1) + reach), pixel(std::max(y0, y1) + reach))};
}

void DrawImageInBands(QPainter& painter, const QImage& image, const QRect& area) {
    for (int top = area.top(); top <= area.bottom(); top += kBandRows) {
        const QRect band(area.left(), top, area.width(), std::min(kBandRows, area.bottom() + 1 - top));
        painter.drawImage(band, image, band);
    }
}

std::vector<GraphLayerStack::Entry>::iterator GraphLayerStack::entryOf(std::string_view name) {
    return std::find_if(layers_.begin(), layers_.end(), [name](const Entry& e) { return e.name == name; });
}

void GraphLayerStack::add(std::string name, std::unique_ptr<GraphLayer> layer) {
    layers_.push_back({std::move(name), std::move(layer)});
    current_ = false;
}

bool GraphLayerStack::insertBelow(std::string_view above, std::string name,
                                  std::unique_ptr<GraphLayer> layer) {
    const auto at = entryOf(above);
    if (at == layers_.end()) return false;
    layers_.insert(at, {std::move(name), std::move(layer)});
    current_ = false;
    return true;
}

std::unique_ptr<GraphLayer> GraphLayerStack::replace(std::string_view name,
                                                     std::unique_ptr<GraphLayer> layer) {
    const auto at = entryOf(name);
    if (at == layers_.end()) return {};
    std::swap(at->layer, layer);
    current_ = false;
    return layer;
}

std::unique_ptr<GraphLayer> GraphLayerStack::remove(std::string_view name) {
    const auto at = entryOf(name);
    if (at == layers_.end()) return {};
    std::unique_ptr<GraphLayer> removed = std::move(at->layer);
    layers_.erase(at);
    current_ = false;
    return removed;
}

GraphLayer* GraphLayerStack::find(std::string_view name) const {
    const auto at =
        std::find_if(layers_.begin(), layers_.end(), [name](const Entry& e) { return e.name == name; });
    return at == layers_.end() ? nullptr : at->layer.get();
}

std::vector<std::string_view> GraphLayerStack::names() const {
    std::vector<std::string_view> names;
    names.reserve(layers_.size());
    for (const Entry& e : layers_) names.emplace_back(e.name);
    return names;
}

QRect GraphLayerStack::refreshAll(const GraphScene& scene, bool& cacheChanged) {
    QRect changed;
    for (const Entry& e : layers_) {
        const QRect pixels = e.layer->refresh(scene);
        if (pixels.isEmpty()) continue;
        if (e.layer->kind() == GraphLayer::Kind::Cached)
            cacheChanged = true;
        else
            changed |= pixels;
    }
    return changed;
}

void GraphLayerStack::paintLayers(QPainter& painter, const GraphScene& scene, GraphLayer::Kind kind,
                                  const PaintArea& area) const {
    for (const Entry& e : layers_) {
        if (e.layer->kind() != kind) continue;
        painter.save();
        e.layer->paint(painter, scene, area);
        painter.restore();
    }
}

QRect GraphLayerStack::render(const GraphScene& scene) {
    const QSize size(scene.geometry.frameWidth, scene.geometry.frameHeight);
    if (size.isEmpty()) return {};
    bool cacheChanged = !current_ || cache_.size() != size;
    QRect changed = refreshAll(scene, cacheChanged);
    if (cacheChanged) {
        cache_ = QImage(size, QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&cache_);
        paintLayers(painter, scene, GraphLayer::Kind::Cached, {PaintArea::wholeFrame(), false});
        changed = PaintArea::wholeFrame();
    }
    if (frame_.size() != size) {
        frame_ = QImage(size, QImage::Format_ARGB32_Premultiplied);
        changed = PaintArea::wholeFrame();
    }
    current_ = true;
    changed &= QRect(QPoint(0, 0), size);
    if (changed.isEmpty()) return {};

    copyPixels(cache_, frame_, changed);
    QPainter painter(&frame_);
    painter.setClipRect(changed);
    paintLayers(painter, scene, GraphLayer::Kind::Live, {changed, true});
    return changed;
}

void GraphLayerStack::renderWhole(const GraphScene& scene) {
    const QSize size(scene.geometry.frameWidth, scene.geometry.frameHeight);
    if (size.isEmpty()) return;
    bool cacheChanged = false;
    refreshAll(scene, cacheChanged);
    frame_ = QImage(size, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&frame_);
    const PaintArea whole{PaintArea::wholeFrame(), false};
    paintLayers(painter, scene, GraphLayer::Kind::Cached, whole);
    paintLayers(painter, scene, GraphLayer::Kind::Live, whole);
    current_ = false;
}

}  // namespace kv
