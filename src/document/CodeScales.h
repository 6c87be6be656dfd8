#pragma once
// The two logarithmic code scales every part of the program shares: frequency indices
// (36 steps per octave, 252 = 1 kHz) and Q indices (12 steps per doubling, 84 = Q 1).

#include <cmath>

namespace kv {

inline double frequencyOfIndex(double index) { return 7.8125 * std::exp2(index / 36.0); }

// Takes fractional indices too: auto-EQ fits between the codes before it snaps to them.
inline double qOfIndex(double qIndex) { return 0.25 * std::exp2((108.0 - qIndex) / 12.0); }

}  // namespace kv
