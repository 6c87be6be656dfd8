#pragma once
// A small box at the plot's top left naming the measurement, target and predicted curves
// by their pens; shown while they are.

#include <cstdint>
#include <memory>

#include "ui/graph/GraphLayer.h"

namespace kv {

class TuningOverlay;

class TuningLegend final : public GraphLayer {
public:
    explicit TuningLegend(std::shared_ptr<TuningOverlay> overlay);

    Kind kind() const override { return Kind::Cached; }
    QRect refresh(const GraphScene& scene) override;
    void paint(QPainter& painter, const GraphScene& scene, const PaintArea& area) const override;

private:
    std::shared_ptr<TuningOverlay> overlay_;
    QRect box_;  // empty while nothing is shown
    std::uint64_t shownGeneration_ = 0;
};

}  // namespace kv
