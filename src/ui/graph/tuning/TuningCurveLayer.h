#pragma once
// The measurement or the target of a tuned output on its page graph: both change only
// when the tuning does, so they lie in the cached picture.

#include <cstdint>
#include <memory>

#include "ui/graph/GraphLayer.h"
#include "ui/graph/PlottedCurve.h"
#include "ui/graph/tuning/TuningOverlay.h"

namespace kv {

class TuningCurveLayer final : public GraphLayer {
public:
    // kind: Measurement or Target.
    TuningCurveLayer(std::shared_ptr<TuningOverlay> overlay, TuningCurveKind kind);

    Kind kind() const override { return Kind::Cached; }
    QRect refresh(const GraphScene& scene) override;
    void paint(QPainter& painter, const GraphScene& scene, const PaintArea& area) const override;

private:
    std::shared_ptr<TuningOverlay> overlay_;
    TuningCurveKind curve_;
    PlottedCurve plotted_;
    std::uint64_t plottedGeneration_ = 0;
};

}  // namespace kv
