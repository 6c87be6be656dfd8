#pragma once
// The two logarithmic code scales every part of the program shares: frequency indices
// (36 steps per octave, 252 = 1 kHz) and Q indices (12 steps per doubling, 84 = Q 1).

#include <cmath>

namespace kv {

inline double frequencyOfIndex(double index) { return 7.8125 * std::exp2(index / 36.0); }

// Takes fractional indices too: auto-EQ fits between the codes before it snaps to them.
inline double qOfIndex(double qIndex) { return 0.25 * std::exp2((108.0 - qIndex) / 12.0); }

// The inverses, rounded to the nearest step. The result may lie outside every range (the
// caller limits it); absurd or non-finite input ends at +-kFarOffScale instead of overflowing.
inline constexpr int kFarOffScale = 100000;

inline int nearestScaleStep(double steps) {
    if (!(steps > -kFarOffScale)) return -kFarOffScale;  // also NaN
    if (steps > kFarOffScale) return kFarOffScale;
    return static_cast<int>(std::lround(steps));
}

inline int nearestFrequencyIndex(double hz) { return nearestScaleStep(36.0 * std::log2(hz / 7.8125)); }

inline int nearestQIndex(double q) { return nearestScaleStep(108.0 - 12.0 * std::log2(q / 0.25)); }

}  // namespace kv
