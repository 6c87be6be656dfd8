#include "editing/PresetOrder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <string>

namespace kv {
namespace {

PresetOrderArray identityOrder() {
    PresetOrderArray order{};
    std::iota(order.begin(), order.end(), std::int16_t{0});
    return order;
}

// Renders an order as the 1-based position numbers the user sees ("2,3,1,4,...").
std::string shown(const PresetOrderArray& order) {
    std::string text;
    for (const std::int16_t slot : order) {
        if (!text.empty()) text += ',';
        text += std::to_string(slot + 1);
    }
    return text;
}

struct DropCase {
    int dragged;
    int drop;
    bool moves;
    const char* result;
};

class PresetDropTest : public ::testing::TestWithParam<DropCase> {};

TEST_P(PresetDropTest, PutsDraggedPresetAfterDropItem) {
    const DropCase& c = GetParam();
    PresetOrderArray order = identityOrder();
    EXPECT_EQ(movePresetAfter(order, c.dragged, c.drop), c.moves);
    EXPECT_EQ(shown(order), c.result);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PresetDropTest,
    ::testing::Values(DropCase{1, 3, true, "2,3,1,4,5,6,7,8,9,10"},   // down two
                      DropCase{3, 1, true, "1,3,2,4,5,6,7,8,9,10"},   // up one
                      DropCase{2, 1, false, "1,2,3,4,5,6,7,8,9,10"},  // onto the one above
                      DropCase{2, 2, false, "1,2,3,4,5,6,7,8,9,10"},  // onto itself
                      DropCase{3, 0, true, "3,1,2,4,5,6,7,8,9,10"},   // onto the root
                      DropCase{1, 0, false, "1,2,3,4,5,6,7,8,9,10"},  // first onto the root
                      DropCase{1, 10, true, "2,3,4,5,6,7,8,9,10,1"},  // to the very end
                      DropCase{10, 0, true, "10,1,2,3,4,5,6,7,8,9"},  // last to the top
                      DropCase{9, 10, true, "1,2,3,4,5,6,7,8,10,9"},  // swap with the next
                      DropCase{0, 3, false, "1,2,3,4,5,6,7,8,9,10"},  // the root is not dragged
                      DropCase{11, 3, false, "1,2,3,4,5,6,7,8,9,10"},
                      DropCase{3, 11, false, "1,2,3,4,5,6,7,8,9,10"},
                      DropCase{3, -1, false, "1,2,3,4,5,6,7,8,9,10"}));

TEST(PresetOrder, MovesSlotNumbersNotPositions) {
    // A bank already reordered: the dragged entry carries its slot with it.
    PresetOrderArray order{4, 0, 7, 1, 2, 3, 5, 6, 8, 9};
    ASSERT_TRUE(movePresetAfter(order, 3, 0));
    EXPECT_EQ(shown(order), "8,5,1,2,3,4,6,7,9,10");
    ASSERT_TRUE(movePresetAfter(order, 1, 4));
    EXPECT_EQ(shown(order), "5,1,2,8,3,4,6,7,9,10");
}

TEST(PresetOrder, EveryMoveKeepsAPermutation) {
    for (int s = 1; s <= kPresetCount; ++s) {
        for (int d = 0; d <= kPresetCount; ++d) {
            PresetOrderArray order = identityOrder();
            movePresetAfter(order, s, d);
            PresetOrderArray sorted = order;
            std::sort(sorted.begin(), sorted.end());
            EXPECT_EQ(sorted, identityOrder()) << "drag " << s << " onto " << d;
            // The dragged slot sits right after the drop item (or first, for the root).
            const auto it = std::find(order.begin(), order.end(), static_cast<std::int16_t>(s - 1));
            const int expected = d > s ? d - 1 : (d < s - 1 ? d : s - 1);
            EXPECT_EQ(it - order.begin(), expected) << "drag " << s << " onto " << d;
        }
    }
}

}  // namespace
}  // namespace kv
