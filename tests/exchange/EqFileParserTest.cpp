#include "exchange/EqFileParser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "response/analog/FilterCurve.h"

namespace kv {
namespace {

// Files in the three dialects, written for these tests in each format's own layout.
const std::string kRewExport =
    "Filter Settings file\n"
    "\n"
    "Room EQ V5.20\n"
    "Dated: 14-Mar-2024 10:15:32\n"
    "\n"
    "Notes:Living room, left speaker\n"
    "\n"
    "Equaliser: Generic\n"
    "Left 14 Mar 10:14:55\n"
    "Filter  1: ON  PK       Fc   48.50 Hz  Gain  -6.30 dB  Q  4.600\n"
    "Filter  2: ON  LS       Fc   80.0 Hz  Gain   3.00 dB\n"
    "Filter  3: ON  None\n"
    "Filter  4: OFF PK       Fc  120.0 Hz  Gain  -2.00 dB  Q  2.000\n"
    "Filter  5: ON  HP1      Fc   25.0 Hz\n"
    "Filter  6: ON  LS 6dB   Fc  100.0 Hz  Gain   2.00 dB\n"
    "Filter  7: ON  None\n";

const std::string kAutoEq =
    "Preamp: -6.4 dB\n"
    "Filter 1: ON LSC Fc 105 Hz Gain 6.3 dB Q 0.70\n"
    "Filter 2: ON PK Fc 171 Hz Gain -1.9 dB Q 0.52\n"
    "Filter 3: ON HSC Fc 10000 Hz Gain -0.5 dB Q 0.70\n";

const std::string kApoConfig =
    "\xEF\xBB\xBF# Living room\r\n"
    "Device: Speakers\r\n"
    "Preamp: -3 dB\r\n"
    "Include: example.txt\r\n"
    "Channel: L\r\n"
    "Filter: ON PK Fc 1000 Hz Gain -4 dB BW Oct 1\r\n"
    "Filter 2: ON NO Fc 60 Hz Q 10\r\n"
    "Channel: R C\r\n"
    "Filter: ON LPQ Fc 18000.5 Hz Q 0.5\r\n"
    "Channel: all\r\n"
    "Filter:ON  AP  Fc 300Hz  BW Oct 2\r\n"
    "GraphicEQ: 25 0; 40 -2\r\n";

struct ExpectedFilter {
    int line;
    EqTarget target;
    int peqType;
    double fc, gainDb, q;
    int scope;
};

struct ExpectedMessage {
    int line;
    EqMessageKind kind;
    std::string contains;
};

struct DialectCase {
    const char* name;
    std::string text;
    std::vector<ExpectedFilter> filters;
    std::vector<double> preamps;
    std::vector<std::string> channels;
    std::vector<ExpectedMessage> messages;
};

TEST(EqFileParser, ReadsEachDialect) {
    const double q1Oct = std::sqrt(2.0);  // 2^(1/2) / (2 - 1)
    const double q2Oct = 2.0 / 3.0;       // 2^(2/2) / (4 - 1)
    const EqTarget band = EqTarget::Band;
    const std::vector<DialectCase> cases{
        {"REW export",
         kRewExport,
         {{10, band, PeqPeaking, 48.5, -6.3, 4.6, 0},
          {11, band, PeqLowShelf, 80.0, 3.0, 0.71, 0},
          {14, EqTarget::HighPassCrossover, PeqHighPass, 25.0, 0.0, 0.71, 0},
          {15, EqTarget::Refused, 0, 0.0, 0.0, 0.0, 0}},
         {},
         {},
         {{13, EqMessageKind::Ignored, "switched off"}}},
        {"AutoEq",
         kAutoEq,
         {{2, band, PeqLowShelf, 105, 6.3, 0.70, 0},
          {3, band, PeqPeaking, 171, -1.9, 0.52, 0},
          {4, band, PeqHighShelf, 10000, -0.5, 0.70, 0}},
         {-6.4},
         {},
         {}},
        {"Equalizer APO",
         kApoConfig,
         {{6, band, PeqPeaking, 1000, -4, q1Oct, 1},
          {7, band, PeqNotch, 60, 0, 10, 1},
          {9, band, PeqVariQLowPass, 18000.5, 0, 0.5, 2},
          {11, band, PeqAllPass, 300, 0, q2Oct, 0}},
         {-3},
         {"L", "R", "C"},
         {{2, EqMessageKind::Ignored, "\"Device:\""},
          {4, EqMessageKind::Ignored, "\"Include:\""},
          {12, EqMessageKind::Ignored, "\"GraphicEQ:\""}}},
    };
    for (const DialectCase& c : cases) {
        SCOPED_TRACE(c.name);
        const EqFile file = parseEqFile(c.text);
        ASSERT_EQ(file.filters.size(), c.filters.size());
        for (std::size_t i = 0; i < c.filters.size(); ++i) {
            const ExpectedFilter& e = c.filters[i];
            const EqFilter& f = file.filters[i];
            SCOPED_TRACE(e.line);
            EXPECT_EQ(f.line, e.line);
            EXPECT_EQ(f.target, e.target);
            EXPECT_EQ(f.scope, e.scope);
            if (e.target == EqTarget::Refused) continue;
            EXPECT_EQ(f.peqType, e.peqType);
            EXPECT_DOUBLE_EQ(f.frequency, e.fc);
            EXPECT_DOUBLE_EQ(f.gainDb, e.gainDb);
            EXPECT_NEAR(f.q, e.q, 1e-12);
        }
        ASSERT_EQ(file.preamps.size(), c.preamps.size());
        for (std::size_t i = 0; i < c.preamps.size(); ++i)
            EXPECT_DOUBLE_EQ(file.preamps[i].gainDb, c.preamps[i]);
        EXPECT_EQ(file.channels, c.channels);
        EXPECT_FALSE(file.hasErrors());
        ASSERT_EQ(file.messages.size(), c.messages.size());
        for (std::size_t i = 0; i < c.messages.size(); ++i) {
            EXPECT_EQ(file.messages[i].line, c.messages[i].line);
            EXPECT_EQ(file.messages[i].kind, c.messages[i].kind);
            EXPECT_NE(file.messages[i].text.find(c.messages[i].contains), std::string::npos)
                << file.messages[i].text;
        }
    }
}

TEST(EqFileParser, ShelfVariantsAndUnknownTypesAreRefusedWithAReason) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"Filter: ON LS 6dB Fc 100 Hz Gain 3 dB", "fixed slope"},
        {"Filter: ON HS 12dB Fc 8000 Hz Gain 3 dB", "fixed slope"},
        {"Filter: ON LSC 10 dB Fc 100 Hz Gain 3 dB", "fixed slope"},
        {"Filter: ON LSD Fc 100 Hz Gain 3 dB", "\"LSD\" shelves"},
        {"Filter: ON HSD Fc 100 Hz Gain 3 dB", "\"HSD\" shelves"},
        {"Filter: ON IIR Order 2 Coefficients 1 0 0 1 0 0", "\"IIR\" is not a filter type"},
    };
    for (const auto& [line, reason] : cases) {
        const EqFile file = parseEqFile(line);
        ASSERT_EQ(file.filters.size(), 1u) << line;
        EXPECT_EQ(file.filters[0].target, EqTarget::Refused) << line;
        EXPECT_NE(file.filters[0].refusal.find(reason), std::string::npos) << file.filters[0].refusal;
        EXPECT_FALSE(file.hasErrors()) << line;
    }
}

