// The fast curve evaluation (all sections of a slot multiplied first, one logarithm per
// point) against a plain one written here: each section's polynomials evaluated at
// s = j f / fc in long double complex arithmetic and their dB added up, over random
// elements of every type and slope.

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <random>
#include <string>
#include <vector>

#include "document/PresetBank.h"
#include "response/ResponseCurveTable.h"
#include "response/ResponseGrid.h"
#include "response/analog/AnalogElement.h"
#include "response/analog/FilterCurve.h"

namespace kv {
namespace {

using Complex = std::complex<long double>;

// Besides the tolerance, a slot value may be off by the half step of single precision at
// its size, which beyond a few hundred dB is larger than the tolerance on its own.
constexpr double kToleranceDb = 1e-4;

double allowedDifference(float value) {
    const float size = std::fabs(value);
    return kToleranceDb + 0.5 * static_cast<double>(std::nextafter(size, INFINITY) - size);
}

struct ReferencePoint {
    long double decibels = 0;
    bool onAZero = false;  // a numerator vanishes here: only "far below any plot" is defined
};

ReferencePoint referenceAt(const std::vector<AnalogElement>& elements, double hz) {
    ReferencePoint point;
    for (const AnalogElement& element : elements) {
        for (int i = 0; i < element.count; ++i) {
            const AnalogSection& c = element.sections[static_cast<std::size_t>(i)];
            const Complex s{0.0L, static_cast<long double>(hz) / c.fc};
            const Complex n = (static_cast<long double>(c.a2) * s + static_cast<long double>(c.a1)) * s +
                              static_cast<long double>(c.a0);
            const Complex d = (static_cast<long double>(c.b2) * s + static_cast<long double>(c.b1)) * s +
                              static_cast<long double>(c.b0);
            const long double size =
                std::fabs(c.a2) * std::norm(s) + std::fabs(c.a1) * std::abs(s) + std::fabs(c.a0);
            if (std::abs(n) < 1e-9L * size) point.onAZero = true;
            point.decibels += 10.0L * std::log10(std::norm(n) / std::norm(d));
        }
    }
    return point;
}

// The slot must hold `start` plus the elements' curve.
void expectMatchesReference(const std::vector<AnalogElement>& elements, const CurveSlot& slot, double start,
                            const std::string& what) {
    for (int k = 0; k < kGridPoints; ++k) {
        const ReferencePoint expected = referenceAt(elements, ResponseGrid::frequency(k));
        const float got = slot.values[static_cast<std::size_t>(k)];
        if (expected.onAZero) {
            ASSERT_LT(got - start, -120.0) << what << " point " << k;
        } else {
            ASSERT_NEAR(got - start, static_cast<double>(expected.decibels), allowedDifference(got))
                << what << " point " << k;
        }
    }
}

// Random codes as the bank holds them, over each field's whole range and a little beyond.
struct RandomCodes {
    std::mt19937 engine{14};

    int between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(engine); }

    AnalogElement element(int type) {
        const bool crossover = type == PeqHighPass || type == PeqLowPass;
        const auto frequency = static_cast<std::uint16_t>(between(0, 450));
        const auto q =
            static_cast<std::uint8_t>(crossover ? between(0, kSlopeCodeCount - 1) : between(0, 108));
        const auto gain = static_cast<std::int16_t>(between(-300, 150));
        return analogElementOfCodes(type, frequency, q, gain, 0, kUnitKV520);
    }
};

TEST(FilterCurveReference, EveryTypeAndSlopeMatchesThePlainEvaluation) {
    RandomCodes codes;
    ResponseCurveTable table;
    int compared = 0;
    for (int type = 0; type <= kLastPeqType; ++type) {
        const bool crossover = type == PeqHighPass || type == PeqLowPass;
        for (int n = 0; n < (crossover ? 120 : 30); ++n) {
            const std::vector<AnalogElement> element{codes.element(type)};
            if (element[0].count == 0) continue;
            ComputeElementsCurve(table, 4, element, 0);
            expectMatchesReference(element, table.slot(4), 0.0,
                                   "type " + std::to_string(type) + " #" + std::to_string(n));
            ++compared;
        }
    }
    EXPECT_GT(compared, 500);  // of 570: the random codes give few neutral elements
}

TEST(FilterCurveReference, SeveralElementsInOneSlotMatchTheSumOfTheirCurves) {
    RandomCodes codes;
    ResponseCurveTable table;
    for (int n = 0; n < 30; ++n) {
        std::vector<AnalogElement> elements;
        const int count = codes.between(2, 14);  // up to a whole output: two crossovers and twelve bands
        for (int e = 0; e < count; ++e) elements.push_back(codes.element(codes.between(0, kLastPeqType)));
        // Accumulated onto what the slot holds, as a report adds to its working slot.
        table.slot(4).values.fill(-3.5f);
        ComputeElementsCurve(table, 4, elements, 1);
        expectMatchesReference(elements, table.slot(4), -3.5, "cascade #" + std::to_string(n));
    }
}

// Values the products cannot hold as normal numbers take a slower path that must give the
// same answers: a numerator that is zero everywhere, a product below the smallest normal
// number (H = s^2 far below its corner: |H| = w^2), and sections that define nothing.
TEST(FilterCurveReference, UnusualValuesTakeTheLibrarysPath) {
    CurveSlot slot;
    AddSectionResponse(slot, 0, 0, 0, 1, 1, 1, 1000.0);
    for (float v : slot.values) ASSERT_EQ(v, -INFINITY);

    slot.values.fill(0.0f);
    const double fc = 1e80;  // w^4 is no normal number below about 1.2 kHz
    AddSectionResponse(slot, 1, 0, 0, 0, 0, 1, fc);
    for (int k = 0; k < kGridPoints; ++k) {
        const double expected = 40.0 * std::log10(ResponseGrid::frequency(k) / fc);
        ASSERT_NEAR(slot.values[static_cast<std::size_t>(k)], expected, allowedDifference(slot.values[0]))
            << k;
    }

    const double nan = std::nan("");
    for (const AnalogSection& undefined :
         {AnalogSection{nan, 0, 1, 0, 0, 1, 1000.0}, AnalogSection{0, 0, 1, 0, 1, 1, 0.0},
          AnalogSection{0, 0, 1, 0, 1, 1, INFINITY}}) {
        slot.values.fill(0.0f);
        AddSectionResponse(slot, undefined.a2, undefined.a1, undefined.a0, undefined.b2, undefined.b1,
                           undefined.b0, undefined.fc);
        for (float v : slot.values) ASSERT_TRUE(std::isnan(v));
    }
}

}  // namespace
}  // namespace kv
