#include "response/analog/FilterCurve.h"

#include <cmath>
#include <complex>
#include <limits>

#include "response/ResponseGrid.h"
#include "response/analog/AnalogElement.h"

namespace kv {

namespace {

// Complex division scaled by the larger of the divisor's parts, so neither part
// overflows or underflows on its own; a zero or non-finite divisor gives NaN.
std::complex<double> smithDivide(std::complex<double> n, std::complex<double> d) {
    const double c = d.real();
    const double e = d.imag();
    if (!std::isfinite(c) || !std::isfinite(e) || (c == 0.0 && e == 0.0)) {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        return {nan, nan};
    }
    if (std::fabs(c) >= std::fabs(e)) {
        const double r = e / c;
        const double den = c + e * r;
        return {(n.real() + n.imag() * r) / den, (n.imag() - n.real() * r) / den};
    }
    const double r = c / e;
    const double den = e + c * r;
    return {(n.real() * r + n.imag()) / den, (n.imag() * r - n.real()) / den};
}

}  // namespace

void AddSectionResponse(CurveSlot& slot, double a2, double a1, double a0, double b2, double b1, double b0,
                        double fc) {
    const double reciprocal = 1.0 / fc;
    const auto& frequencies = ResponseGrid::frequencies();
    for (std::size_t k = 0; k < slot.values.size(); ++k) {
        const double w = frequencies[k] * reciprocal;
        const double w2 = w * w;
        const std::complex<double> n{a0 - a2 * w2, a1 * w};
        const std::complex<double> d{b0 - b2 * w2, b1 * w};
        const std::complex<double> h = smithDivide(n, d);
        const double magnitude = std::hypot(h.real(), h.imag());
        slot.values[k] =
            static_cast<float>(static_cast<double>(slot.values[k]) + 20.0 * std::log10(magnitude));
    }
}

void ComputeFilterCurve(ResponseCurveTable& table, int slotIndex, int type, std::uint16_t frequency,
                        std::uint8_t q, std::int16_t gain, int flat, int unitType, int accumulate) {
    if (!ResponseCurveTable::isSlot(slotIndex)) return;
    CurveSlot& slot = table.slot(slotIndex);
    slot.state = CurveState::Valid;
    if (accumulate == 0) slot.values.fill(0.0f);
    const AnalogElement element = analogElementOfCodes(type, frequency, q, gain, flat, unitType);
    for (int i = 0; i < element.count; ++i) {
        const AnalogSection& s = element.sections[static_cast<std::size_t>(i)];
        AddSectionResponse(slot, s.a2, s.a1, s.a0, s.b2, s.b1, s.b0, s.fc);
    }
}

}  // namespace kv
