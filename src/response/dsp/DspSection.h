#pragma once
// One filter section as the unit runs it: the five 5.23 fixed-point words that travel to
// it, read back to the values the DSP multiplies by, and the section's response at the
// unit's 96 kHz clock. Everything here starts from the words, never from the filter
// settings, so what it shows is what the unit receives.

#include <array>
#include <complex>

#include "protocol/UnitProtocol.h"
#include "response/ResponseGrid.h"

namespace kv {

// y[n] = b0 x[n] + b1 x[n-1] + b2 x[n-2] + c1 y[n-1] + c2 y[n-2], the words in wire order.
struct DspSection {
    double c1 = 0.0, c2 = 0.0, b0 = 1.0, b1 = 0.0, b2 = 0.0;
};

// The value a word carries: its 28 bits sign-extended, divided by 2^23. The four high
// bits of the first byte do not travel and are ignored.
double coefficientValue(const CoefficientWord& word);

DspSection decodeSection(const FilterSection& section);

// The angle a frequency turns per sample of the unit's clock, theta = 2 pi f / 96000, held
// as 1 - cos theta and sin theta. Near 0 Hz a section's numerator and denominator almost
// cancel (1 - c1 z^-1 - c2 z^-2 with c1 near 2 and c2 near -1); written with these two,
// the cancelling parts are sums of words, which double holds exactly, so low-frequency
// sections keep their precision.
struct ClockAngle {
    double versine = 0.0;  // 1 - cos theta, formed as 2 sin^2(theta / 2)
    double sine = 0.0;
};
ClockAngle clockAngle(double frequency);

// H(z) = (b0 + b1 z^-1 + b2 z^-2) / (1 - c1 z^-1 - c2 z^-2) at z = e^(j theta).
std::complex<double> dspSectionResponse(const DspSection& section, const ClockAngle& angle);

// |numerator|^2 and |denominator|^2 of the same H: the magnitude without a complex division.
struct SquaredMagnitudes {
    double numerator = 1.0;
    double denominator = 1.0;
};
SquaredMagnitudes dspSectionSquaredMagnitudes(const DspSection& section, const ClockAngle& angle);

// The clock angle of every grid frequency, evaluated once.
const std::array<ClockAngle, kGridPoints>& gridClockAngles();

}  // namespace kv
