// The response model checked against closed-form magnitudes of the analog prototypes,
// evaluated here independently of the complex-division path the model uses.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

#include "document/PresetBank.h"
#include "response/ResponseCurveTable.h"
#include "response/ResponseGrid.h"
#include "response/analog/AnalogElement.h"
#include "response/analog/FilterCurve.h"

namespace kv {
namespace {

constexpr double kTolerance = 2e-4;  // dB; the slot stores single precision

// Ratio w = f / fc at grid point k for a filter at frequency index i, straight from the
// definition of the index (36 steps per octave).
double ratioAt(int k, int index) { return std::exp2((k + 12 - index) / 36.0); }

double db(double powerRatio) { return 10.0 * std::log10(powerRatio); }

const CurveSlot& compute(ResponseCurveTable& t, int type, int frequency, int q, int gain, int flat = 0) {
    ComputeFilterCurve(t, 5, type, static_cast<std::uint16_t>(frequency), static_cast<std::uint8_t>(q),
                       static_cast<std::int16_t>(gain), flat, kUnitKV520, 0);
    return t.slot(5);
}

TEST(ResponseGrid, PointsAndIndexConversions) {
    EXPECT_NEAR(ResponseGrid::frequency(0), 9.843, 5e-4);
    EXPECT_NEAR(ResponseGrid::frequency(419), 31389.8, 0.05);
    EXPECT_DOUBLE_EQ(frequencyOfIndex(252), 1000.0);
    EXPECT_DOUBLE_EQ(frequencyOfIndex(396), 16000.0);
    EXPECT_DOUBLE_EQ(frequencyOfIndex(432), 32000.0);
    EXPECT_DOUBLE_EQ(qOfIndex(84), 1.0);
    EXPECT_DOUBLE_EQ(qOfIndex(0), 128.0);
    EXPECT_DOUBLE_EQ(qOfIndex(108), 0.25);
    EXPECT_EQ(ResponseGrid::pointOfIndex(200), 188);
}

// Slopes whose magnitude has a closed form: Butterworth of order n is 1 / (1 + w^2n),
// a Link/Riley slope is the square of a Butterworth one, a first order 1 / (1 + w^2).
struct ClosedFormSlope {
    int code;
    double (*lowPassPower)(double w);
};

double butterworth(double w, int n) { return 1.0 / (1.0 + std::pow(w, 2 * n)); }

const ClosedFormSlope kClosedForms[] = {
    {1, [](double w) { return butterworth(w, 2); }},
    {3, [](double w) { return butterworth(w, 3); }},
    {5, [](double w) { return butterworth(w, 4); }},
    {6, [](double w) { return std::pow(butterworth(w, 2), 2); }},
    {7, [](double w) { return butterworth(w, 1); }},
    {8, [](double w) { return std::pow(butterworth(w, 1), 2); }},
    {10, [](double w) { return butterworth(w, 8); }},
    {11, [](double w) { return std::pow(butterworth(w, 4), 2); }},
};

TEST(FilterCurve, CrossoverSlopesMatchClosedFormsAtEveryPoint) {
    ResponseCurveTable table;
    for (const ClosedFormSlope& slope : kClosedForms) {
        for (const int index : {60, 200, 380}) {
            SCOPED_TRACE(testing::Message() << "slope " << slope.code << " index " << index);
            const CurveSlot& lp = compute(table, PeqLowPass, index, slope.code, 0);
            for (int k = 0; k < kGridPoints; ++k) {
                ASSERT_NEAR(lp.values[k], db(slope.lowPassPower(ratioAt(k, index))), kTolerance) << k;
            }
            // A high-pass is the low-pass mirrored about its corner: w -> 1 / w.
            const CurveSlot& hp = compute(table, PeqHighPass, index, slope.code, 0);
            for (int k = 0; k < kGridPoints; ++k) {
                ASSERT_NEAR(hp.values[k], db(slope.lowPassPower(1.0 / ratioAt(k, index))), kTolerance) << k;
            }
        }
    }
}

TEST(FilterCurve, CornerValuesOfTheNamedSlopes) {
    struct Case {
        int type;
        int slope;
        double expected;
    };
    const Case cases[] = {
        {PeqLowPass, 1, -3.0103},  {PeqLowPass, 6, -6.0206},  {PeqLowPass, 11, -6.0206},
        {PeqHighPass, 1, -3.0103}, {PeqHighPass, 6, -6.0206}, {PeqLowPass, 7, -3.0103},
    };
    ResponseCurveTable table;
    for (const Case& c : cases) {
        EXPECT_NEAR(compute(table, c.type, 200, c.slope, 0).values[188], c.expected, 1e-3)
            << "type " << c.type << " slope " << c.slope;
    }
}

// The Bessel corner factors put the -3 dB point at the nominal frequency, and a Bessel
// slope falls more gently than the Butterworth of the same order just above it.
TEST(FilterCurve, BesselSlopesAreThreeDbDownAtTheirNominalFrequency) {
    struct Case {
        int bessel;
        int butterworth;
    };
    const Case cases[] = {{0, 1}, {2, 3}, {4, 5}, {9, 10}};
    ResponseCurveTable table;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bessel);
        for (const int type : {PeqLowPass, PeqHighPass}) {
            const CurveSlot& bessel = compute(table, type, 252, c.bessel, 0);
            EXPECT_NEAR(bessel.values[240], -3.0, 0.15);
            const int octaveBeyond = type == PeqLowPass ? 240 + 36 : 240 - 36;
            const float besselBeyond = bessel.values[octaveBeyond];
            const float butterworthBeyond = compute(table, type, 252, c.butterworth, 0).values[octaveBeyond];
            EXPECT_GT(besselBeyond, butterworthBeyond);
        }
    }
}

