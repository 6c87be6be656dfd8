#pragma once
// The page graph's optional views, both off by default: the DSP total dashed over the
// model's total, and the phase view in place of the magnitude. Either one also brings the
// corner warning where the two totals part by more than 1 dB. GraphViewLayers puts their
// layers into a graph's stack and takes them out again, handing back the layers the phase
// view stood in for (all but the background and the 0 dB line, which is 0 degrees).

#include <memory>
#include <string>
#include <vector>

#include "ui/graph/GraphLayer.h"

namespace kv {

class GraphLayerStack;
class ResponseCurveTable;

struct GraphViews {
    bool dspResponse = false;
    bool phase = false;
    bool operator==(const GraphViews&) const = default;
};

namespace ViewLayer {
inline constexpr std::string_view kDspResponse = "dsp response";
inline constexpr std::string_view kDspWarning = "dsp warning";
}  // namespace ViewLayer

class GraphViewLayers {
public:
    // The layers draw from the table's DSP curves.
    explicit GraphViewLayers(ResponseCurveTable& table) : table_(table) {}

    // Brings the stack (holding the standard page layers) to `views`.
    void apply(GraphLayerStack& stack, GraphViews views);
    GraphViews views() const { return views_; }

private:
    struct Stashed {
        std::string name;
        std::unique_ptr<GraphLayer> layer;
    };

    void restoreStandardLayers(GraphLayerStack& stack);
    void standIn(GraphLayerStack& stack, std::string_view name, std::unique_ptr<GraphLayer> layer);

    ResponseCurveTable& table_;
    GraphViews views_{};
    std::vector<Stashed> stashed_;
};

}  // namespace kv
