#pragma once
// What the fitter minimises: over the grid points it may use (inside the range, with
// a measurement, a target and a finite fixed response), the weighted sum of squared
// errors of baseline + the fitted bands, where the baseline is the measurement plus
// every element the fit leaves alone, minus the target.

#include <span>
#include <vector>

#include "measurement/autoeq/AutoEq.h"
#include "measurement/autoeq/FitBand.h"

namespace kv {

class FitProblem {
public:
    explicit FitProblem(const AutoEqRequest& request);

    std::size_t size() const { return hz_.size(); }
    std::span<const double> hz() const { return hz_; }
    std::span<const double> baseline() const { return baseline_; }
    std::span<const double> weights() const { return weights_; }

    // Weighted sum of squares of the residual (one value per point).
    double cost(std::span<const double> residual) const;
    // The RMS error in dB that a cost stands for.
    double rmsOf(double cost) const;
    double costOfRms(double rms) const { return rms * rms * weightSum_; }

    // baseline + the curves.
    std::vector<double> residualWith(const std::vector<std::vector<double>>& curves) const;

private:
    std::vector<double> hz_;
    std::vector<double> baseline_;
    std::vector<double> weights_;
    double weightSum_ = 0.0;
};

}  // namespace kv
