#include "response/FilterCurve.h"

#include <cmath>
#include <complex>
#include <limits>

#include "document/KorvaliserDoc.h"
#include "response/ResponseGrid.h"
#include "response/SlopeTable.h"

namespace kv {

namespace {

constexpr double kEllipticB1 = 1.074709263010234;  // sqrt(1.155)

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

bool isNeutral(int type, std::uint16_t frequency, std::uint8_t q, std::int16_t gain, int flat, int unitType) {
    if (flat != 0 || type < 0 || type > kLastPeqType) return true;
    switch (type) {
        case PeqPeaking:
        case PeqLowShelf:
        case PeqHighShelf: return gain == 0;
        case PeqHighPass:
            return frequency <= parameterRange(RangeKind::Frequency, PeqHighPass, unitType).minimum ||
                   q > parameterRange(RangeKind::Q, PeqHighPass, unitType).maximum;
        case PeqLowPass:
            return frequency >= parameterRange(RangeKind::Frequency, PeqLowPass, unitType).maximum ||
                   q > parameterRange(RangeKind::Q, PeqLowPass, unitType).maximum;
        default: return false;
    }
}

void addSlope(CurveSlot& slot, int slopeCode, double fc, bool highPass) {
    const SlopeRow& row = slopeRow(slopeCode);
    for (int i = 0; i < row.sectionCount; ++i) {
        const SlopeSection& s = row.sections[static_cast<std::size_t>(i)];
        const double corner = highPass ? fc * s.highPassFactor : fc * s.lowPassFactor;
        if (s.order == 2) {
            if (highPass)
                AddSectionResponse(slot, 1, 0, 0, 1, s.b, 1, corner);
            else
                AddSectionResponse(slot, 0, 0, 1, 1, s.b, 1, corner);
        } else {
            if (highPass)
                AddSectionResponse(slot, 0, 1, 0, 0, 1, 1, corner);
            else
                AddSectionResponse(slot, 0, 0, 1, 0, 1, 1, corner);
        }
    }
}

void addElement(CurveSlot& slot, int type, double fc, std::uint8_t q, std::int16_t gain) {
    const double Q = qOfIndex(q);
    const double A = std::pow(10.0, gain / 400.0);
    const double rootA = std::sqrt(A);
    switch (type) {
        case PeqPeaking: AddSectionResponse(slot, 1, A / Q, 1, 1, 1 / (A * Q), 1, fc); break;
        case PeqLowShelf: AddSectionResponse(slot, A, A * rootA / Q, A * A, A, rootA / Q, 1, fc); break;
        case PeqHighShelf: AddSectionResponse(slot, A * A, A * rootA / Q, A, 1, rootA / Q, A, fc); break;
        case PeqHighPass: addSlope(slot, q, fc, true); break;
        case PeqLowPass: addSlope(slot, q, fc, false); break;
        case PeqAllPass: AddSectionResponse(slot, 1, -1 / Q, 1, 1, 1 / Q, 1, fc); break;
        case PeqBandPass: AddSectionResponse(slot, 0, 1 / Q, 0, 1, 1 / Q, 1, fc); break;
        case PeqNotch: AddSectionResponse(slot, 1, 0, 1, 1, 1 / Q, 1, fc); break;
        case PeqPhase: AddSectionResponse(slot, 0, -1, 1, 0, 1, 1, fc); break;
        case PeqVariQLowPass: AddSectionResponse(slot, 0, 0, 1, 1, 1 / Q, 1, fc); break;
        case PeqVariQHighPass: AddSectionResponse(slot, 1, 0, 0, 1, 1 / Q, 1, fc); break;
        case PeqEllipticLowPass: AddSectionResponse(slot, 0.25, 0, 1, 1, kEllipticB1, 1, fc); break;
        case PeqEllipticHighPass: AddSectionResponse(slot, 1, 0, 0.25, 1, kEllipticB1, 1, fc); break;
        default: break;
    }
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
    if (isNeutral(type, frequency, q, gain, flat, unitType)) return;
    addElement(slot, type, frequencyOfIndex(frequency), q, gain);
}

}  // namespace kv
