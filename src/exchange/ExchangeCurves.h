#pragma once
// Responses of filter sets on the page graphs' 420-point grid, in dB, and the figures the
// import reports from them: the worst difference between two responses and the largest
// effect of one filter, both over 20 Hz to 20 kHz.

#include <array>

#include "response/ResponseGrid.h"
#include "response/analog/AnalogElement.h"

namespace kv {

using GridCurve = std::array<double, kGridPoints>;

inline constexpr double kLowestComparedHz = 20.0;
inline constexpr double kHighestComparedHz = 20000.0;
inline constexpr double kDeepestDb = -200.0;  // a notch right on a grid point reads this, not -inf

// Adds the element's 20 log10 |H| at every grid point.
void addElementResponse(GridCurve& curve, const AnalogElement& element);

// Largest |a - b| at the grid points from 20 Hz to 20 kHz.
double worstDifferenceDb(const GridCurve& a, const GridCurve& b);

// Largest |dB| of one element at the grid points from 20 Hz to 20 kHz.
double peakEffectDb(const AnalogElement& element);

}  // namespace kv
