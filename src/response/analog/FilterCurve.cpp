#include "response/analog/FilterCurve.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "response/ResponseGrid.h"
#include "response/analog/AnalogElement.h"

namespace kv {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kDecibelsPerPowerOctave = 3.0102999566398120;  // 10 log10(2): dB per doubling of |H|^2

// A positive normal number as 2^exponent * mantissa with the mantissa in [sqrt(1/2), sqrt(2)),
// read from its bits.
struct BinaryParts {
    double exponent;
    double mantissa;
};

BinaryParts binaryParts(double x) {
    constexpr std::uint64_t kExponentBits = 0xFFF0000000000000;
    constexpr std::uint64_t kExponentOfOne = 0x3FF0000000000000;
    constexpr std::uint64_t kRootHalf = 0x3FE6A09E667F3BCD;  // sqrt(1/2)
    constexpr std::uint64_t kTwoPower52 = 0x4330000000000000;
    constexpr double kTwoPower52PlusBias = 4503599627371519.0;  // 2^52 + 1023
    const auto bits = std::bit_cast<std::uint64_t>(x);
    // Its exponent field is that of x / sqrt(1/2), rounded down.
    const std::uint64_t shifted = bits + (kExponentOfOne - kRootHalf);
    return {std::bit_cast<double>((shifted >> 52) | kTwoPower52) - kTwoPower52PlusBias,
            std::bit_cast<double>(bits - (shifted & kExponentBits) + kExponentOfOne)};
}

// log2(n / d) for positive normal n and d without dividing them: the difference of their
// exponents plus log2 of the mantissas' ratio r, which is 2 atanh(s) / ln 2 with
// s = (r - 1) / (r + 1), |s| < 1/3, summed up to s^13. That is within 2e-8 of the exact
// value, far finer than the single precision a slot keeps. It has no branch or call, so the
// compiler vectorises it, and the series is summed in a shallow tree (Estrin's scheme)
// rather than one long chain, so that neighbouring points overlap.
double log2OfRatio(double n, double d) {
    constexpr double kTwoOverLn2 = 2.8853900817779268;
    constexpr double c3 = 1.0 / 3, c5 = 1.0 / 5, c7 = 1.0 / 7, c9 = 1.0 / 9, c11 = 1.0 / 11, c13 = 1.0 / 13;
    const BinaryParts a = binaryParts(n);
    const BinaryParts b = binaryParts(d);
    const double s = (a.mantissa - b.mantissa) / (a.mantissa + b.mantissa);
    const double x = s * s;
    const double x2 = x * x;
    const double x4 = x2 * x2;
    const double series = (1.0 + c3 * x) + x2 * (c5 + c7 * x) + x4 * ((c9 + c11 * x) + x2 * c13);
    return a.exponent - b.exponent + kTwoOverLn2 * s * series;
}

constexpr std::uint64_t kTopBit = 0x8000000000000000;

// Has its top bit set unless x is a positive normal number, from x's bits alone so that a
// loop can gather it over every point: the bits less those of the smallest normal number
// lie in [0, 0x7FE0000000000000) exactly for the positive normal numbers.
std::uint64_t notPositiveNormal(double x) {
    constexpr std::uint64_t kSmallestNormal = 0x0010000000000000;
    constexpr std::uint64_t kPastLargest = 0x7FE0000000000000;  // above it: infinity and NaN
    const std::uint64_t offset = std::bit_cast<std::uint64_t>(x) - kSmallestNormal;
    // Negative as a signed number (zero, subnormal, sign set), or pushed past the top bit.
    return offset | (offset + (kTopBit - kPastLargest));
}

// On x86-64 the curve loops are also built for AVX2, four points an instruction instead of
// two, and the loader picks what the processor runs. Neither build fuses multiply and add,
// so both give the same bits.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define KV_CURVE_LOOPS_FOR_EACH_PROCESSOR __attribute__((target_clones("avx2", "default")))
#else
#define KV_CURVE_LOOPS_FOR_EACH_PROCESSOR
#endif

using GridProducts = std::array<double, kGridPoints>;

// One polynomial of a section, its coefficients scaled.
struct ScaledPolynomial {
    double c2, c1, c0;
};

// Sets (or multiplies) the squared magnitudes of a section's numerator n and denominator
// d at the points below `end`, those at or below its corner: N = (c0 - c2 w^2) + j c1 w
// with w = f / fc.
KV_CURVE_LOOPS_FOR_EACH_PROCESSOR
void sweepBelowCorner(GridProducts& numerator, GridProducts& denominator, const ScaledPolynomial& n,
                      const ScaledPolynomial& d, double fc, std::size_t end, bool multiply) {
    const GridPowers& grid = ResponseGrid::powers();
    const double reciprocal = 1.0 / fc;
    const double reciprocalSquared = reciprocal * reciprocal;
    for (std::size_t k = 0; k < end; ++k) {
        const double w = grid.hz[k] * reciprocal;
        const double w2 = grid.squared[k] * reciprocalSquared;
        const double nr = n.c0 - n.c2 * w2;
        const double ni = n.c1 * w;
        const double dr = d.c0 - d.c2 * w2;
        const double di = d.c1 * w;
        numerator[k] = (multiply ? numerator[k] : 1.0) * (nr * nr + ni * ni);
        denominator[k] = (multiply ? denominator[k] : 1.0) * (dr * dr + di * di);
    }
}

// The same from `begin` on, above the corner, both polynomials divided by w^2:
// N = (c0 u^2 - c2) + j c1 u with u = fc / f.
KV_CURVE_LOOPS_FOR_EACH_PROCESSOR
void sweepAboveCorner(GridProducts& numerator, GridProducts& denominator, const ScaledPolynomial& n,
                      const ScaledPolynomial& d, double fc, std::size_t begin, bool multiply) {
    const GridPowers& grid = ResponseGrid::powers();
    const double fcSquared = fc * fc;
    for (std::size_t k = begin; k < numerator.size(); ++k) {
        const double u = fc * grid.reciprocal[k];
        const double u2 = fcSquared * grid.reciprocalSquared[k];
        const double nr = n.c0 * u2 - n.c2;
        const double ni = n.c1 * u;
        const double dr = d.c0 * u2 - d.c2;
        const double di = d.c1 * u;
        numerator[k] = (multiply ? numerator[k] : 1.0) * (nr * nr + ni * ni);
        denominator[k] = (multiply ? denominator[k] : 1.0) * (dr * dr + di * di);
    }
}

// log2(numerator / denominator) at every point; nonzero when some point is not a quotient
// of positive normal numbers and needs the library's path.
KV_CURVE_LOOPS_FOR_EACH_PROCESSOR
std::uint64_t log2OfRatios(const GridProducts& numerator, const GridProducts& denominator,
                           GridProducts& log2) {
    std::uint64_t unusual = 0;
    for (std::size_t k = 0; k < log2.size(); ++k) {
        log2[k] = log2OfRatio(numerator[k], denominator[k]);
        unusual |= notPositiveNormal(numerator[k]) | notPositiveNormal(denominator[k]);
    }
    return unusual & kTopBit;
}

// values[k] += 10 log10(2) (log2[k] + octaves): the dB of |H|^2 = 2^(log2 + octaves).
KV_CURVE_LOOPS_FOR_EACH_PROCESSOR
void addDecibels(std::array<float, kGridPoints>& values, const GridProducts& log2, double octaves) {
    for (std::size_t k = 0; k < values.size(); ++k) {
        values[k] = static_cast<float>(static_cast<double>(values[k]) +
                                       kDecibelsPerPowerOctave * (log2[k] + octaves));
    }
}

// The magnitude of a cascade of sections on the grid, held as the products of each
// section's squared numerator and denominator magnitudes, so that the curve costs one
// logarithm per point however many sections it has. Each section's coefficients are
// scaled by powers of two (exactly) to at most 1, and above its corner frequency both
// polynomials are divided by w^2: every factor then stays below 5 and huge or tiny
// coefficients neither overflow nor underflow. The scale factors are kept apart as one
// binary exponent.
class GridMagnitude {
public:
    void multiply(const AnalogSection& s) {
        const double fc = std::fabs(s.fc);
        if (!isUsableDivisor(s.b2, s.b1, s.b0) || !std::isfinite(fc) || fc == 0.0) {
            undefined_ = true;
            return;
        }
        const int numeratorExponent = scaleExponent(s.a2, s.a1, s.a0);
        const int denominatorExponent = scaleExponent(s.b2, s.b1, s.b0);
        magnitudeExponent_ += numeratorExponent - denominatorExponent;
        const ScaledPolynomial n = scaled(s.a2, s.a1, s.a0, numeratorExponent);
        const ScaledPolynomial d = scaled(s.b2, s.b1, s.b0, denominatorExponent);
        const GridPowers& grid = ResponseGrid::powers();
        const auto corner = std::upper_bound(grid.hz.begin(), grid.hz.end(), fc);
        const auto split = static_cast<std::size_t>(corner - grid.hz.begin());
        // The first section sets the products, so they need no filling beforehand.
        sweepBelowCorner(numerator_, denominator_, n, d, fc, split, started_);
        sweepAboveCorner(numerator_, denominator_, n, d, fc, split, started_);
        started_ = true;
    }

