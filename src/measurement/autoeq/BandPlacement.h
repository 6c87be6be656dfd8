#pragma once
// The continuous fit: bands are placed one at a time (a PEQ at the largest error, or a
// shelf at either end, whichever lowers the error most), each refined alone and then
// with all bands placed so far; placement stops early when one more band would not
// help. A last refinement moves every band together.

#include "measurement/autoeq/FitState.h"

namespace kv {

FitState placeBands(const FitProblem& problem, int bandCount, const AutoEqOptions& options, int unitType);

}  // namespace kv
