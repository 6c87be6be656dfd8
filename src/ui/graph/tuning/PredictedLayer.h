#pragma once
// The predicted response of a tuned output: its measurement plus the output's total, as
// the curve table holds it. It follows every marker drag, so it is painted live, over the
// red total.

#include <memory>

#include "ui/graph/GraphLayer.h"
#include "ui/graph/PlottedCurve.h"

namespace kv {

class TuningOverlay;

class PredictedLayer final : public GraphLayer {
public:
    explicit PredictedLayer(std::shared_ptr<TuningOverlay> overlay);

    Kind kind() const override { return Kind::Live; }
    QRect refresh(const GraphScene& scene) override;
    void paint(QPainter& painter, const GraphScene& scene, const PaintArea& area) const override;

private:
    std::shared_ptr<TuningOverlay> overlay_;
    PlottedCurve plotted_;
};

}  // namespace kv