    // Adds 20 log10 |H| to each value: NaN where a divisor is zero or not finite, minus
    // infinity where the numerator is zero.
    void addDecibelsTo(std::array<float, kGridPoints>& values) const {
        if (!started_ && !undefined_) return;  // no section: 0 dB
        if (undefined_) {
            values.fill(static_cast<float>(kNaN));
            return;
        }
        const double octaves = 2.0 * magnitudeExponent_;  // |H|^2 carries 4^exponent
        GridProducts log2Power;                           // of |H|^2 without that factor
        const std::uint64_t unusual = log2OfRatios(numerator_, denominator_, log2Power);
        // A zero divisor gives NaN; a zero numerator, and the rare tiny value, take the
        // library's path.
        for (std::size_t k = 0; unusual != 0 && k < log2Power.size(); ++k) {
            const double n = numerator_[k];
            const double d = denominator_[k];
            if (((notPositiveNormal(n) | notPositiveNormal(d)) & kTopBit) == 0) continue;
            log2Power[k] = d > 0.0 ? std::log2(n) - std::log2(d) : kNaN;
        }
        addDecibels(values, log2Power, octaves);
    }

private:
    // A divisor that is zero at every point, or not a finite number, leaves the curve undefined.
    static bool isUsableDivisor(double b2, double b1, double b0) {
        const bool finite = std::isfinite(b2) && std::isfinite(b1) && std::isfinite(b0);
        return finite && (b2 != 0.0 || b1 != 0.0 || b0 != 0.0);
    }

