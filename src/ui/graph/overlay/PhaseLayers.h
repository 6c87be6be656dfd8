#pragma once
// The layers the phase view puts in place of the magnitude ones: -180°..+180° labels for
// the dB labels, the model's total phase (red) for the red total, and an empty layer
// for what has no phase to show here (the selected element's shade, the other outputs'
// crossovers, the band markers, whose height is a gain, a measurement's curves).

#include <QImage>

#include "ui/graph/GraphLayer.h"
#include "ui/graph/overlay/CurvePieces.h"

namespace kv {

class DspCurveCache;

class PhaseLabelsLayer final : public GraphLayer {
public:
    Kind kind() const override { return Kind::Cached; }
    QRect refresh(const GraphScene& scene) override;
    void paint(QPainter& painter, const GraphScene& scene, const PaintArea& area) const override;

private:
    QImage strip_;
};

class PhaseTotalLayer final : public GraphLayer {
public:
    explicit PhaseTotalLayer(DspCurveCache& dsp) : dsp_(dsp) {}
    Kind kind() const override { return Kind::Live; }
    QRect refresh(const GraphScene& scene) override;
    void paint(QPainter& painter, const GraphScene& scene, const PaintArea& area) const override;

private:
    DspCurveCache& dsp_;
    CurvePieces total_;
};

class HiddenLayer final : public GraphLayer {
public:
    explicit HiddenLayer(Kind kind) : kind_(kind) {}
    Kind kind() const override { return kind_; }
    QRect refresh(const GraphScene& /*scene*/) override { return {}; }
    void paint(QPainter& /*painter*/, const GraphScene& /*scene*/, const PaintArea& /*area*/) const override {
    }

private:
    Kind kind_;
};

}  // namespace kv
