#pragma once
// The twelve crossover slopes as analog prototypes: each slope is a cascade of at most
// four sections, second order (s^2 + b s + 1) or first order (s + 1), each with its
// own corner-frequency factor for the low-pass (the high-pass uses the reciprocal).

#include <array>

namespace kv {

inline constexpr int kSlopeCodeCount = 12;
inline constexpr int kMaxSlopeSections = 4;

struct SlopeSection {
    int order = 0;              // 1 or 2; 0 marks an unused entry
    double b = 0.0;             // middle denominator coefficient of a second-order section
    double lowPassFactor = 1;   // multiplies fc for a low-pass section
    double highPassFactor = 1;  // multiplies fc for a high-pass section (1 / lowPassFactor)
};

struct SlopeRow {
    int decibels = 0;  // slope in dB per octave, as the slope text shows it
    int sectionCount = 0;
    std::array<SlopeSection, kMaxSlopeSections> sections{};
};

// Row of a slope code 0..11; codes outside that range are the caller's error.
const SlopeRow& slopeRow(int code);

}  // namespace kv