    // The power of two that brings the largest coefficient into [0.5, 1); none for zero or
    // non-finite coefficients, which then show as they are.
    static int scaleExponent(double c2, double c1, double c0) {
        const double largest = std::max({std::fabs(c2), std::fabs(c1), std::fabs(c0)});
        if (largest == 0.0 || !std::isfinite(largest)) return 0;
        int exponent = 0;
        std::frexp(largest, &exponent);
        return exponent;
    }

    // The coefficients times 2^-exponent, exactly.
    static ScaledPolynomial scaled(double c2, double c1, double c0, int exponent) {
        constexpr int kBias = 1023;
        if (exponent <= -kBias || exponent >= kBias)  // 2^-exponent itself would not be normal
            return {std::ldexp(c2, -exponent), std::ldexp(c1, -exponent), std::ldexp(c0, -exponent)};
        const double factor = std::bit_cast<double>(static_cast<std::uint64_t>(kBias - exponent) << 52);
        return {c2 * factor, c1 * factor, c0 * factor};
    }

    GridProducts numerator_;     // product of the scaled |N|^2, once started
    GridProducts denominator_;   // product of the scaled |D|^2, once started
    int magnitudeExponent_ = 0;  // |H| carries a further 2^this
    bool started_ = false;       // a section has set the products
    bool undefined_ = false;
};

void addElementsDecibels(std::span<const AnalogElement> elements, std::array<float, kGridPoints>& values) {
    GridMagnitude magnitude;
    for (const AnalogElement& element : elements) {
        for (int i = 0; i < element.count; ++i)
            magnitude.multiply(element.sections[static_cast<std::size_t>(i)]);
    }
    magnitude.addDecibelsTo(values);
}

}  // namespace

void AddSectionResponse(CurveSlot& slot, double a2, double a1, double a0, double b2, double b1, double b0,
                        double fc) {
    AnalogElement element;
    element.sections[0] = {a2, a1, a0, b2, b1, b0, fc};
    element.count = 1;
    addElementsDecibels(std::span<const AnalogElement>(&element, 1), slot.values);
}

void ComputeElementsCurve(ResponseCurveTable& table, int slotIndex, std::span<const AnalogElement> elements,
                          int accumulate) {
    if (!ResponseCurveTable::isSlot(slotIndex)) return;
    CurveSlot& slot = table.slot(slotIndex);
    slot.state = CurveState::Valid;
    if (accumulate == 0) slot.values.fill(0.0f);
    addElementsDecibels(elements, slot.values);
}

void ComputeFilterCurve(ResponseCurveTable& table, int slotIndex, int type, std::uint16_t frequency,
                        std::uint8_t q, std::int16_t gain, int flat, int unitType, int accumulate) {
    if (!ResponseCurveTable::isSlot(slotIndex)) return;
    const AnalogElement element = analogElementOfCodes(type, frequency, q, gain, flat, unitType);
    ComputeElementsCurve(table, slotIndex, std::span<const AnalogElement>(&element, 1), accumulate);
}

}  // namespace kv