TEST(FilterCurve, PeakingAndShelvingGains) {
    ResponseCurveTable table;
    // Peaking: the full gain at its own point, symmetric in log frequency.
    for (const int gain : {150, -300, 37}) {
        const CurveSlot& s = compute(table, PeqPeaking, 252, 84, gain);
        EXPECT_NEAR(s.values[240], gain / 10.0, kTolerance);
        EXPECT_NEAR(s.values[240 - 30], s.values[240 + 30], kTolerance);
        EXPECT_NEAR(s.values[0], 0.0, 0.05);
    }
    // Shelves: the full gain far on their side, half of it at the corner, none far beyond.
    for (const int gain : {60, -120}) {
        const CurveSlot& low = compute(table, PeqLowShelf, 252, 96, gain);
        EXPECT_NEAR(low.values[0], gain / 10.0, 0.05);
        EXPECT_NEAR(low.values[240], gain / 20.0, kTolerance);
        EXPECT_NEAR(low.values[419], 0.0, 0.05);
        const CurveSlot& high = compute(table, PeqHighShelf, 252, 96, gain);
        EXPECT_NEAR(high.values[0], 0.0, 0.05);
        EXPECT_NEAR(high.values[240], gain / 20.0, kTolerance);
        EXPECT_NEAR(high.values[419], gain / 10.0, 0.05);
    }
}

TEST(FilterCurve, SecondOrderTypesAtTheirCorner) {
    // At w = 1 a band-pass passes fully, a VariQ low-/high-pass peaks at Q, the
    // all-pass types are flat everywhere.
    ResponseCurveTable table;
    const int q = 72;  // Q = 2
    EXPECT_NEAR(compute(table, PeqBandPass, 252, q, 0).values[240], 0.0, kTolerance);
    EXPECT_NEAR(compute(table, PeqVariQLowPass, 252, q, 0).values[240], 20 * std::log10(2.0), kTolerance);
    EXPECT_NEAR(compute(table, PeqVariQHighPass, 252, q, 0).values[240], 20 * std::log10(2.0), kTolerance);
    for (const int type : {PeqAllPass, PeqPhase}) {
        const CurveSlot& s = compute(table, type, 252, q, 0);
        for (int k = 0; k < kGridPoints; ++k) ASSERT_NEAR(s.values[k], 0.0, 1e-5) << "type " << type;
    }
}

