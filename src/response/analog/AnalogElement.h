#pragma once
// One filter element (a PEQ band or a crossover filter) as its analog prototype: a cascade
// of at most four sections H(s) = (a2 s^2 + a1 s + a0) / (b2 s^2 + b1 s + b0) with
// s = j f / fc. The page graphs evaluate it from the bank's codes; filter import and
// auto-EQ evaluate it from exact (continuous) parameters, so both agree on the model.

#include <array>
#include <complex>
#include <cstdint>

#include "response/analog/SlopeTable.h"

namespace kv {

struct AnalogSection {
    double a2 = 0.0, a1 = 0.0, a0 = 1.0;
    double b2 = 0.0, b1 = 0.0, b0 = 1.0;
    double fc = 1.0;  // Hz
};

struct AnalogElement {
    std::array<AnalogSection, kMaxSlopeSections> sections{};
    int count = 0;  // 0: the element changes nothing
};

// The sections of a PEQ type (0..12) at corner frequency fc (Hz) with quality q (the Q
// itself, not its index) and gain in dB. Types 3 and 4 (crossover high-pass and low-pass)
// take their sections from the slope code instead of q and gain. A type outside 0..12 or
// a slope code outside 0..11 gives an empty element.
AnalogElement analogElement(int type, double fc, double q, double gainDb, int slopeCode = 0);

// The element as the bank holds it: frequency index, Q index (slope code for types 3 and
// 4), gain in tenths of a dB and the flat switch. Empty when the element is neutral: flat,
// a PEQ or shelf without gain, a high-pass at or below its lowest frequency, a low-pass at
// or above its highest, a slope code out of range, or an unknown type.
AnalogElement analogElementOfCodes(int type, std::uint16_t frequency, std::uint8_t q, std::int16_t gain,
                                   int flat, int unitType);

// The complex response of one section and of the whole element at frequency f (Hz).
std::complex<double> analogSectionResponse(const AnalogSection& section, double frequency);
std::complex<double> analogElementResponse(const AnalogElement& element, double frequency);

}  // namespace kv
