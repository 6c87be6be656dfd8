#include "editing/slider/SliderModel.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "editing/slider/SliderScale.h"

namespace kv {
namespace {

// The two configurations the program uses: the output page's gain sliders and the PEQ
// band dialog's gain slider.
SliderModel pageSlider() {
    SliderModel s;
    s.setControlSize(41, 270);
    s.setThumbSize(17, 25);
    s.setRangeMin(0);
    s.setRangeMax(420);
    s.setMargins(23, 1, 0, 0);
    s.setHomePos(120);
    s.setPos(0);
    return s;
}

SliderModel peqSlider() {
    SliderModel s;
    s.setControlSize(41, 197);
    s.setThumbSize(17, 19);
    s.setRangeMin(0);
    s.setRangeMax(450);
    s.setMargins(23, 0, 0, 0);
    s.setHomePos(150);
    s.setPos(100);
    return s;
}

constexpr SliderButtons kLeft{true, false};
constexpr SliderButtons kRight{false, true};
constexpr SliderButtons kNone{false, false};

TEST(SliderScale, RoundingAddsAHalfAndTruncatesTowardZero) {
    const std::pair<double, int> cases[] = {
        {0.0, 0},   {0.49, 0},           {0.5, 1}, {2.5, 3}, {-0.7, 0}, {-1.5, -1}, {-2.5, -2},
        {-2.6, -2}, {1e300, 1073741823},
    };
    for (const auto& [x, r] : cases) {
        SCOPED_TRACE(x);
        EXPECT_EQ(roundHalfUp(x), r);
    }
}

TEST(SliderScale, PositionsAndThumbCentresMapBothWays) {
    const SliderGeometry page{270, 25, 1, 0, 0, 420};
    const SliderGeometry peq{197, 19, 0, 0, 0, 450};
    const SliderGeometry offset{100, 10, 5, 5, -50, 50};
    // back: the position a thumb centre at that y reads as; with more positions than
    // pixels one pixel covers several positions, so it need not equal the first column.
    const struct {
        const char* name;
        SliderGeometry geometry;
        int travel;
        int position, centre, back;
    } cases[] = {
        {"page top", page, 244, 0, 13, 0},         {"page bottom", page, 244, 420, 257, 420},
        {"page home", page, 244, 120, 83, 120},    {"peq top", peq, 178, 0, 9, 0},
        {"peq bottom", peq, 178, 450, 187, 450},   {"peq home", peq, 178, 150, 68, 149},
        {"offset top", offset, 80, -50, 10, -50},  {"offset middle", offset, 80, 0, 50, 0},
        {"offset bottom", offset, 80, 50, 90, 50},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const SliderScale scale(c.geometry);
        EXPECT_EQ(scale.travel(), c.travel);
        EXPECT_EQ(scale.centreForPosition(c.position), c.centre);
        EXPECT_EQ(scale.positionForCentre(c.centre), c.back);
    }
    const SliderScale scale(page);
    EXPECT_EQ(scale.highestCentre(), 13);
    EXPECT_EQ(scale.lowestCentre(), 258);
    EXPECT_EQ(scale.positionForCentre(258), 422);  // past the end; the slider clamps it
    EXPECT_EQ(scale.positionForCentre(0), -21);
}

TEST(SliderScale, AnEmptyRangeOrTravelPinsTheThumbInsteadOfDividingByZero) {
    const SliderScale noRange(SliderGeometry{100, 10, 0, 0, 5, 5});
    EXPECT_EQ(noRange.centreForPosition(5), 5);
    EXPECT_EQ(noRange.centreForPosition(900), 5);
    const SliderScale noTravel(SliderGeometry{10, 10, 0, 0, 0, 100});
    EXPECT_EQ(noTravel.positionForCentre(7), 0);
}

TEST(SliderModel, SetPosClampsButRangeChangesDoNot) {
    SliderModel s = pageSlider();
    s.setPos(500);
    EXPECT_EQ(s.pos(), 420);
    s.setPos(-3);
    EXPECT_EQ(s.pos(), 0);
    s.setPos(400);
    s.setRangeMax(100);
    EXPECT_EQ(s.pos(), 400);
    EXPECT_EQ(SliderModel().setHomePos(7), 50);
    EXPECT_EQ(s.setHomePos(10), 120);
}

TEST(SliderModel, FirstPressOnAnUnfocusedSliderOnlyFocusesIt) {
    SliderModel s = pageSlider();
    EXPECT_EQ(s.press(200, kLeft), std::nullopt);
    EXPECT_EQ(s.pos(), 0);
    EXPECT_TRUE(s.focused());
    EXPECT_FALSE(s.thumbGrabbed());
    EXPECT_EQ(s.release(), 0);

    SliderModel onThumb = pageSlider();
    EXPECT_EQ(onThumb.press(20, kLeft), std::nullopt);  // centre 13, half height 12
    EXPECT_TRUE(onThumb.thumbGrabbed());
}

TEST(SliderModel, PressBesideTheThumbOfAFocusedSliderStepsTowardsThePointer) {
    const struct {
        const char* name;
        int start;
        int y;
        SliderButtons buttons;
        int expected;
    } cases[] = {
        {"left below", 0, 200, kLeft, 10},
        {"right below", 0, 200, kRight, 1},
        {"left above", 300, 20, kLeft, 290},
        {"right above", 300, 20, kRight, 299},
        {"both buttons", 100, 250, SliderButtons{true, true}, 101},
        {"left below near end", 415, 269, kLeft, 420},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SliderModel s = pageSlider();
        s.setPos(c.start);
        s.setFocused(true);
        EXPECT_EQ(s.press(c.y, c.buttons), c.expected);
        EXPECT_EQ(s.pos(), c.expected);
    }
}

TEST(SliderModel, SteppingContinuesUntilTheThumbReachesThePointerThenFollowsIt) {
    SliderModel s = pageSlider();
    s.setFocused(true);
    ASSERT_EQ(s.press(100, kLeft), 10);
    int steps = 1;
    while (!s.thumbGrabbed()) {
        const int before = s.pos();
        const auto moved = s.move(100, kLeft);
        if (moved) {
            EXPECT_EQ(*moved, before + 10);
            ++steps;
        }
        ASSERT_LT(steps, 50) << "the thumb never reached the pointer";
    }
    EXPECT_LE(std::abs(100 - s.thumbCentre()), 12);
    // Now grabbed: the thumb keeps its offset to the pointer.
    const int offset = 100 - s.thumbCentre();
    const auto followed = s.move(160, kLeft);
    ASSERT_TRUE(followed.has_value());
    EXPECT_EQ(s.thumbCentre(), 160 - offset);
    EXPECT_EQ(s.release(), s.pos());
    EXPECT_FALSE(s.thumbGrabbed());
}

TEST(SliderModel, DraggingPastTheEndStopsTheThumbAndStaysQuiet) {
    SliderModel s = pageSlider();
    s.setPos(200);
    s.setFocused(true);
    const int centre = s.thumbCentre();
    EXPECT_EQ(s.press(centre + 3, kLeft), std::nullopt);  // on the thumb: grabbed, not moved
    EXPECT_TRUE(s.thumbGrabbed());
    EXPECT_EQ(s.move(2000, kLeft), 420);
    EXPECT_EQ(s.move(2500, kLeft), std::nullopt);
    EXPECT_EQ(s.move(3000, kLeft), std::nullopt);
    EXPECT_EQ(s.pos(), 420);
    EXPECT_EQ(s.move(-800, kLeft), 0);
    EXPECT_EQ(s.move(-900, kLeft), std::nullopt);
}

TEST(SliderModel, MovementNeedsAButtonTheFocusAndAnEnabledSlider) {
    SliderModel s = pageSlider();
    s.setPos(100);
    EXPECT_EQ(s.move(250, kLeft), std::nullopt);  // not focused
    s.setFocused(true);
    EXPECT_EQ(s.move(250, kNone), std::nullopt);
    s.setEnabled(false);
    EXPECT_EQ(s.move(250, kLeft), std::nullopt);
    EXPECT_EQ(s.press(250, kLeft), std::nullopt);
    EXPECT_EQ(s.release(), std::nullopt);
    EXPECT_EQ(s.key(SliderKey::PageDown), std::nullopt);
    EXPECT_EQ(s.pos(), 100);
}

TEST(SliderModel, KeysStayInsideTheRange) {
    SliderModel peq = peqSlider();
    EXPECT_EQ(peq.key(SliderKey::End), 150);
    peq.setPos(450);
    EXPECT_EQ(peq.key(SliderKey::PageDown), 450);
}

TEST(SliderModel, WheelMovesOneStepPerNotchWithoutClampingUnlessDisabled) {
    const struct {
        int start, delta, expected;
    } cases[] = {
        {100, -360, 103}, {100, 60, 100}, {100, 120, 99},   {100, -119, 100},
        {100, 240, 98},   {0, 120, -1},   {420, -120, 421},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.delta);
        SliderModel s = pageSlider();
        s.setPos(c.start);
        EXPECT_EQ(s.wheel(c.delta), c.expected);
        EXPECT_EQ(s.pos(), c.expected);
        s.setEnabled(false);
        EXPECT_EQ(s.wheel(c.delta), std::nullopt);
        EXPECT_EQ(s.pos(), c.expected);
    }
}

}  // namespace
}  // namespace kv