TEST(FilterCurve, ZerosOnTheGridGiveMinusInfinity) {
    struct Case {
        int type;
        int index;
        int zeroPoint;  // grid point of the transmission zero
    };
    const Case cases[] = {
        {PeqNotch, 200, 188},
        {PeqEllipticLowPass, 200, 188 + 36},   // zero one octave above
        {PeqEllipticHighPass, 200, 188 - 36},  // zero one octave below
    };
    ResponseCurveTable table;
    for (const Case& c : cases) {
        const CurveSlot& s = compute(table, c.type, c.index, 84, 0);
        // Exactly zero where the ratio f / fc comes out exact, otherwise far below any plot.
        EXPECT_LT(s.values[c.zeroPoint], -120.0f) << c.type;
        EXPECT_TRUE(std::isfinite(s.values[c.zeroPoint + 1]) && s.values[c.zeroPoint + 1] > -60.0f) << c.type;
    }
    // A notch off the grid leaves every point finite.
    const CurveSlot& off = compute(table, PeqNotch, 5, 84, 0);
    for (float v : off.values) ASSERT_TRUE(std::isfinite(v));
}

TEST(FilterCurve, NeutralElementsLeaveAValidZeroSlot) {
    struct Case {
        const char* what;
        int type, frequency, q, gain, flat;
    };
    const Case cases[] = {
        {"peaking without gain", PeqPeaking, 252, 84, 0, 0},
        {"low shelf without gain", PeqLowShelf, 252, 96, 0, 0},
        {"high shelf without gain", PeqHighShelf, 252, 96, 0, 0},
        {"high-pass at its minimum", PeqHighPass, 12, 1, 0, 0},
        {"high-pass below its minimum", PeqHighPass, 3, 1, 0, 0},
        {"low-pass at its maximum", PeqLowPass, 433, 1, 0, 0},
        {"low-pass above its maximum", PeqLowPass, 600, 1, 0, 0},
        {"high-pass slope out of range", PeqHighPass, 200, 12, 0, 0},
        {"low-pass slope out of range", PeqLowPass, 200, 255, 0, 0},
        {"flat peaking band", PeqPeaking, 252, 84, 120, 1},
        {"flat notch", PeqNotch, 252, 84, 0, 1},
        {"unknown type", 13, 252, 84, 120, 0},
        {"negative type", -1, 252, 84, 120, 0},
    };
    ResponseCurveTable table;
    for (const Case& c : cases) {
        table.slot(5).values.fill(7.0f);
        table.markStale(5);
        const CurveSlot& s = compute(table, c.type, c.frequency, c.q, c.gain, c.flat);
        EXPECT_EQ(s.state, CurveState::Valid) << c.what;
        for (float v : s.values) ASSERT_EQ(v, 0.0f) << c.what;
    }
    // Just inside the limits the crossover filters are on.
    EXPECT_LT(compute(table, PeqHighPass, 13, 11, 0).values[0], -1.0f);
    EXPECT_LT(compute(table, PeqLowPass, 432, 11, 0).values[419], -1.0f);
}

TEST(FilterCurve, AccumulateAddsAndANeutralCallKeepsTheSlot) {
    ResponseCurveTable table;
    const auto hp = compute(table, PeqHighPass, 60, 6, 0).values;
    const auto lp = compute(table, PeqLowPass, 380, 10, 0).values;
    ComputeFilterCurve(table, 7, PeqHighPass, 60, 6, 0, 0, kUnitKV420, 0);
    ComputeFilterCurve(table, 7, PeqLowPass, 380, 10, 0, 0, kUnitKV420, 1);
    const auto sum = table.slot(7).values;
    for (std::size_t k = 0; k < sum.size(); ++k) ASSERT_NEAR(sum[k], hp[k] + lp[k], 1e-4) << k;
    // A neutral element accumulated onto the slot changes nothing but the state.
    table.markStale(7);
    ComputeFilterCurve(table, 7, PeqPeaking, 252, 84, 0, 0, kUnitKV420, 1);
    EXPECT_EQ(table.state(7), CurveState::Valid);
    for (std::size_t k = 0; k < sum.size(); ++k) ASSERT_EQ(table.slot(7).values[k], sum[k]);
}