TEST(EqFileParser, BadLinesGetTheirOwnErrorAndNeverAFilter) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"Filter 1: ON PK Fc \x01\x02\xFF Hz", "not text"},
        {"Filter 1: ON PK Fc nan Hz Gain 1 dB Q 1", "not a finite number"},
        {"Filter 1: ON PK Fc 1e999 Hz Gain 1 dB Q 1", "out of range"},
        {"Filter 1: ON PK Fc 5 Hz Gain 1 dB Q 1", "outside the unit's range"},
        {"Filter 1: ON PK Fc 40000 Hz Gain 1 dB Q 1", "outside the unit's range"},
        {"Filter 1: ON PK Fc 1000 Hz Gain 500 dB Q 1", "beyond any filter"},
        {"Filter 1: ON PK Fc 1000 Hz Gain 1 dB Q 0", "Q 0 is outside"},
        {"Filter 1: ON PK Fc 1000 Hz Gain 1 dB BW Oct -1", "BW Oct -1 is outside"},
        {"Filter 1: ON PK Fc 1000 Hz Q 1", "needs a Gain"},
        {"Filter 1: ON NO Fc 1000 Hz", "needs a Q"},
        {"Filter 1: ON HP1 Fc 100 Hz Q 0.7", "takes no Q"},
        {"Filter 1: ON PK Fc 1000 Hz Gain 1 dB Q 1 BW Oct 1", "not both"},
        {"Filter 1: ON PK Fc 1000 Hz Fc 900 Hz Gain 1 dB Q 1", "Fc is given twice"},
        {"Filter 1: ON PK Fc 1000 Hz Gain 1 dB Q 0,7", "decimals take a point"},
        {"Filter 1: ON PK Fc 1000 Hz Gain +-1 dB Q 1", "not a number"},
        {"Filter 1: ON PK Fc 1000 Hz Gain 1 dB Slope 1", "unexpected \"Slope\""},
        {"Filter 1: MAYBE PK Fc 1000 Hz", "expected ON or OFF"},
        {"Filter 1: ON", "no filter type"},
        {"Preamp: loud", "not a number"},
        {"Preamp: -300 dB", "beyond any gain"},
        {"Channel:", "names no channel"},
    };
    for (const auto& [line, problem] : cases) {
        const EqFile file = parseEqFile("# first line\n" + line + "\nPreamp: -1 dB\n");
        EXPECT_TRUE(file.filters.empty()) << line;
        EXPECT_EQ(file.errorLines, 1) << line;
        ASSERT_FALSE(file.messages.empty()) << line;
        EXPECT_EQ(file.messages[0].line, 2) << line;
        EXPECT_EQ(file.messages[0].kind, EqMessageKind::Error) << line;
        EXPECT_NE(file.messages[0].text.find(problem), std::string::npos)
            << line << " -> " << file.messages[0].text;
    }
}

