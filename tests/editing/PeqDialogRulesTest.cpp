#include "editing/PeqDialogRules.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>

#include "document/ValueText.h"
#include "editing/input/FrequencyInput.h"

namespace kv {
namespace {

constexpr ValueRange kPeqGain{-300, 150};
constexpr ValueRange kShelfGain{-150, 150};
constexpr ValueRange kPeqQ{0, 100};
constexpr ValueRange kPhaseQ{0, 89};
constexpr ValueRange kShelfQ{84, 108};

TEST(PeqDialogRules, GainTextIsTruncatedToTenthsAndLimitedWithoutWrapping) {
    const struct {
        std::string text;
        ValueRange range;
        std::optional<int> gain;
    } cases[] = {
        {"3", kPeqGain, 30},
        {"-4.55", kPeqGain, -45},
        {"+1.1dB", kPeqGain, 11},
        {"-0.3", kPeqGain, -3},
        {"20", kPeqGain, 150},
        {"-45", kPeqGain, -300},
        {"-20", kShelfGain, -150},
        {"4000", kPeqGain, 150},     // would wrap to a negative 16-bit value if not
                                     // limited first
        {"3276.8", kPeqGain, 150},   // exactly 32768 tenths
        {"-1e300", kPeqGain, -300},  // far beyond any integer
        {"5", {0, 0}, 0},
        {"", kPeqGain, std::nullopt},
        {"loud", kPeqGain, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("text: \"" + c.text + "\"");
        EXPECT_EQ(bandGainFromText(c.text, c.range), c.gain);
    }
}

TEST(PeqDialogRules, EveryShownGainTextReadsBackToTheSameGain) {
    // Leaving the gain edit commits what it shows; that must never change the band.
    for (int gain = -300; gain <= 150; ++gain) {
        char shown[16];
        std::snprintf(shown, sizeof shown, "%+5.1fdB", gain / 10.0);
        EXPECT_EQ(bandGainFromText(shown, kPeqGain), gain) << shown;
    }
}

TEST(PeqDialogRules, QTextInQBandwidthAndPhaseModes) {
    const struct {
        std::string text;
        int type;
        bool showQ;
        ValueRange range;
        std::optional<int> q;
    } cases[] = {
        {"1", 0, true, kPeqQ, 84},
        {"1.00", 0, true, kPeqQ, 84},
        {"2", 0, true, kPeqQ, 72},
        {"3.0", 0, true, kPeqQ, 65},
        {"128", 0, true, kPeqQ, 0},
        {"500", 0, true, kPeqQ, 0},
        {"0.1", 0, true, kPeqQ, 100},
        {"0.01", 0, true, {0, 128}, 124},
        {"-3", 0, true, {0, 128}, 124},
        {"1", 0, false, kPeqQ, 84},
        {"0.5", 0, false, kPeqQ, 72},
        {"2", 0, false, {0, 128}, 96},
        {"0", 0, false, kPeqQ, 0},
        {"1.0000", 0, false, kPeqQ, 84},
        {"0.5", 1, true, kShelfQ, 96},
        {"8", 1, true, kShelfQ, 84},
        {"90", 8, true, kPhaseQ, 45},
        {"200", 8, true, kPhaseQ, 89},
        {"178", 8, true, kPhaseQ, 89},
        {"-20", 8, true, kPhaseQ, 0},
        {"91", 8, false, kPhaseQ, 45},
        {"90°", 8, true, kPhaseQ, 45},
        {"wide", 0, true, kPeqQ, std::nullopt},
        {"", 8, true, kPhaseQ, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("text: \"" + c.text + "\" type " + std::to_string(c.type) + (c.showQ ? " Q" : " BW"));
        EXPECT_EQ(bandQFromText(c.text, c.type, c.showQ, c.range), c.q);
    }
}

TEST(PeqDialogRules, QBarIsReversedExceptForPhase) {
    EXPECT_EQ(qBarPosition(84, 0, kPeqQ), 16);
    EXPECT_EQ(qBarPosition(45, 8, kPhaseQ), 45);
    EXPECT_EQ(qBarPosition(90, 1, kShelfQ), 18);

    const struct {
        ScrollAction action;
        int type;
        ValueRange range;
        int current, thumb, expected;
    } cases[] = {
        // ordinary types: right raises the Q, so the index falls
        {ScrollAction::LineLeft, 0, kPeqQ, 65, 0, 66},
        {ScrollAction::LineRight, 0, kPeqQ, 65, 0, 64},
        {ScrollAction::PageLeft, 0, kPeqQ, 65, 0, 75},
        {ScrollAction::PageRight, 0, kPeqQ, 65, 0, 55},
        {ScrollAction::Thumb, 0, kPeqQ, 65, 30, 70},
        {ScrollAction::PageRight, 0, kPeqQ, 5, 0, 0},
        {ScrollAction::PageLeft, 0, kPeqQ, 95, 0, 100},
        {ScrollAction::Thumb, 1, kShelfQ, 90, 0, 108},
        {ScrollAction::Thumb, 1, kShelfQ, 90, 24, 84},
        {ScrollAction::LineRight, 1, kShelfQ, 84, 0, 84},
        // Phase runs the natural way
        {ScrollAction::LineLeft, 8, kPhaseQ, 45, 0, 44},
        {ScrollAction::LineRight, 8, kPhaseQ, 45, 0, 46},
        {ScrollAction::PageLeft, 8, kPhaseQ, 45, 0, 35},
        {ScrollAction::PageRight, 8, kPhaseQ, 85, 0, 89},
        {ScrollAction::Thumb, 8, kPhaseQ, 45, 12, 12},
        // a single-value range cannot move
        {ScrollAction::PageLeft, 11, {72, 72}, 72, 0, 72},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("type " + std::to_string(c.type) + " from " + std::to_string(c.current));
        EXPECT_EQ(qAfterScroll(c.current, c.action, c.thumb, c.type, c.range), c.expected);
    }
}

TEST(PeqDialogRules, FrequencyBarStepsByOneAndByAnOctave) {
    constexpr ValueRange kPeqFrequency{48, 432};
    const struct {
        ScrollAction action;
        int current, thumb, expected;
    } cases[] = {
        {ScrollAction::LineLeft, 252, 0, 251}, {ScrollAction::LineRight, 252, 0, 253},
        {ScrollAction::PageLeft, 252, 0, 216}, {ScrollAction::PageRight, 252, 0, 288},
        {ScrollAction::Thumb, 252, 100, 100},  {ScrollAction::PageLeft, 60, 0, 48},
        {ScrollAction::LineLeft, 0, 0, 48},    {ScrollAction::PageRight, 420, 0, 432},
        {ScrollAction::Thumb, 252, 500, 432},  {ScrollAction::LineRight, 500, 0, 432},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.current);
        EXPECT_EQ(frequencyAfterScroll(c.current, c.action, c.thumb, kPeqFrequency), c.expected);
    }
}

TEST(PeqDialogRules, GainSliderMapsPositionsFromTheTopOfTheRange) {
    const struct {
        int position;
        ValueRange range;
        int gain;
    } cases[] = {
        {0, kPeqGain, 150},      {150, kPeqGain, 0},      {450, kPeqGain, -300}, {451, kPeqGain, -300},
        {-5, kPeqGain, 150},     {100, kPeqGain, 50},     {0, kShelfGain, 150},  {150, kShelfGain, 0},
        {300, kShelfGain, -150}, {400, kShelfGain, -150}, {200, {0, 0}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.position);
        const int gain = bandGainFromSlider(c.position, c.range);
        EXPECT_EQ(gain, c.gain);
    }
    // The slider is set back to where the stored gain sits: shelves stop at 300.
    EXPECT_EQ(sliderPositionForBandGain(bandGainFromSlider(400, kShelfGain)), 300);
    EXPECT_EQ(sliderPositionForBandGain(0), kPeqSliderHome);
}

TEST(PeqDialogRules, TypeChangeOnlyOnAFlatBandAndWithTheTypesDefaultQ) {
    const struct {
        int current;
        bool flat;
        int chosen;
        bool write;
        std::optional<int> q;
    } cases[] = {
        {0, false, 1, false, std::nullopt},
        {0, true, 0, false, std::nullopt},
        {0, true, 1, true, 90},
        {0, true, 2, true, 90},
        {0, true, 9, true, 90},
        {0, true, 10, true, 90},
        {1, true, 0, true, 65},
        {0, true, 5, true, std::nullopt},
        {0, true, 8, true, std::nullopt},
        {7, true, 11, true, std::nullopt},
        {12, false, 0, false, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.current) + " -> " + std::to_string(c.chosen));
        const TypeChange change = typeChangeFor(c.current, c.flat, c.chosen);
        EXPECT_EQ(change.writeType, c.write);
        EXPECT_EQ(change.q, c.q);
    }
}

TEST(PeqDialogRules, BandSteppingStopsAtBothEnds) {
    EXPECT_EQ(previousBandIndex(0), 0);
    EXPECT_EQ(previousBandIndex(3), 2);
    EXPECT_EQ(nextBandIndex(6, 7), 7);
    EXPECT_EQ(nextBandIndex(7, 7), 7);
}

// Leaving a field commits what it shows, so every shown text must read back as the value
// it shows; otherwise tabbing through the dialog would drift the band.
TEST(PeqDialogRules, EveryShownTextReadsBackToTheSameCode) {
    for (int index = 13; index <= 432; ++index) {
        EXPECT_EQ(frequencyIndexFromText(frequencyText(index)), index) << frequencyText(index);
    }
    for (const bool showQ : {true, false}) {
        // 108 (Q 0.25) is the widest band any type allows.
        for (int q = 0; q <= 108; ++q) {
            const std::string shown = bandWidthText(q, PeqPeaking, showQ);
            EXPECT_EQ(bandQFromText(shown, PeqPeaking, showQ, {0, 128}), q)
                << shown << (showQ ? " Q" : " BW");
        }
    }
    for (int q = 0; q <= 89; ++q) {
        const std::string shown = bandWidthText(q, PeqPhase, true);
        EXPECT_EQ(bandQFromText(shown, PeqPhase, true, {0, 89}), q) << shown;
    }
}

}  // namespace
}  // namespace kv
