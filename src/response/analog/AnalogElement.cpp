#include "response/analog/AnalogElement.h"

#include <cmath>
#include <limits>

#include "document/CodeScales.h"
#include "document/KorvaliserDoc.h"
#include "response/analog/FilterCurve.h"

namespace kv {

namespace {

constexpr double kEllipticB1 = 1.074709263010234;  // sqrt(1.155)

AnalogElement single(double a2, double a1, double a0, double b2, double b1, double b0, double fc) {
    AnalogElement element;
    element.sections[0] = {a2, a1, a0, b2, b1, b0, fc};
    element.count = 1;
    return element;
}

AnalogElement slopeElement(int slopeCode, double fc, bool highPass) {
    AnalogElement element;
    if (slopeCode < 0 || slopeCode >= kSlopeCodeCount) return element;
    const SlopeRow& row = slopeRow(slopeCode);
    for (int i = 0; i < row.sectionCount; ++i) {
        const SlopeSection& s = row.sections[static_cast<std::size_t>(i)];
        const double corner = highPass ? fc * s.highPassFactor : fc * s.lowPassFactor;
        AnalogSection& out = element.sections[static_cast<std::size_t>(i)];
        if (s.order == 2)
            out = highPass ? AnalogSection{1, 0, 0, 1, s.b, 1, corner}
                           : AnalogSection{0, 0, 1, 1, s.b, 1, corner};
        else
            out =
                highPass ? AnalogSection{0, 1, 0, 0, 1, 1, corner} : AnalogSection{0, 0, 1, 0, 1, 1, corner};
    }
    element.count = row.sectionCount;
    return element;
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

}  // namespace

AnalogElement analogElement(int type, double fc, double q, double gainDb, int slopeCode) {
    const double A = std::pow(10.0, gainDb / 40.0);
    const double rootA = std::sqrt(A);
    switch (type) {
        case PeqPeaking: return single(1, A / q, 1, 1, 1 / (A * q), 1, fc);
        case PeqLowShelf: return single(A, A * rootA / q, A * A, A, rootA / q, 1, fc);
        case PeqHighShelf: return single(A * A, A * rootA / q, A, 1, rootA / q, A, fc);
        case PeqHighPass: return slopeElement(slopeCode, fc, true);
        case PeqLowPass: return slopeElement(slopeCode, fc, false);
        case PeqAllPass: return single(1, -1 / q, 1, 1, 1 / q, 1, fc);
        case PeqBandPass: return single(0, 1 / q, 0, 1, 1 / q, 1, fc);
        case PeqNotch: return single(1, 0, 1, 1, 1 / q, 1, fc);
        case PeqPhase: return single(0, -1, 1, 0, 1, 1, fc);
        case PeqVariQLowPass: return single(0, 0, 1, 1, 1 / q, 1, fc);
        case PeqVariQHighPass: return single(1, 0, 0, 1, 1 / q, 1, fc);
        case PeqEllipticLowPass: return single(0.25, 0, 1, 1, kEllipticB1, 1, fc);
        case PeqEllipticHighPass: return single(1, 0, 0.25, 1, kEllipticB1, 1, fc);
        default: return {};
    }
}

AnalogElement analogElementOfCodes(int type, std::uint16_t frequency, std::uint8_t q, std::int16_t gain,
                                   int flat, int unitType) {
    if (isNeutral(type, frequency, q, gain, flat, unitType)) return {};
    const bool slopeType = type == PeqHighPass || type == PeqLowPass;
    return analogElement(type, frequencyOfIndex(frequency), slopeType ? 1.0 : qOfIndex(q), gain / 10.0,
                         slopeType ? q : 0);
}

std::complex<double> analogSectionResponse(const AnalogSection& s, double frequency) {
    const double w = frequency / s.fc;
    const double w2 = w * w;
    const std::complex<double> n{s.a0 - s.a2 * w2, s.a1 * w};
    const std::complex<double> d{s.b0 - s.b2 * w2, s.b1 * w};
    if (d == 0.0) return {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::quiet_NaN()};
    return n / d;
}

std::complex<double> analogElementResponse(const AnalogElement& element, double frequency) {
    std::complex<double> h{1.0, 0.0};
    for (int i = 0; i < element.count; ++i)
        h *= analogSectionResponse(element.sections[static_cast<std::size_t>(i)], frequency);
    return h;
}

}  // namespace kv