TEST(EqFileParser, HugeInputsStayBoundedAndAreCountedInFull) {
    std::string manyFilters;
    for (int i = 0; i < 2000; ++i) manyFilters += "Filter: ON PK Fc 1000 Hz Gain -1 dB Q 2\n";
    EXPECT_EQ(parseEqFile(manyFilters).filters.size(), 2000u);

    std::string junk;
    for (int i = 0; i < 1500; ++i) junk += "Filter: ON PK Fc x Hz\n";
    const EqFile bad = parseEqFile(junk);
    EXPECT_EQ(bad.errorLines, 1500);
    EXPECT_EQ(bad.messages.size(), kMaxEqMessages);
    EXPECT_EQ(bad.messagesLeftOut, 1500u - kMaxEqMessages);

    const EqFile tooLarge = parseEqFile(std::string(kMaxEqFileBytes + 1, '#'));
    EXPECT_TRUE(tooLarge.hasErrors());
    EXPECT_TRUE(tooLarge.filters.empty());
    const EqFile utf16 = parseEqFile(std::string("\xFF\xFEP\0r\0", 6));
    ASSERT_EQ(utf16.messages.size(), 1u);
    EXPECT_NE(utf16.messages[0].text.find("UTF-16"), std::string::npos);
}

}  // namespace
}  // namespace kv
