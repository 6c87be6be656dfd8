#include "editing/CrossoverRules.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace kv {
namespace {

TEST(CrossoverRules, EachFilterIsKeptOnItsSideOfTheOther) {
    const struct {
        CrossoverSide side;
        int highPass, lowPass;
        int minimum, maximum;
    } cases[] = {
        {CrossoverSide::HighPass, 85, 277, 12, 277},  // the low-pass caps the high-pass
        {CrossoverSide::HighPass, 85, 433, 12, 432},  // a low-pass out of the way leaves the type range
        {CrossoverSide::LowPass, 85, 277, 85, 433},   // the high-pass floors the low-pass
        {CrossoverSide::LowPass, 12, 277, 78, 433},   // a high-pass out of the way leaves the type range
        {CrossoverSide::LowPass, 277, 413, 277, 433},
        // crossed values from a file still give a range a scroll bar can show
        {CrossoverSide::HighPass, 300, 5, 12, 12},
        {CrossoverSide::LowPass, 480, 300, 433, 433},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.highPass) + "/" + std::to_string(c.lowPass));
        const ValueRange limits = crossoverLimits(c.side, c.highPass, c.lowPass, kUnitKV420);
        EXPECT_EQ(limits.minimum, c.minimum);
        EXPECT_EQ(limits.maximum, c.maximum);
    }
}

TEST(CrossoverRules, TypedFrequencyIsLimitedToTheLimitsInForce) {
    const struct {
        std::string text;
        ValueRange limits;
        std::optional<int> index;
    } cases[] = {
        {"5k", {12, 277}, 277},  {"1k", {12, 277}, 252}, {"40", {85, 433}, 85},
        {"40k", {78, 433}, 433}, {"1", {12, 432}, 12},   {"x", {12, 432}, std::nullopt},
        {"2K", {12, 432}, 288},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(crossoverFrequencyFromText(c.text, c.limits), c.index);
    }
}

TEST(CrossoverRules, OfferedSlopesAreFoundByCodeAndTheOthersAreNot) {
    const std::pair<int, std::optional<int>> cases[] = {
        {7, 0},
        {0, 1},
        {1, 2},
        {8, 3},
        {2, 4},
        {6, 8},
        {9, std::nullopt},
        {10, std::nullopt},
        {11, std::nullopt},
        {-1, std::nullopt},
        {255, std::nullopt},
    };
    for (const auto& [code, row] : cases) {
        SCOPED_TRACE(code);
        EXPECT_EQ(offeredSlopeRow(code), row);
    }
}

}  // namespace
}  // namespace kv
