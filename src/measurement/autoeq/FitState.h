#pragma once
// The bands placed so far, each with its limits and its current curve at the fit points.

#include <vector>

#include "measurement/autoeq/FitBand.h"
#include "measurement/autoeq/FitProblem.h"

namespace kv {

struct FitState {
    std::vector<FitBand> bands;
    std::vector<BandLimits> limits;
    std::vector<std::vector<double>> curves;

    void add(const FitProblem& problem, const FitBand& band, const BandLimits& bandLimits) {
        bands.push_back(band);
        limits.push_back(bandLimits);
        curves.emplace_back();
        bandCurve(band, problem.hz(), curves.back());
    }

    std::vector<double> residual(const FitProblem& problem) const { return problem.residualWith(curves); }
    double cost(const FitProblem& problem) const { return problem.cost(residual(problem)); }
};

}  // namespace kv
