#pragma once
// The standard layers of an output page's graph, bottom to top, under the names overlays
// are placed by (see GraphLayer.h).

#include <QFont>
#include <QImage>
#include <QString>
#include <array>
#include <string_view>

namespace kv {

class GraphLayerStack;
struct GraphGeometry;
struct GraphImages;

namespace PageLayer {
// Cached.
inline constexpr std::string_view kBackground = "background";     // black, grid, frequency labels
inline constexpr std::string_view kLevelLabels = "level labels";  // +18dB .. -18dB at the left
inline constexpr std::string_view kZeroLine = "0 dB line";
inline constexpr std::string_view kOtherOutputs = "other outputs";  // their crossover pairs, cyan
// Live.
inline constexpr std::string_view kSelection = "selection";  // the selected element's curve, shaded
inline constexpr std::string_view kTotal = "total";          // this output's response, red
inline constexpr std::string_view kMarkers = "markers";      // one per PEQ band
}  // namespace PageLayer

void AddPageLayers(GraphLayerStack& stack);

// Builds the images the background and level label layers show, and the graph fields of
// the geometry, for a frame of width x height pixels. Does nothing when they exist;
// returns false (and builds nothing) for a frame too small to hold a plot.
bool BuildGraphBackground(GraphImages& images, int height, int width);

// The strip of level labels at the graph's left, top to bottom on the grid's 6 dB (60 unit)
// rows: the dB labels, or the phase view's degrees. The geometry's frame must be set.
inline constexpr int kLevelLabelCount = 7;
QImage LevelLabelStrip(const GraphGeometry& g, const std::array<QString, kLevelLabelCount>& texts);

// The face every text on the graph is written in (labels 11 pixels high).
QFont GraphTextFont(int pixelSize = 11);

}  // namespace kv
