#include "editing/SelectedElement.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(SelectedElement, CodesAndBands) {
    struct Case {
        SelectedElement element;
        int code;
        std::optional<int> band;
    };
    const Case cases[] = {
        {SelectedElement::None, 0, std::nullopt},
        {SelectedElement::HighPass, 1, std::nullopt},
        {SelectedElement::LowPass, 2, std::nullopt},
        {bandElement(0), 3, 0},
        {bandElement(7), 10, 7},
        {bandElement(11), 14, 11},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(selectionCode(c.element), c.code);
        EXPECT_EQ(bandOfElement(c.element), c.band) << c.code;
    }
}

}  // namespace
}  // namespace kv
