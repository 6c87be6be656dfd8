// The response of the words on the wire, checked against figures worked out here from the
// words themselves (read back with the test's own decoder and evaluated in extended
// precision, so the reference is the more exact of the two) and from the analog
// prototypes' closed forms, never from the code under test.

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <limits>
#include <numbers>
#include <string>

#include "document/PresetBank.h"
#include "protocol/ProtocolDecoding.h"
#include "protocol/UnitProtocol.h"
#include "response/CurveSlots.h"
#include "response/ResponseGrid.h"
#include "response/analog/FilterCurve.h"
#include "response/dsp/DspSection.h"
#include "response/dsp/ModelDifference.h"
#include "response/dsp/OutputResponse.h"

namespace kv {
namespace {

using std::complex;
using Extended = complex<long double>;

// Grid frequency straight from the definition of the frequency index.
double gridHz(int k) { return 7.8125 * std::exp2((k + 12) / 36.0); }

template <typename T>
double db(complex<T> h) {
    return static_cast<double>(20 * std::log10(std::abs(h)));
}
template <typename T>
double degrees(complex<T> h) {
    return static_cast<double>(std::arg(h) * 180 / std::numbers::pi_v<long double>);
}

// z^-1 on the 96 kHz clock.
Extended clockStep(double f) {
    return std::exp(Extended(0.0L, -2.0L * std::numbers::pi_v<long double> * f / 96000.0L));
}

// The textbook response of a normalised section.
Extended sectionResponse(long double b0, long double b1, long double b2, long double a1, long double a2,
                         double f) {
    const Extended z1 = clockStep(f);
    return (b0 + b1 * z1 + b2 * z1 * z1) / (1.0L + a1 * z1 + a2 * z1 * z1);
}

// A section of words evaluated at f, via the test's own decoder.
Extended wordsResponse(const FilterSection& section, double f) {
    const auto v = test::sectionValues(section.data());
    return sectionResponse(v[2], v[3], v[4], -v[0], -v[1], f);
}

Extended wordsResponse(const CrossoverSections& sections, double f) {
    return wordsResponse(sections[0], f) * wordsResponse(sections[1], f);
}

// Analog second-order high-pass s^2 / (s^2 + b s + 1) at s = j f / fc.
complex<double> analogHighPass(double f, double fc, double b) {
    const complex<double> s(0.0, f / fc);
    return s * s / (s * s + b * s + 1.0);
}

OutputChannel channelWithHighPass(int frequency, int slope) {
    OutputChannel channel;
    channel.highPass = {static_cast<std::uint16_t>(frequency), static_cast<std::uint8_t>(slope)};
    return channel;
}

TEST(DspResponse, PassThroughSectionsGiveZeroDecibelsAndZeroDegrees) {
    struct Case {
        const char* what;
        PeqBand band;
    };
    const Case cases[] = {
        {"flat band with gain", {300, 90, 65, 1, PeqPeaking}},
        {"peaking band without gain", {300, 0, 20, 0, PeqPeaking}},
        {"Phase type (no formula on the wire)", {200, 0, 65, 0, PeqPhase}},
        {"Elliptic LowPass type", {200, 0, 65, 0, PeqEllipticLowPass}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        OutputChannel channel;  // its low-pass is off: above 32 kHz both sections pass
        channel.bands[3] = c.band;
        for (const int slot : {CurveSlots::band(3), CurveSlots::lowPass}) {
            const ComplexCurve response = slotResponse(channel, slot, ResponseModel::Dsp, kUnitKV520);
            const GridCurve magnitude = magnitudeDb(response);
            const GridCurve phase = phaseDegrees(response);
            for (int k = 0; k < kGridPoints; ++k) {
                ASSERT_NEAR(magnitude[k], 0.0, 1e-12) << slot << " " << k;
                ASSERT_NEAR(phase[k], 0.0, 1e-12) << slot << " " << k;
            }
        }
    }
}

TEST(DspResponse, WordsExactInFixedPointMatchTheIdealSection) {
    // Normalised sections (a0 = 1) whose coefficients are whole multiples of 2^-23, with
    // negative words to exercise the sign of the 28-bit field and one using the lowest bit.
    const double lsb = std::ldexp(1.0, -23);
    const Biquad sections[] = {
        {0.015625, 0.03125, 0.015625, 1.0, -1.75, 0.8125},
        {0.875, -1.75, 0.875, 1.0, -1.75, 0.8125},
        {1.0 + 3 * lsb, -1.9990234375, 0.9990234375 - lsb, 1.0, -1.998046875, 0.9990234375},
        {-7.5, 15.0 - lsb, -15.5, 1.0, 0.5, -0.25},
    };
    const auto& angles = gridClockAngles();
    for (const Biquad& b : sections) {
        const DspSection section = decodeSection(biquadSection(b));
        for (int k = 0; k < kGridPoints; ++k) {
            const Extended ideal = sectionResponse(b.b0, b.b1, b.b2, b.a1, b.a2, gridHz(k));
            const complex<double> got = dspSectionResponse(section, angles[static_cast<std::size_t>(k)]);
            ASSERT_NEAR(db(got), db(ideal), 1e-9) << "b0 " << b.b0 << " point " << k;
            ASSERT_NEAR(degrees(got), degrees(ideal), 1e-7) << "b0 " << b.b0 << " point " << k;
        }
    }
}

TEST(DspResponse, ElementsAndTotalAreTheWordsOfTheirSlots) {
    OutputChannel channel = channelWithHighPass(70, 2);  // 18 dB Bessel: a first-order section too
    channel.lowPass = {350, 3};
    channel.bands[0] = {120, 60, 70, 0, PeqLowShelf};
    channel.bands[4] = {260, -95, 40, 0, PeqPeaking};
    channel.bands[7] = {300, 0, 50, 0, PeqNotch};
    channel.bands[9] = {200, 120, 50, 0, PeqPeaking};  // beyond the bands in use: not in the total
    const GridCurve total = magnitudeDb(totalResponse(channel, kBandsInUse, ResponseModel::Dsp, kUnitKV520));
    const GridCurve band4 =
        magnitudeDb(slotResponse(channel, CurveSlots::band(4), ResponseModel::Dsp, kUnitKV520));
    const GridCurve highPassPhase =
        phaseDegrees(slotResponse(channel, CurveSlots::highPass, ResponseModel::Dsp, kUnitKV520));
    for (int k = 0; k < kGridPoints; ++k) {
        const double f = gridHz(k);
        const Extended highPass =
            wordsResponse(crossoverSections(channel.highPass, CrossoverSide::HighPass), f);
        Extended expected =
            highPass * wordsResponse(crossoverSections(channel.lowPass, CrossoverSide::LowPass), f);
        for (int b = 0; b < kBandsInUse; ++b)
            expected *= wordsResponse(peqBandSection(channel.bands[static_cast<std::size_t>(b)]), f);
        ASSERT_NEAR(total[k], db(expected), 1e-9) << k;
        ASSERT_NEAR(band4[k], db(wordsResponse(peqBandSection(channel.bands[4]), f)), 1e-9) << k;
        ASSERT_NEAR(highPassPhase[k], degrees(highPass), 1e-7) << k;
    }
}

TEST(DspResponse, BesselHighPassAtIndex48IsOffBelowTwentyHertz) {
    const OutputChannel channel = channelWithHighPass(48, 4);  // 24 dB Bessel, about 20 Hz
    const GridCurve dsp =
        magnitudeDb(slotResponse(channel, CurveSlots::highPass, ResponseModel::Dsp, kUnitKV520));
    const GridCurve model =
        magnitudeDb(slotResponse(channel, CurveSlots::highPass, ResponseModel::Analog, kUnitKV520));
    const CrossoverSections words = crossoverSections(channel.highPass, CrossoverSide::HighPass);
    const double fc = 7.8125 * std::exp2(48 / 36.0);
    GridCurve expectedDifference{};
    for (int k = 0; k < kGridPoints; ++k) {
        const double f = gridHz(k);
        const double prototype =
            db(analogHighPass(f, fc / 1.4192, 1.916) * analogHighPass(f, fc / 1.5912, 1.241));
        ASSERT_NEAR(dsp[k], db(wordsResponse(words, f)), 1e-9) << k;
        ASSERT_NEAR(model[k], prototype, 1e-9) << k;
        expectedDifference[k] = dsp[k] - prototype;
    }
    EXPECT_NEAR(expectedDifference[0], 4.6, 0.05);   // 9.8 Hz
    EXPECT_NEAR(expectedDifference[30], 1.3, 0.05);  // 17.5 Hz

    // From 20 Hz up it stays just under the warning; over the whole grid it does not.
    const ModelDifference audible = elementModelDifference(channel, CurveSlots::highPass, kUnitKV520);
    EXPECT_EQ(audible.point, 37);  // 20.07 Hz, the first point from 20 Hz
    EXPECT_NEAR(audible.decibels, expectedDifference[37], 1e-9);
    EXPECT_LT(audible.decibels, kAudibleDifferenceDb);
    EXPECT_EQ(modelDifferenceWarning(audible), "");
    const ModelDifference wholeGrid =
        elementModelDifference(channel, CurveSlots::highPass, kUnitKV520, {0.0, 40000.0});
    EXPECT_EQ(wholeGrid.point, 0);
    EXPECT_EQ(modelDifferenceWarning(wholeGrid), "DSP differs by 4.6 dB at 9.8 Hz");
}

TEST(DspResponse, LinkRiley48HighPassPassesFarMoreThanTheModel) {
    OutputChannel channel = channelWithHighPass(150, 11);  // 48 dB Link/Riley at 99.2 Hz
    const double fc = 7.8125 * std::exp2(150 / 36.0);
    constexpr double u = 1.8477590650225735;
    constexpr double v = 0.7653668647301795;
    const CrossoverSections words = crossoverSections(channel.highPass, CrossoverSide::HighPass);
    const GridCurve dsp = magnitudeDb(totalResponse(channel, kBandsInUse, ResponseModel::Dsp, kUnitKV520));
    const GridCurve model =
        magnitudeDb(totalResponse(channel, kBandsInUse, ResponseModel::Analog, kUnitKV520));
    ModelDifference expected;
    for (int k = 0; k < kGridPoints; ++k) {
        const double f = gridHz(k);
        const double wire = db(wordsResponse(words, f));
        const double prototype = db(std::pow(analogHighPass(f, fc, u) * analogHighPass(f, fc, v), 2));
        ASSERT_NEAR(dsp[k], wire, 1e-9) << k;
        ASSERT_NEAR(model[k], prototype, 1e-9) << k;
        const double difference =
            std::max(wire, kComparisonFloorDb) - std::max(prototype, kComparisonFloorDb);
        if (f >= 20.0 && f <= 20000.0 && std::fabs(difference) > std::fabs(expected.decibels))
            expected = {k, f, difference};
    }
    // An octave below the corner the model falls 48.2 dB, the unit's 24 dB slope 24.6 dB.
    EXPECT_NEAR(model[102], -48.2, 0.05);
    EXPECT_NEAR(dsp[102], -24.6, 0.05);

    const ModelDifference worst = outputModelDifference(channel, kBandsInUse, kUnitKV520);
    EXPECT_EQ(worst.point, expected.point);
    EXPECT_NEAR(worst.decibels, expected.decibels, 1e-9);
    EXPECT_GT(worst.decibels, 28.0);  // "up to about 29 dB more"
    EXPECT_LT(worst.decibels, 31.0);
    EXPECT_NE(modelDifferenceWarning(worst), "");

    EXPECT_EQ(modelDifferenceWarning(outputModelDifference(OutputChannel{}, kBandsInUse, kUnitKV520)), "")
        << "a default output sounds like its picture";
}

TEST(AnalogPhase, PhaseTypeCrossesMinusNinetyDegreesAtItsFrequency) {
    OutputChannel channel;
    channel.bands[2] = {200, 0, 65, 0, PeqPhase};  // on grid point 188
    const GridCurve phase =
        phaseDegrees(slotResponse(channel, CurveSlots::band(2), ResponseModel::Analog, kUnitKV520));
    const GridCurve magnitude =
        magnitudeDb(slotResponse(channel, CurveSlots::band(2), ResponseModel::Analog, kUnitKV520));
    // (1 - s) / (1 + s) turns by -2 atan(f / fc) at 0 dB.
    const double fc = 7.8125 * std::exp2(200 / 36.0);
    for (int k = 0; k < kGridPoints; ++k) {
        ASSERT_NEAR(phase[k], -2.0 * std::atan(gridHz(k) / fc) * 180.0 / std::numbers::pi, 1e-9) << k;
        ASSERT_NEAR(magnitude[k], 0.0, 1e-12) << k;
    }
    EXPECT_NEAR(phase[188], -90.0, 1e-9);
    EXPECT_GT(phase[187], -90.0);
    EXPECT_LT(phase[189], -90.0);
    // The unit receives a pass-through section for this type: no phase at all.
    const GridCurve dspPhase =
        phaseDegrees(slotResponse(channel, CurveSlots::band(2), ResponseModel::Dsp, kUnitKV520));
    EXPECT_EQ(dspPhase[188], 0.0);
}

TEST(DspResponse, GainWordIsItsOwnElementAndStaysOutOfTheTotal) {
    struct Case {
        std::uint16_t gain;
        std::uint8_t flags;
        double degrees;
    };
    for (const Case c : {Case{150, 0, 0.0}, Case{350, 0, 0.0}, Case{95, kFlagInvert, 180.0},
                         Case{150, kFlagMute | kFlagInvert, 0.0}}) {
        SCOPED_TRACE(testing::Message() << "gain " << c.gain << " flags " << int{c.flags});
        OutputChannel channel;
        channel.gain = c.gain;
        channel.flags = c.flags;
        const ComplexCurve gain = gainWordResponse(channel);
        const double word = test::wordValue(gainWord(channel).data());
        EXPECT_DOUBLE_EQ(magnitudeDb(gain)[200], 20.0 * std::log10(std::fabs(word)));
        EXPECT_EQ(phaseDegrees(gain)[200], c.degrees);
        // Only the 5 Hz guard high-pass the unit gets while the high-pass is off remains.
        EXPECT_NEAR(magnitudeDb(totalResponse(channel, kBandsInUse, ResponseModel::Dsp, kUnitKV520))[200],
                    0.0, 1e-3);
    }
}

TEST(Phase, WrappingAndUnwrapping) {
    EXPECT_EQ(wrapDegrees(-180.0), 180.0);
    EXPECT_EQ(wrapDegrees(540.0), 180.0);
    EXPECT_EQ(wrapDegrees(-190.0), 170.0);
    EXPECT_FALSE(std::signbit(wrapDegrees(-0.0)));
    // A phase falling 50 degrees a point wraps many times; unwrapped it is a straight line,
    // and a point that is not a number is stepped over.
    ComplexCurve falling;
    for (int k = 0; k < kGridPoints; ++k)
        falling[static_cast<std::size_t>(k)] = std::polar(1.0, -k * 50.0 * std::numbers::pi / 180.0);
    GridCurve wrapped = phaseDegrees(falling);
    wrapped[10] = std::numeric_limits<double>::quiet_NaN();
    const GridCurve unwrapped = unwrapDegrees(wrapped);
    EXPECT_TRUE(std::isnan(unwrapped[10]));
    for (int k = 0; k < kGridPoints; ++k) {
        if (k == 10) continue;
        ASSERT_NEAR(unwrapped[k], -50.0 * k, 1e-6) << k;
    }
}

TEST(ModelDifference, WarningTexts) {
    struct Case {
        int point;
        double decibels;
        const char* text;
    };
    const Case cases[] = {
        {0, 4.6, "DSP differs by 4.6 dB at 9.8 Hz"},
        {88, -2.34, "DSP differs by 2.3 dB at 53.6 Hz"},  // index 100
        {150, 12.0, "DSP differs by 12.0 dB at 177 Hz"},  // index 162
        {240, 1.5, "DSP differs by 1.5 dB at 1k00 Hz"},
        {388, -3.0, "DSP differs by 3.0 dB at 17k3 Hz"},  // index 400
        {100, 1.0, ""},                                   // not more than 1 dB
        {-1, 9.0, ""},                                    // nothing compared
    };
    for (const Case& c : cases)
        EXPECT_EQ(modelDifferenceWarning({c.point, 0.0, c.decibels}), c.text) << c.point;
}

TEST(ModelDifference, DeepNotchesAndPointsOutsideTheSpanDoNotCount) {
    GridCurve dsp{};
    GridCurve model{};
    model[240] = -std::numeric_limits<double>::infinity();  // a notch on the grid point
    dsp[240] = -85.0;                                       // the unit's notch, slightly moved
    dsp[10] = 12.0;                                         // 11.9 Hz, below the span
    dsp[300] = std::numeric_limits<double>::quiet_NaN();
    model[200] = -0.5;
    const ModelDifference worst = worstDifference(dsp, model);
    EXPECT_EQ(worst.point, 200);
    EXPECT_DOUBLE_EQ(worst.decibels, 0.5);
}

}  // namespace
}  // namespace kv
