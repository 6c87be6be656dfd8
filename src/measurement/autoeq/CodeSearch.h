#pragma once
// From the continuous fit to the unit's codes: each band is rounded to the nearest codes
// within its limits, then every band in turn tries its 26 neighbouring code triples
// (frequency index, gain, Q index one step either way) and takes the best that lowers the
// error, until no band can improve.

#include <vector>

#include "measurement/autoeq/FitState.h"

namespace kv {

struct CodeFit {
    std::vector<PeqBand> codes;  // one per band of the state, in the same order
    double cost = 0.0;
};

CodeFit searchCodes(const FitProblem& problem, const FitState& state, int unitType);

}  // namespace kv
