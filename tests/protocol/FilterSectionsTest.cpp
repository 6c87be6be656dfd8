// Filter sections and crossovers judged by their response, not by their words.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "protocol/ProtocolDecoding.h"
#include "protocol/UnitProtocol.h"

namespace kv {
namespace {

using test::hex;

double gainAt(const FilterSection& s, double f) { return test::sectionGainDb(s.data(), f); }

TEST(Sections, CookbookShapesHaveTheirDefiningGains) {
    const double f0 = 1000.0;
    const struct {
        const char* what;
        int type;
        double gainDb, q, at, expectedDb, tolerance;
    } cases[] = {
        {"peak +6 at centre", SectionPeaking, 6.0, 1.0, f0, 6.0, 0.01},
        {"peak -12 at centre", SectionPeaking, -12.0, 4.0, f0, -12.0, 0.01},
        {"peak flat far below", SectionPeaking, 6.0, 4.0, 20.0, 0.0, 0.01},
        {"low shelf +6 at DC", SectionLowShelf, 6.0, 1.0, 1.0, 6.0, 0.01},
        {"low shelf +6 far above", SectionLowShelf, 6.0, 1.0, 40000.0, 0.0, 0.05},
        {"low shelf midpoint", SectionLowShelf, 6.0, 1.0, f0, 3.0, 0.05},
        {"high shelf -9 far above", SectionHighShelf, -9.0, 1.0, 47000.0, -9.0, 0.05},
        {"high shelf -9 at DC", SectionHighShelf, -9.0, 1.0, 1.0, 0.0, 0.01},
        {"all-pass keeps the level", SectionAllPass, 0.0, 2.0, 700.0, 0.0, 0.001},
        {"all-pass at centre", SectionAllPass, 0.0, 2.0, f0, 0.0, 0.001},
        {"band-pass peak", SectionBandPass, 0.0, 2.0, f0, 0.0, 0.01},
        {"band-pass one decade off", SectionBandPass, 0.0, 2.0, 100.0, -26.0, 0.1},
        {"notch far off", SectionNotch, 0.0, 2.0, 20.0, 0.0, 0.01},
        {"low-pass Q 1/sqrt2 at corner", SectionLowPass, 0.0, std::sqrt(0.5), f0, -3.0103, 0.01},
        {"low-pass passes DC", SectionLowPass, 0.0, 0.7, 1.0, 0.0, 0.001},
        {"high-pass Q 2 at corner", SectionHighPass, 0.0, 2.0, f0, 6.0206, 0.01},
        {"high-pass stops low", SectionHighPass, 0.0, 0.7, 10.0, -80.0, 0.3},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(gainAt(secondOrderSection(c.type, f0, c.gainDb, c.q, false), c.at), c.expectedDb,
                    c.tolerance)
            << c.what;
    EXPECT_LT(gainAt(secondOrderSection(SectionNotch, f0, 0.0, 2.0, false), f0), -60.0);
}

TEST(Sections, BandsWithoutAFormulaOrSwitchedFlatPassThrough) {
    const std::string pass = hex(passThroughSection());
    EXPECT_EQ(pass, "00 00 00 00 00 00 00 00 00 80 00 00 00 00 00 00 00 00 00 00");
    for (const int type : {3, 4, 8, 11, 12, 13, 255}) {
        const PeqBand band{300, -60, 40, 0, static_cast<std::uint8_t>(type)};
        EXPECT_EQ(hex(peqBandSection(band)), pass) << "type " << type;
    }
    for (const int type : {0, 1, 2, 5, 6, 7, 9, 10}) {
        PeqBand band{300, -60, 40, 0, static_cast<std::uint8_t>(type)};
        EXPECT_NE(hex(peqBandSection(band)), pass) << "type " << type;
        band.flat = 1;
        EXPECT_EQ(hex(peqBandSection(band)), pass) << "flat type " << type;
    }
    EXPECT_EQ(hex(firstOrderLowPassSection(1000, true)), pass);
    EXPECT_EQ(hex(firstOrderHighPassSection(1000, true)), pass);
}

TEST(Sections, PeqBandUsesItsFrequencyGainAndQCodes) {
    const PeqBand band{252, 60, 84, 0, 0};  // 1 kHz, +6 dB, Q 1
    EXPECT_NEAR(gainAt(peqBandSection(band), 1000.0), 6.0, 0.01);
    EXPECT_NEAR(frequencyOfIndex(432), 32000.0, 1e-9);
    EXPECT_NEAR(qOfIndex(72), 2.0, 1e-12);
}

TEST(Sections, FirstOrderSectionsAreThreeDecibelsDownAtTheirCorner) {
    EXPECT_NEAR(gainAt(firstOrderLowPassSection(2000, false), 2000), -3.0103, 0.001);
    EXPECT_NEAR(gainAt(firstOrderLowPassSection(2000, false), 1), 0.0, 0.001);
    EXPECT_NEAR(gainAt(firstOrderHighPassSection(2000, false), 2000), -3.0103, 0.001);
    EXPECT_NEAR(gainAt(firstOrderHighPassSection(2000, false), 47999), 0.0, 0.001);
    EXPECT_LT(gainAt(firstOrderHighPassSection(2000, false), 20), -39.0);
}

// --- crossovers ---

double crossoverGain(int slope, int index, CrossoverSide side, double at) {
    const CrossoverSections s =
        crossoverSections({static_cast<std::uint16_t>(index), static_cast<std::uint8_t>(slope)}, side);
    return gainAt(s[0], at) + gainAt(s[1], at);
}

TEST(Crossovers, SlopesHaveTheirCornerGainAndOrder) {
    const int index = 216;  // 500 Hz
    const double f = frequencyOfIndex(index);
    const struct {
        int slope;
        double cornerDb;
        double dbPerOctave;
    } cases[] = {
        {1, -3.0103, 12},                                      // Butterworth
        {3, -3.0103, 18}, {5, -3.0103, 24}, {6, -6.0206, 24},  // Link/Riley
        {7, -3.0103, 6},  {8, -6.0206, 12},
    };
    for (const auto& c : cases)
        for (const CrossoverSide side : {CrossoverSide::LowPass, CrossoverSide::HighPass}) {
            const bool low = side == CrossoverSide::LowPass;
            EXPECT_NEAR(crossoverGain(c.slope, index, side, f), c.cornerDb, 0.02) << "slope " << c.slope;
            // Far in the stop band each octave costs the slope's dB. The corners keep those
            // octaves clear of the clock's warp near 48 kHz.
            const int corner = low ? 144 : 288;
            const double fc = frequencyOfIndex(corner);
            const double far = low ? fc * 16 : fc / 16;
            const double further = low ? fc * 32 : fc / 32;
            EXPECT_NEAR(
                crossoverGain(c.slope, corner, side, far) - crossoverGain(c.slope, corner, side, further),
                c.dbPerOctave, 0.6)
                << "slope " << c.slope << (low ? " low" : " high");
        }
}

TEST(Crossovers, BesselHighPassMirrorsTheLowPass) {
    const int index = 216;
    const double f = frequencyOfIndex(index);
    for (const int slope : {0, 2, 4})
        for (const double ratio : {0.5, 1.0, 2.0}) {
            const double low = crossoverGain(slope, index, CrossoverSide::LowPass, f * ratio);
            const double high = crossoverGain(slope, index, CrossoverSide::HighPass, f / ratio);
            EXPECT_NEAR(low, high, 0.05) << "slope " << slope << " ratio " << ratio;
        }
}

TEST(Crossovers, SteepSlopesAndFrequencyLimits) {
    const auto text = [](const CrossoverSections& s) { return hex(s[0]) + " | " + hex(s[1]); };
    const auto sections = [](int index, int slope, CrossoverSide side) {
        return crossoverSections({static_cast<std::uint16_t>(index), static_cast<std::uint8_t>(slope)}, side);
    };
    const std::string pass = hex(passThroughSection());
    for (const CrossoverSide side : {CrossoverSide::LowPass, CrossoverSide::HighPass})
        for (const int slope : {9, 10, 11, 200})
            EXPECT_EQ(text(sections(300, slope, side)), text(sections(300, 6, side))) << slope;

    const std::string fiveHz =
        hex(secondOrderSection(SectionHighPass, 5.0, 0, std::sqrt(0.5), false)) + " | " + pass;
    for (const int index : {0, 5, 12})
        for (const int slope : {0, 4, 7, 11})
            EXPECT_EQ(text(sections(index, slope, CrossoverSide::HighPass)), fiveHz);
    EXPECT_NE(text(sections(13, 1, CrossoverSide::HighPass)), fiveHz);
    EXPECT_NEAR(gainAt(sections(12, 4, CrossoverSide::HighPass)[0], 5.0), -3.0103, 0.05);

    for (const int index : {433, 500})
        EXPECT_EQ(text(sections(index, 6, CrossoverSide::LowPass)), pass + " | " + pass);
    EXPECT_NE(hex(sections(432, 6, CrossoverSide::LowPass)[0]), pass);
    // the limits belong to one side only
    EXPECT_NE(text(sections(12, 1, CrossoverSide::LowPass)), fiveHz);
    EXPECT_NE(hex(sections(433, 1, CrossoverSide::HighPass)[0]), pass);
}

}  // namespace
}  // namespace kv
