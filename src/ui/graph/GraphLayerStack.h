#pragma once
// The ordered layers of one graph, their cached picture and the frame shown on screen
// (see GraphLayer.h for how layers are cached and how an overlay is added).

#include <QImage>
#include <QRect>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/graph/GraphLayer.h"

namespace kv {

// Draws the `area` of `image` at the same place with the painter's composition mode, in
// bands of rows small enough that the painter blends them itself: for larger pieces it
// wakes its thread pool, which costs more than a redraw's blending.
void DrawImageInBands(QPainter& painter, const QImage& image, const QRect& area);

class GraphLayerStack {
public:
    GraphLayerStack() = default;
    GraphLayerStack(const GraphLayerStack&) = delete;
    GraphLayerStack& operator=(const GraphLayerStack&) = delete;

    // On top of every layer.
    void add(std::string name, std::unique_ptr<GraphLayer> layer);
    // Just beneath the layer called `above`; false (and nothing added) when there is none.
    bool insertBelow(std::string_view above, std::string name, std::unique_ptr<GraphLayer> layer);
    // Puts `layer` in the place of the one called `name` and hands that one back (nothing,
    // and nothing put in, when there is none).
    std::unique_ptr<GraphLayer> replace(std::string_view name, std::unique_ptr<GraphLayer> layer);
    std::unique_ptr<GraphLayer> remove(std::string_view name);
    GraphLayer* find(std::string_view name) const;
    std::vector<std::string_view> names() const;  // bottom to top

    // Brings the frame up to date: refreshes every layer, repaints the cached picture when a
    // cached layer changed (or on first use or a new frame size), then repaints the live
    // layers where they changed. Returns the part of the frame that changed.
    QRect render(const GraphScene& scene);
    // Paints every layer into the frame in one pass, each curve in one stroke, nothing
    // cached: the picture the graph has always painted, the reference for the cached path.
    // The next render() repaints everything.
    void renderWhole(const GraphScene& scene);
    const QImage& frame() const { return frame_; }

private:
    struct Entry {
        std::string name;
        std::unique_ptr<GraphLayer> layer;
    };

    std::vector<Entry>::iterator entryOf(std::string_view name);
    QRect refreshAll(const GraphScene& scene, bool& cacheChanged);
    void paintLayers(QPainter& painter, const GraphScene& scene, GraphLayer::Kind kind,
                     const PaintArea& area) const;

    std::vector<Entry> layers_;
    QImage cache_;          // the cached layers
    QImage frame_;          // the cached picture with the live layers on top
    bool current_ = false;  // cache_ and frame_ show the layers as last refreshed
};

}  // namespace kv
