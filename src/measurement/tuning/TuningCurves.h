#pragma once
// The curves an output page draws from one output's tuning: the measurement (smoothed,
// level offset applied: typed, or automatic so that its mean from 200 Hz to 2 kHz is
// 0 dB), the target, and the predicted result, that is the measurement
// plus the output's total response. Build it again when the tuning changes; the
// prediction is one addition per grid point, cheap enough for every redraw of a drag.

#include "measurement/GridCurve.h"
#include "measurement/tuning/OutputTuning.h"

namespace kv {

class TuningCurves {
public:
    explicit TuningCurves(const OutputTuning& tuning);

    bool hasMeasurement() const { return hasMeasurement_; }
    double offsetDb() const { return offsetDb_; }  // the offset applied, automatic or typed
    const GridCurve& measurement() const { return measurement_; }
    const GridCurve& target() const { return target_; }

    // measurement + total at each grid point; absent where the measurement is.
    GridCurve predicted(const std::array<double, kGridPoints>& outputTotal) const;

private:
    bool hasMeasurement_ = false;
    double offsetDb_ = 0.0;
    GridCurve measurement_;
    GridCurve target_;
};

}  // namespace kv