TEST(FilterCurve, ModelCodeHasNoEffectAndBadSlotsAreIgnored) {
    ResponseCurveTable a;
    ResponseCurveTable b;
    ComputeFilterCurve(a, 3, PeqPeaking, 100, 50, -77, 0, kUnitKV420, 0);
    ComputeFilterCurve(b, 3, PeqPeaking, 100, 50, -77, 0, kUnitKV520, 0);
    EXPECT_EQ(a.slot(3).values, b.slot(3).values);
    ComputeFilterCurve(a, 30, PeqPeaking, 100, 50, -77, 0, kUnitKV420, 0);
    ComputeFilterCurve(a, -1, PeqPeaking, 100, 50, -77, 0, kUnitKV420, 0);
    EXPECT_EQ(a.state(29), CurveState::Absent);
    EXPECT_EQ(a.state(0), CurveState::Absent);
}

TEST(AddSectionResponse, DivisionStaysFiniteForHugeCoefficientsAndZeroDivisorIsNaN) {
    CurveSlot slot;
    // |N|^2 and |D|^2 would overflow a double; the ratio is exactly 2.
    AddSectionResponse(slot, 2e200, 2e200, 2e200, 1e200, 1e200, 1e200, 1000.0);
    for (float v : slot.values) ASSERT_NEAR(v, 20 * std::log10(2.0), kTolerance);
    // Tiny coefficients likewise.
    slot.values.fill(0.0f);
    AddSectionResponse(slot, 0, 3e-200, 0, 0, 1e-200, 0, 1000.0);
    for (float v : slot.values) ASSERT_NEAR(v, 20 * std::log10(3.0), kTolerance);
    slot.values.fill(0.0f);
    AddSectionResponse(slot, 0, 0, 1, 0, 0, 0, 1000.0);
    for (float v : slot.values) ASSERT_TRUE(std::isnan(v));
    slot.values.fill(0.0f);
    AddSectionResponse(slot, 0, 0, 1, 0, 0, std::numeric_limits<double>::infinity(), 1000.0);
    for (float v : slot.values) ASSERT_TRUE(std::isnan(v));
}

TEST(ResponseCurveTable, StateMarking) {
    ResponseCurveTable t;
    for (int s = 0; s < ResponseCurveTable::kSlotCount; ++s) EXPECT_TRUE(t.isAbsent(s));
    t.markStale(3);
    t.setState(4, CurveState::Valid);
    t.markStale(30);  // ignored
    t.markStale(-1);  // ignored
    t.markPresentStale();
    EXPECT_TRUE(t.isStale(3));
    EXPECT_TRUE(t.isStale(4));
    EXPECT_TRUE(t.isAbsent(5));
    t.markAll(CurveState::Valid);
    EXPECT_TRUE(t.isValid(29));
    EXPECT_THROW((void)t.slot(30), std::out_of_range);
}

// The continuous-parameter model (filter import, auto-EQ) and the code-driven curves
// must be the same model: off-grid parameters follow the closed forms too.
TEST(AnalogElement, ContinuousParametersFollowTheClosedForms) {
    const double fc = 1234.5;
    // PEQ: |H| at fc is the gain; the phase of the first-order all-pass is -90 deg at fc.
    EXPECT_NEAR(20 * std::log10(std::abs(analogElementResponse(analogElement(PeqPeaking, fc, 2.7, 4.3), fc))),
                4.3, 1e-12);
    EXPECT_NEAR(std::arg(analogElementResponse(analogElement(PeqPhase, fc, 1, 0), fc)), -std::numbers::pi / 2,
                1e-12);
    // 24 dB Butterworth high-pass: 1 / (1 + w^-8) in power.
    const auto hp = analogElement(PeqHighPass, fc, 1, 0, 5);
    for (const double f : {100.0, 1000.0, 5000.0})
        EXPECT_NEAR(std::norm(analogElementResponse(hp, f)), 1.0 / (1.0 + std::pow(fc / f, 8)), 1e-12);
    EXPECT_EQ(analogElement(13, fc, 1, 0).count, 0);
    EXPECT_EQ(analogElement(PeqLowPass, fc, 1, 0, 12).count, 0);
}

}  // namespace
}  // namespace kv
