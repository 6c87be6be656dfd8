#include "measurement/autoeq/FitBand.h"

#include <algorithm>
#include <cmath>

#include "document/CodeScales.h"
#include "document/KorvaliserDoc.h"
#include "response/analog/AnalogElement.h"

namespace kv {

namespace {

constexpr double kCodeSlack = 1e-9;  // a bound exactly on a code stays on it

// 20 log10 |H| of the element's sections, from their squared magnitudes: the same model
// the graphs draw, evaluated without complex division (the fit evaluates it millions of
// times).
double decibelsOf(const AnalogElement& element, double hz) {
    double ratio = 1.0;
    for (int i = 0; i < element.count; ++i) {
        const AnalogSection& s = element.sections[static_cast<std::size_t>(i)];
        const double w = hz / s.fc;
        const double w2 = w * w;
        const double nr = s.a0 - s.a2 * w2;
        const double ni = s.a1 * w;
        const double dr = s.b0 - s.b2 * w2;
        const double di = s.b1 * w;
        ratio *= (nr * nr + ni * ni) / (dr * dr + di * di);
    }
    return 10.0 * std::log10(ratio);
}

constexpr double kDecibelsPerLn = 4.342944819032518;  // 10 / ln 10: 10 log10 x = this * ln x
constexpr double kCoefficientStep = 1e-5;             // in code units, for the coefficients' slopes

AnalogElement elementOf(const FitBand& band) {
    return analogElement(band.type, frequencyOfIndex(band.frequencyIndex()), qOfIndex(band.qIndex()),
                         band.gainDb());
}

// A section's numbers as one array: a2, a1, a0, b2, b1, b0, fc.
using SectionNumbers = std::array<double, 7>;

SectionNumbers numbersOf(const AnalogSection& s) { return {s.a2, s.a1, s.a0, s.b2, s.b1, s.b0, s.fc}; }

// d(section numbers)/d(parameter) for each section, by central differences on the model:
// the model stays in one place and only its seven numbers are differentiated.
std::array<std::array<SectionNumbers, kMaxSlopeSections>, kFitParameters> numberSlopes(const FitBand& band) {
    std::array<std::array<SectionNumbers, kMaxSlopeSections>, kFitParameters> slopes{};
    for (std::size_t p = 0; p < kFitParameters; ++p) {
        FitBand above = band;
        FitBand below = band;
        above.values[p] += kCoefficientStep;
        below.values[p] -= kCoefficientStep;
        const AnalogElement up = elementOf(above);
        const AnalogElement down = elementOf(below);
        for (int i = 0; i < up.count; ++i) {
            const auto section = static_cast<std::size_t>(i);
            const SectionNumbers a = numbersOf(up.sections[section]);
            const SectionNumbers b = numbersOf(down.sections[section]);
            for (std::size_t c = 0; c < a.size(); ++c)
                slopes[p][section][c] = (a[c] - b[c]) / (2.0 * kCoefficientStep);
        }
    }
    return slopes;
}

}  // namespace

double frequencyIndexOf(double hz) { return 36.0 * std::log2(hz / frequencyOfIndex(0)); }

double qIndexOf(double q) { return 108.0 - 12.0 * std::log2(q / qOfIndex(108)); }

BandLimits bandLimits(int type, const AutoEqOptions& options, int unitType) {
    const ValueRange frequency = parameterRange(RangeKind::Frequency, type, unitType);
    const ValueRange q = parameterRange(RangeKind::Q, type, unitType);
    const ValueRange gain = parameterRange(RangeKind::BandGain, type, unitType);
    BandLimits limits;
    limits.lower[kFrequencyParameter] =
        std::max<double>(frequency.minimum, std::ceil(frequencyIndexOf(options.lowHz) - kCodeSlack));
    limits.upper[kFrequencyParameter] =
        std::min<double>(frequency.maximum, std::floor(frequencyIndexOf(options.highHz) + kCodeSlack));
    double topGain = std::min<double>(gain.maximum, std::floor(options.maxBoostDb * 10.0 + kCodeSlack));
    if (options.cutsOnly) topGain = std::min(topGain, 0.0);
    limits.lower[kGainParameter] = gain.minimum / 10.0;
    limits.upper[kGainParameter] = topGain / 10.0;
    limits.lower[kQParameter] = std::max<double>(q.minimum, std::ceil(qIndexOf(options.maxQ) - kCodeSlack));
    limits.upper[kQParameter] = q.maximum;
    limits.usable = true;
    for (std::size_t p = 0; p < kFitParameters; ++p)
        limits.usable = limits.usable && limits.lower[p] <= limits.upper[p];
    return limits;
}

void clampToLimits(FitBand& band, const BandLimits& limits) {
    for (std::size_t p = 0; p < band.values.size(); ++p)
        band.values[p] = std::clamp(band.values[p], limits.lower[p], limits.upper[p]);
}

void bandCurve(const FitBand& band, std::span<const double> hz, std::vector<double>& decibels) {
    const AnalogElement element = elementOf(band);
    decibels.resize(hz.size());
    for (std::size_t i = 0; i < hz.size(); ++i) decibels[i] = decibelsOf(element, hz[i]);
}

void bandSlopes(const FitBand& band, std::span<const double> hz,
                std::array<std::vector<double>, kFitParameters>& slopes) {
    const AnalogElement element = elementOf(band);
    const auto numberSlope = numberSlopes(band);
    for (std::vector<double>& slope : slopes) slope.assign(hz.size(), 0.0);
    for (int i = 0; i < element.count; ++i) {
        const auto section = static_cast<std::size_t>(i);
        const AnalogSection& s = element.sections[section];
        for (std::size_t k = 0; k < hz.size(); ++k) {
            // ln |N|^2 - ln |D|^2 with |N|^2 = (a0 - a2 w^2)^2 + (a1 w)^2, w = f / fc, and |D|^2 alike.
            const double w = hz[k] / s.fc;
            const double w2 = w * w;
            const double nr = s.a0 - s.a2 * w2;
            const double ni = s.a1 * w;
            const double dr = s.b0 - s.b2 * w2;
            const double di = s.b1 * w;
            const double n2 = nr * nr + ni * ni;
            const double d2 = dr * dr + di * di;
            const double byW =
                (-4.0 * nr * s.a2 * w + 2.0 * ni * s.a1) / n2 - (-4.0 * dr * s.b2 * w + 2.0 * di * s.b1) / d2;
            const SectionNumbers partial{-2.0 * w2 * nr / n2, 2.0 * ni * w / n2,  2.0 * nr / n2,
                                         2.0 * w2 * dr / d2,  -2.0 * di * w / d2, -2.0 * dr / d2,
                                         -byW * w / s.fc};
            for (std::size_t p = 0; p < kFitParameters; ++p) {
                double sum = 0.0;
                for (std::size_t c = 0; c < partial.size(); ++c)
                    sum += partial[c] * numberSlope[p][section][c];
                slopes[p][k] += kDecibelsPerLn * sum;
            }
        }
    }
}

void codesCurve(const PeqBand& band, int unitType, std::span<const double> hz,
                std::vector<double>& decibels) {
    const AnalogElement element =
        analogElementOfCodes(band.type, band.frequency, band.q, band.gain, band.flat, unitType);
    decibels.resize(hz.size());
    for (std::size_t i = 0; i < hz.size(); ++i) decibels[i] = decibelsOf(element, hz[i]);
}

PeqBand snappedCodes(const FitBand& band, const BandLimits& limits) {
    // The limits are whole codes (gain limits whole tenths); lround takes off the rounding
    // error that scaling them leaves.
    const auto snapped = [&](std::size_t p, double scale) {
        return std::lround(
            std::clamp(std::round(band.values[p] * scale), limits.lower[p] * scale, limits.upper[p] * scale));
    };
    PeqBand codes;
    codes.type = static_cast<std::uint8_t>(band.type);
    codes.frequency = static_cast<std::uint16_t>(snapped(kFrequencyParameter, 1.0));
    codes.gain = static_cast<std::int16_t>(snapped(kGainParameter, 10.0));
    codes.q = static_cast<std::uint8_t>(snapped(kQParameter, 1.0));
    codes.flat = 0;
    return codes;
}

}  // namespace kv
