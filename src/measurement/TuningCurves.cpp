#include "measurement/TuningCurves.h"

#include "measurement/MeasuredCurve.h"

namespace kv {

namespace {

double meanOf(const GridCurve& curve, double lowHz, double highHz) {
    double sum = 0.0;
    int count = 0;
    for (int k = 0; k < kGridPoints; ++k) {
        const double hz = ResponseGrid::frequency(k);
        const double value = curve[static_cast<std::size_t>(k)];
        if (hz < lowHz || hz > highHz || !isPresent(value)) continue;
        sum += value;
        ++count;
    }
    return count > 0 ? sum / count : kAbsentPoint;
}

}  // namespace

double automaticOffsetDb(const GridCurve& curve) {
    double mean = meanOf(curve, kOffsetBandLowHz, kOffsetBandHighHz);
    if (!isPresent(mean)) mean = meanOf(curve, 0.0, ResponseGrid::frequency(kGridPoints - 1));
    return isPresent(mean) ? -mean : 0.0;
}

TuningCurves::TuningCurves(const OutputTuning& tuning)
    : measurement_(MeasuredCurve(tuning.measurement).onGrid(tuning.smoothing)),
      target_(targetCurve(tuning.target)) {
    for (const double value : measurement_) hasMeasurement_ = hasMeasurement_ || isPresent(value);
    offsetDb_ = tuning.automaticOffset ? automaticOffsetDb(measurement_) : tuning.typedOffsetDb;
    for (double& value : measurement_) value += offsetDb_;
}

GridCurve TuningCurves::predicted(const std::array<double, kGridPoints>& outputTotal) const {
    GridCurve curve;
    for (std::size_t k = 0; k < curve.size(); ++k) curve[k] = measurement_[k] + outputTotal[k];
    return curve;
}

}  // namespace kv
