#pragma once
// One band as the fitter moves it: a PEQ or shelf type with continuous parameters in
// code units (frequency index, gain in dB, Q index), the code limits it must stay in,
// and its dB response at the fitted frequencies.

#include <array>
#include <span>
#include <vector>

#include "document/PresetBank.h"
#include "measurement/autoeq/AutoEq.h"

namespace kv {

inline constexpr int kFitParameters = 3;
inline constexpr std::size_t kFrequencyParameter = 0;  // frequency index
inline constexpr std::size_t kGainParameter = 1;       // dB
inline constexpr std::size_t kQParameter = 2;          // Q index

struct BandLimits {
    bool usable = false;  // false: the type cannot be placed within the options
    std::array<double, kFitParameters> lower{};
    std::array<double, kFitParameters> upper{};
};

struct FitBand {
    int type = 0;
    std::array<double, kFitParameters> values{};  // frequency index, gain dB, Q index

    double frequencyIndex() const { return values[kFrequencyParameter]; }
    double gainDb() const { return values[kGainParameter]; }
    double qIndex() const { return values[kQParameter]; }
};

// Code limits of a type within the options: its frequency, Q and gain ranges, the fit
// range, the highest Q, the boost limit.
BandLimits bandLimits(int type, const AutoEqOptions& options, int unitType);

void clampToLimits(FitBand& band, const BandLimits& limits);

// The frequency index (continuous) of a frequency in Hz.
double frequencyIndexOf(double hz);
// The Q index (continuous) of a Q.
double qIndexOf(double q);

// dB response at each frequency.
void bandCurve(const FitBand& band, std::span<const double> hz, std::vector<double>& decibels);
// d(dB)/d(parameter) at each frequency, one list per parameter.
void bandSlopes(const FitBand& band, std::span<const double> hz,
                std::array<std::vector<double>, kFitParameters>& slopes);
void codesCurve(const PeqBand& band, int unitType, std::span<const double> hz, std::vector<double>& decibels);

// The nearest codes within the limits.
PeqBand snappedCodes(const FitBand& band, const BandLimits& limits);

}  // namespace kv
