#pragma once
// The corner warning of the page graph: where the DSP total differs from the model's total
// (the red curve) by more than 1 dB in 20 Hz..20 kHz, the worst frequency and difference,
// e.g. "DSP differs by 4.6 dB at 9.8 Hz", at the plot's top right: the comparison the band
// and crossover dialogs make for one element. It follows every drag step.

#include <QString>

#include "ui/graph/GraphLayer.h"

namespace kv {

class DspCurveCache;

class DspWarningLayer final : public GraphLayer {
public:
    explicit DspWarningLayer(DspCurveCache& dsp) : dsp_(dsp) {}

    Kind kind() const override { return Kind::Live; }
    QRect refresh(const GraphScene& scene) override;
    void paint(QPainter& painter, const GraphScene& scene, const PaintArea& area) const override;

    // Empty while the two totals agree.
    const QString& text() const { return text_; }

private:
    DspCurveCache& dsp_;
    QString text_;
};

}  // namespace kv
