#include "editing/input/FrequencyInput.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "editing/input/NumberInput.h"

namespace kv {
namespace {

struct NumberCase {
    std::string text;
    std::optional<double> expected;
};

TEST(NumberInput, ReadsTheLeadingNumberAndIgnoresUnitsAndJunk) {
    const NumberCase cases[] = {
        {"3", 3.0},
        {"  -4.5dB", -4.5},
        {"+1.25", 1.25},
        {".5", 0.5},
        {"-.5", -0.5},
        {"2.", 2.0},
        {"1e3Hz", 1000.0},
        {"\t7 ms", 7.0},
        {"1.5.", 1.5},
        {"", std::nullopt},
        {"abc", std::nullopt},
        {"dB 3", std::nullopt},
        {"-", std::nullopt},
        {"--5", std::nullopt},
        {"inf", std::nullopt},
        {"nan", std::nullopt},
        {"1e999", std::nullopt},
        {"+-3", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("text: \"" + c.text + "\"");
        const auto read = readLeadingNumber(c.text);
        ASSERT_EQ(read.has_value(), c.expected.has_value());
        if (read) {
            EXPECT_DOUBLE_EQ(*read, *c.expected);
        }
    }
}

TEST(FrequencyInput, HzToIndexRoundsToTheNearestStepAndStaysInRange) {
    const std::pair<double, int> cases[] = {
        {1000.0, 252}, {20000.0, 408}, {32000.0, 432}, {7.8125, 0},    {15.625, 36},  {0.0, 0},
        {-50.0, 0},    {0.1, 0},       {1e12, 500},    {40000.0, 444}, {1018.0, 253}, {982.0, 251},
    };
    for (const auto& [hz, index] : cases) {
        SCOPED_TRACE(hz);
        EXPECT_EQ(frequencyIndexForHz(hz), index);
    }
}

TEST(FrequencyInput, TextWithKMeansKilohertzAndTheKIsTheDecimalPoint) {
    const std::pair<std::string, std::optional<int>> cases[] = {
        {"1k", 252},
        {"1K", 252},
        {"1k00Hz", 252},
        {" 1k00Hz", 252},
        {"1000", 252},
        {"20000", 408},
        {"40k", 444},
        {"2k", 288},
        {"1k5", frequencyIndexForHz(1500.0)},
        {"1.5k", frequencyIndexForHz(1500.0)},
        {"k5", frequencyIndexForHz(500.0)},
        {"0", 0},
        {"981Hz", 251},
        {"  94Hz", 129},
        {"10k1Hz", 372},
        {"32k0Hz", 432},
        {" <10Hz", std::nullopt},
        {">32k0Hz", std::nullopt},
        {"", std::nullopt},
        {"kHz", std::nullopt},
        {"1kk", 252},
    };
    for (const auto& [text, index] : cases) {
        SCOPED_TRACE("text: \"" + text + "\"");
        EXPECT_EQ(frequencyIndexFromText(text), index);
    }
}

}  // namespace
}  // namespace kv
