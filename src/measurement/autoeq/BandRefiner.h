#pragma once
// Damped Gauss-Newton (Levenberg-Marquardt) over the parameters of some bands of a fit,
// the others held where they are. Every step stays inside the bands' limits and is kept
// only when it lowers the cost.

#include <span>

#include "measurement/autoeq/FitState.h"

namespace kv {

// Moves the bands named by index in `moving`; returns the cost it reached.
double refineBands(const FitProblem& problem, FitState& state, std::span<const std::size_t> moving,
                   int maxIterations);

// Every band of the state.
double refineAllBands(const FitProblem& problem, FitState& state, int maxIterations);

}  // namespace kv
