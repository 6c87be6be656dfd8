#include "measurement/tuning/TuningCurves.h"

#include "measurement/MeasuredCurve.h"

namespace kv {

TuningCurves::TuningCurves(const OutputTuning& tuning)
    : measurement_(MeasuredCurve(tuning.measurement).onGrid(tuning.smoothing)),
      target_(targetCurve(tuning.target)) {
    for (const double value : measurement_) hasMeasurement_ = hasMeasurement_ || isPresent(value);
    offsetDb_ = tuning.automaticOffset ? alignmentOffsetDb(measurement_) : tuning.typedOffsetDb;
    for (double& value : measurement_) value += offsetDb_;
}

GridCurve TuningCurves::predicted(const std::array<double, kGridPoints>& outputTotal) const {
    GridCurve curve;
    for (std::size_t k = 0; k < curve.size(); ++k) curve[k] = measurement_[k] + outputTotal[k];
    return curve;
}

}  // namespace kv
