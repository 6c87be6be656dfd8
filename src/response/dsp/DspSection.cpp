#include "response/dsp/DspSection.h"

#include <cstdint>
#include <numbers>

namespace kv {

namespace {

constexpr double kFixedPointOne = 8388608.0;       // 2^23
constexpr std::int32_t kSignBit = 0x08000000;      // bit 27, the top bit that travels
constexpr std::int32_t kWordModulus = 0x10000000;  // 2^28

double wordAt(const FilterSection& section, std::size_t word) {
    const std::size_t at = 4 * word;
    return coefficientValue({section[at], section[at + 1], section[at + 2], section[at + 3]});
}

}  // namespace

double coefficientValue(const CoefficientWord& word) {
    std::int32_t n = (std::int32_t{word[0] & 0x0F} << 24) | (std::int32_t{word[1]} << 16) |
                     (std::int32_t{word[2]} << 8) | std::int32_t{word[3]};
    if ((n & kSignBit) != 0) n -= kWordModulus;
    return n / kFixedPointOne;
}

DspSection decodeSection(const FilterSection& section) {
    return {wordAt(section, 0), wordAt(section, 1), wordAt(section, 2), wordAt(section, 3),
            wordAt(section, 4)};
}

ClockAngle clockAngle(double frequency) {
    const double theta = 2.0 * std::numbers::pi * frequency / kUnitSampleRate;
    const double halfSine = std::sin(theta / 2.0);
    return {2.0 * halfSine * halfSine, std::sin(theta)};
}

namespace {

// Numerator and denominator multiplied by z: b0 z + b1 + b2 / z and z - c1 - c2 / z,
// with z + 1/z = 2 - 2 versine and z - 1/z = 2 j sine.
std::complex<double> numeratorAt(const DspSection& s, const ClockAngle& angle) {
    return {(s.b0 + s.b1 + s.b2) - (s.b0 + s.b2) * angle.versine, (s.b0 - s.b2) * angle.sine};
}

std::complex<double> denominatorAt(const DspSection& s, const ClockAngle& angle) {
    return {(1.0 - s.c1 - s.c2) - (1.0 - s.c2) * angle.versine, (1.0 + s.c2) * angle.sine};
}

}  // namespace

std::complex<double> dspSectionResponse(const DspSection& s, const ClockAngle& angle) {
    return numeratorAt(s, angle) / denominatorAt(s, angle);
}

SquaredMagnitudes dspSectionSquaredMagnitudes(const DspSection& s, const ClockAngle& angle) {
    return {std::norm(numeratorAt(s, angle)), std::norm(denominatorAt(s, angle))};
}

const std::array<ClockAngle, kGridPoints>& gridClockAngles() {
    // Built once on first use and never changed afterwards.
    static const std::array<ClockAngle, kGridPoints> table = [] {
        std::array<ClockAngle, kGridPoints> angles{};
        const auto& frequencies = ResponseGrid::frequencies();
        for (std::size_t k = 0; k < angles.size(); ++k) angles[k] = clockAngle(frequencies[k]);
        return angles;
    }();
    return table;
}

}  // namespace kv
