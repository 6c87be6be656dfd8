#include "ui/graph/overlay/GraphViewLayers.h"

#include "response/ResponseCurveTable.h"
#include "ui/graph/GraphLayerStack.h"
#include "ui/graph/PageLayers.h"
#include "ui/graph/overlay/DspOverlayLayer.h"
#include "ui/graph/overlay/DspWarningLayer.h"
#include "ui/graph/overlay/PhaseLayers.h"

namespace kv {

void GraphViewLayers::standIn(GraphLayerStack& stack, std::string_view name,
                              std::unique_ptr<GraphLayer> layer) {
    std::unique_ptr<GraphLayer> standard = stack.replace(name, std::move(layer));
    if (standard) stashed_.push_back({std::string(name), std::move(standard)});
}

void GraphViewLayers::restoreStandardLayers(GraphLayerStack& stack) {
    for (Stashed& s : stashed_) stack.replace(s.name, std::move(s.layer));
    stashed_.clear();
    stack.remove(ViewLayer::kDspResponse);
    stack.remove(ViewLayer::kDspWarning);
}

void GraphViewLayers::apply(GraphLayerStack& stack, GraphViews views) {
    if (views == views_) return;
    restoreStandardLayers(stack);
    views_ = views;
    if (!views.dspResponse && !views.phase) return;
    DspCurveCache& dsp = table_.dsp();
    if (views.phase) {
        // Everything else on the graph is drawn on the dB scale (markers, the other
        // outputs, a measurement's curves): hidden while the scale is degrees.
        for (const std::string_view name : stack.names()) {
            if (name == PageLayer::kBackground || name == PageLayer::kZeroLine) continue;
            if (name == PageLayer::kLevelLabels)
                standIn(stack, name, std::make_unique<PhaseLabelsLayer>());
            else if (name == PageLayer::kTotal)
                standIn(stack, name, std::make_unique<PhaseTotalLayer>(dsp));
            else
                standIn(stack, name, std::make_unique<HiddenLayer>(stack.find(name)->kind()));
        }
    }
    if (views.dspResponse) {
        const auto quantity =
            views.phase ? DspOverlayLayer::Quantity::Phase : DspOverlayLayer::Quantity::Magnitude;
        stack.insertBelow(PageLayer::kMarkers, std::string(ViewLayer::kDspResponse),
                          std::make_unique<DspOverlayLayer>(dsp, quantity));
    }
    stack.insertBelow(PageLayer::kMarkers, std::string(ViewLayer::kDspWarning),
                      std::make_unique<DspWarningLayer>(dsp));
}

}  // namespace kv
