#include "editing/OutputPageRules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kv {
namespace {

TEST(OutputPageRules, GainTextToCode) {
    struct Case {
        std::string text;
        std::optional<int> code;
    };
    const std::vector<Case> cases = {
        {"3", 120},    {"1.25", 138}, {"0", 150},      {"-0.05", 150},  {"20", -50},
        {"+12.5", 25}, {"+12", 30},   {"-30", 450},    {"-30.09", 450}, {"-30.1", 450},
        {"-45", 450},  {"-2.3", 173}, {" 6dB", 90},    {"+ 5.0dB", {}}, {"dB", {}},
        {"", {}},      {"1e9", -850}, {"-1e300", 450}, {"nan", {}},     {"-12.34", 273},
    };
    for (const Case& c : cases) EXPECT_EQ(gainCodeFromText(c.text), c.code) << '"' << c.text << '"';
}

TEST(OutputPageRules, DelayTextToCode) {
    struct Case {
        std::string text;
        std::optional<int> code;
    };
    const std::vector<Case> cases = {
        {"21.3", 2038},    {"21.2292", 2038}, {"1", 96},      {"0.0052", 0}, {"0.0053", 1},
        {"10.5 mS", 1008}, {"-3", 0},         {"1e12", 2038}, {"x", {}},     {" 0.5", 48},
    };
    for (const Case& c : cases) EXPECT_EQ(delayCodeFromText(c.text), c.code) << '"' << c.text << '"';
}

TEST(OutputPageRules, DelayTrackbarSteps) {
    struct Case {
        ScrollAction action;
        int stored, thumb, result;
    };
    const std::vector<Case> cases = {
        {ScrollAction::LineLeft, 100, 7, 99},   {ScrollAction::LineLeft, 0, 7, 0},
        {ScrollAction::LineRight, 100, 7, 101}, {ScrollAction::PageLeft, 100, 7, 90},
        {ScrollAction::PageLeft, 4, 7, 0},      {ScrollAction::PageRight, 2030, 7, 2040},
        {ScrollAction::Thumb, 100, 7, 7},       {ScrollAction::Thumb, 100, 1500, 1500},
        {ScrollAction::Thumb, 100, -3, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(delayAfterScroll(c.action, c.stored, c.thumb), c.result)
            << static_cast<int>(c.action) << " from " << c.stored;
    }
}

TEST(OutputPageRules, GainSliderPositionsAndCodes) {
    struct Case {
        int position, code;
    };
    // Top: +12 dB; the slider's home 120: 0 dB; bottom 420: -30 dB.
    for (const Case& c : {Case{0, 30}, Case{120, 150}, Case{195, 225}, Case{420, 450}}) {
        EXPECT_EQ(gainSliderPosition(c.code), c.position) << c.code;
        EXPECT_EQ(gainCodeForSliderPosition(c.position), c.code) << c.position;
    }
}

TEST(OutputPageRules, RowsOverTheBands) {
    struct Case {
        int bands, maximum;
    };
    for (const Case& c : {Case{8, 3}, Case{6, 1}, Case{5, 0}, Case{3, 0}})
        EXPECT_EQ(rowScrollMaximum(c.bands, 5), c.maximum) << c.bands << " bands";
    EXPECT_EQ(bandInRow(3, 4), 7) << "scrolled to the end, the bottom row shows band 8";
    EXPECT_EQ(bandInRow(0, 2), 2);
}

TEST(OutputPageRules, RowScrollIsLimited) {
    EXPECT_EQ(firstRowAfterScroll(-1, 3), 0);
    EXPECT_EQ(firstRowAfterScroll(2, 3), 2);
    EXPECT_EQ(firstRowAfterScroll(4, 3), 3);
    EXPECT_EQ(firstRowAfterScroll(1, -2), 0) << "fewer than five bands: no scrolling";
}

TEST(OutputPageRules, ListTexts) {
    EXPECT_EQ(limiterLevelText(0), " +0dB");
    EXPECT_EQ(limiterLevelText(1), " -1dB");
    EXPECT_EQ(limiterLevelText(20), " -20dB");
    EXPECT_EQ(releaseListText(0), "Atk x2");
    EXPECT_EQ(releaseListText(3), "Atk x16");
    EXPECT_EQ(releaseListText(4), "Atk x32");
}

TEST(OutputPageRules, TemperatureColourTable) {
    struct Case {
        int t;
        Colour background;
        bool whiteText;
    };
    const std::vector<Case> cases = {
        {-10, {192, 192, 192}, false}, {-40, {192, 192, 192}, false}, {-9, {0, 255, 0}, false},
        {0, {0, 255, 0}, false},       {50, {0, 255, 0}, false},      {51, {30, 250, 0}, false},
        {59, {190, 250, 0}, false},    {60, {210, 250, 0}, false},    {61, {230, 250, 0}, false},
        {62, {250, 250, 0}, false},    {63, {250, 250, 0}, false},    {65, {250, 210, 0}, false},
        {66, {250, 190, 0}, true},     {74, {250, 30, 0}, true},      {75, {255, 0, 0}, true},
        {255, {255, 0, 0}, true},
    };
    for (const Case& c : cases) {
        const TemperatureColours d = temperatureColours(c.t);
        EXPECT_EQ(d.background, c.background) << c.t;
        EXPECT_EQ(d.text, c.whiteText ? MakeRgb(255, 255, 255) : MakeRgb(0, 0, 0)) << c.t;
    }
}

}  // namespace
}  // namespace kv
