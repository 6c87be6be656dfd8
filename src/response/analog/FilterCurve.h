#pragma once
// Magnitude response of one filter element (a PEQ band or a crossover filter) in dB on
// the response grid, from its analog prototype evaluated at s = j f / fc.

#include <cstdint>
#include <span>

#include "response/ResponseCurveTable.h"
#include "response/analog/AnalogElement.h"

namespace kv {

// PEQ type codes as the band stores them.
enum PeqType : int {
    PeqPeaking = 0,
    PeqLowShelf = 1,
    PeqHighShelf = 2,
    PeqHighPass = 3,
    PeqLowPass = 4,
    PeqAllPass = 5,
    PeqBandPass = 6,
    PeqNotch = 7,
    PeqPhase = 8,
    PeqVariQLowPass = 9,
    PeqVariQHighPass = 10,
    PeqEllipticLowPass = 11,
    PeqEllipticHighPass = 12,
};
inline constexpr int kLastPeqType = 12;

// Computes one element into a slot of the table and marks the slot Valid (always, first,
// even when the element turns out neutral). accumulate = 0 starts the slot at 0 dB,
// otherwise the element's curve is added to what the slot holds. A crossover filter is
// type 3 (high-pass) or 4 (low-pass) with its slope code in q, gain 0 and flat 0.
// unitType is handed to the range lookup and has no effect on the result. A slot number
// outside 0..29 is ignored.
void ComputeFilterCurve(ResponseCurveTable& table, int slot, int type, std::uint16_t frequency,
                        std::uint8_t q, std::int16_t gain, int flat, int unitType, int accumulate);

// Several elements in one slot at once (a crossover pair, an output's whole response): the
// same as computing the first with `accumulate` and each further one with accumulate = 1,
// for one logarithm per point. The slot is marked Valid even when every element is empty.
void ComputeElementsCurve(ResponseCurveTable& table, int slot, std::span<const AnalogElement> elements,
                          int accumulate);

// Adds 20 log10 |H(jw)| of H(s) = (a2 s^2 + a1 s + a0) / (b2 s^2 + b1 s + b0), w = f / fc,
// to every value of the slot. A zero or non-finite divisor gives NaN at that point, and so
// does a corner frequency fc that is zero or not finite; a zero numerator gives minus
// infinity (a notch on the grid) which the drawing code clamps.
void AddSectionResponse(CurveSlot& slot, double a2, double a1, double a0, double b2, double b1, double b0,
                        double fc);

}  // namespace kv
