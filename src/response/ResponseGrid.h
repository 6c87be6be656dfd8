#pragma once
// The fixed logarithmic frequency grid every response curve is evaluated on: 420 points,
// point k at frequency index k + 12, so a filter at index i sits exactly on point i - 12.

#include <array>

#include "document/CodeScales.h"

namespace kv {

inline constexpr int kGridPoints = 420;
inline constexpr int kGridFirstIndex = 12;  // frequency index of point 0

// The powers of the grid frequencies a section's magnitude needs, so that a curve
// multiplies instead of dividing at every point.
struct GridPowers {
    std::array<double, kGridPoints> hz{};                 // f
    std::array<double, kGridPoints> squared{};            // f^2
    std::array<double, kGridPoints> reciprocal{};         // 1 / f
    std::array<double, kGridPoints> reciprocalSquared{};  // 1 / f^2
};

class ResponseGrid {
public:
    static constexpr int points = kGridPoints;
    // Frequency index of grid point k.
    static constexpr int frequencyIndex(int point) { return point + kGridFirstIndex; }
    // Grid point of a frequency index (may lie outside 0..419).
    static constexpr int pointOfIndex(int frequencyIndex) { return frequencyIndex - kGridFirstIndex; }
    // Frequency in Hz of every grid point, evaluated once.
    static const std::array<double, kGridPoints>& frequencies();
    static double frequency(int point) { return frequencies()[static_cast<std::size_t>(point)]; }
    // The same frequencies with their squares and reciprocals, evaluated once.
    static const GridPowers& powers();
};

}  // namespace kv
