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
        standIn(stack, PageLayer::kLevelLabels, std::make_unique<PhaseLabelsLayer>());
        standIn(stack, PageLayer::kOtherOutputs, std::make_unique<HiddenLayer>(GraphLayer::Kind::Cached));
        standIn(stack, PageLayer::kSelection, std::make_unique<HiddenLayer>(GraphLayer::Kind::Live));
        standIn(stack, PageLayer::kTotal, std::make_unique<PhaseTotalLayer>(dsp));
        standIn(stack, PageLayer::kMarkers, std::make_unique<HiddenLayer>(GraphLayer::Kind::Live));
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
