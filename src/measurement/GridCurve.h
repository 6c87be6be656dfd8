#pragma once
// A curve on the 420-point response grid whose points may be absent: a measurement says
// nothing outside the range it covers, and nothing is made up there. An absent point is
// NaN, so a sum with an absent point stays absent without a test per point.

#include <array>
#include <cmath>
#include <limits>

#include "response/ResponseGrid.h"

namespace kv {

using GridCurve = std::array<double, kGridPoints>;

inline constexpr double kAbsentPoint = std::numeric_limits<double>::quiet_NaN();

// Minus infinity (a notch right on a grid point) cannot be fitted or drawn either.
inline bool isPresent(double value) { return std::isfinite(value); }

inline GridCurve absentCurve() {
    GridCurve curve;
    curve.fill(kAbsentPoint);
    return curve;
}

inline GridCurve constantCurve(double value) {
    GridCurve curve;
    curve.fill(value);
    return curve;
}

// Measurements and targets are lined up on the mean level of this band.
inline constexpr double kAlignmentLowHz = 200.0;
inline constexpr double kAlignmentHighHz = 2000.0;

// The offset that brings the mean of the present points between 200 Hz and 2 kHz to
// 0 dB; the mean of all present points when none lies there; 0 for an empty curve.
double alignmentOffsetDb(const GridCurve& curve);

}  // namespace kv
