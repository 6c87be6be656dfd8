#pragma once
// The DSP total of the page's output, dashed over the model's red total: the response of
// the words the unit receives (DspCurveCache), in dB or, in the phase view, in degrees.
// It follows every drag step; the cache recomputes only the dragged element, and only the
// dashes it moves are repainted.

#include <cstdint>

#include "ui/graph/GraphLayer.h"
#include "ui/graph/overlay/CurvePieces.h"

namespace kv {

class DspCurveCache;

class DspOverlayLayer final : public GraphLayer {
public:
    enum class Quantity : std::uint8_t { Magnitude, Phase };

    DspOverlayLayer(DspCurveCache& dsp, Quantity quantity);

    Kind kind() const override { return Kind::Live; }
    QRect refresh(const GraphScene& scene) override;
    void paint(QPainter& painter, const GraphScene& scene, const PaintArea& area) const override;

private:
    DspCurveCache& dsp_;
    Quantity quantity_;
    CurvePieces dashes_;
};

}  // namespace kv
