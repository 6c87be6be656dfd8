#include <gtest/gtest.h>

#include <cstdlib>

#include "response/ColourShading.h"

namespace kv {
namespace {

constexpr Colour kRed = MakeRgb(255, 0, 0);
constexpr Colour kAmber = MakeRgb(255, 225, 87);
constexpr Colour kWhite = MakeRgb(255, 255, 255);

struct HlsCase {
    Colour colour;
    int hue, lightness, saturation;
};

TEST(ColourShading, RgbToHlsTable) {
    const HlsCase cases[] = {
        {kRed, 0, 128, 255},
        {kAmber, 34, 171, 252},
        {kWhite, 170, 255, 0},
        {MakeRgb(0, 0, 0), 170, 0, 0},
        {MakeRgb(128, 128, 128), 170, 128, 0},
        {MakeRgb(0, 255, 0), 85, 128, 255},
        {MakeRgb(0, 0, 255), 170, 128, 255},
        {MakeRgb(255, 0, 255), 215, 128, 255},  // -42 wraps to 215
        {MakeRgb(255, 0, 9), 0, 128, 255},      // -1 wraps to 0, not 254
        {MakeRgb(255, 0, 130), 236, 128, 255},  // -21 wraps to 236
        {MakeRgb(21, 141, 243), 147, 132, 228},
    };
    for (const HlsCase& c : cases) {
        const PackedHls hls = RgbToHls(c.colour);
        EXPECT_EQ(HueOf(hls), c.hue) << c.colour;
        EXPECT_EQ(LightnessOf(hls), c.lightness) << c.colour;
        EXPECT_EQ(SaturationOf(hls), c.saturation) << c.colour;
    }
}

TEST(ColourShading, HueToRgbRegionsAndWrap) {
    struct Case {
        int lo, hi, hue, expected;
    };
    const Case cases[] = {
        {10, 220, 0, 10},     // start of the rising edge
        {10, 220, 21, 115},   // halfway up, rounded
        {10, 220, 42, 220},   // plateau
        {10, 220, 127, 220},  // end of the plateau
        {10, 220, 128, 220},  // falling edge starts at full height
        {10, 220, 149, 115},  // halfway down
        {10, 220, 170, 10},   // floor
        {10, 220, 340, 220},  // above 255: 255 taken off, 85 is on the plateau
        {10, 220, -85, 10},   // negative: wraps to 65196, which is the floor
        {220, 10, 21, 116},   // lo above hi runs the edge downwards (truncating)
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HueToRgb(static_cast<std::uint16_t>(c.lo), static_cast<std::uint16_t>(c.hi),
                           static_cast<std::uint16_t>(c.hue)),
                  c.expected)
            << c.hue;
    }
}

TEST(ColourShading, ShadeColourTable) {
    struct Case {
        int factor;
        Colour colour;
        Colour expected;
    };
    const Case cases[] = {
        {127, kWhite, MakeRgb(253, 253, 253)},
        {64, kRed, MakeRgb(128, 0, 0)},
        {186, kRed, MakeRgb(255, 117, 117)},
        {86, kRed, MakeRgb(172, 0, 0)},
        {48, kAmber, MakeRgb(127, 103, 1)},
        {256, kAmber, kWhite},
        {400, MakeRgb(200, 200, 200), kWhite},
        {0, kAmber, MakeRgb(0, 0, 0)},
        {-5, kAmber, MakeRgb(0, 0, 0)},
        // Full saturation at half lightness rounds a component to 256: it must stay a
        // full byte instead of spilling into the next one (which turned red into black).
        {128, kRed, kRed},
        {128, MakeRgb(0, 255, 0), MakeRgb(0, 255, 0)},
        {128, MakeRgb(0, 0, 255), MakeRgb(0, 0, 255)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ShadeColour(c.factor, c.colour), c.expected)
            << "factor " << c.factor << " colour " << c.colour;
    }
}

TEST(ColourShading, UnitFactorKeepsEveryColourCloseAndGreysGrey) {
    // The hue has only 42 steps per sixth of the circle, so a saturated component may move by up to 16
    // levels; a component spilling into its neighbour would be off by about 255.
    for (int r = 0; r < 256; r += 15) {
        for (int g = 0; g < 256; g += 15) {
            for (int b = 0; b < 256; b += 15) {
                const Colour c = MakeRgb(r, g, b);
                const Colour s = ShadeColour(128, c);
                ASSERT_LE(std::abs(s.red - r), 16) << c;
                ASSERT_LE(std::abs(s.green - g), 16) << c;
                ASSERT_LE(std::abs(s.blue - b), 16) << c;
            }
        }
    }
    for (int v = 0; v < 256; v += 5) {
        const Colour grey = ShadeColour(100, MakeRgb(v, v, v));
        EXPECT_EQ(grey.red, grey.green);
        EXPECT_EQ(grey.green, grey.blue);
    }
}

TEST(ColourShading, BevelRingsRaisedAndPressed) {
    const auto raised = BevelRingColours(kRed, true);
    const auto pressed = BevelRingColours(kRed, false);
    EXPECT_EQ(raised[0].topLeft, MakeRgb(64, 64, 64));
    EXPECT_EQ(raised[0].bottomRight, MakeRgb(0, 0, 0));
    EXPECT_EQ(pressed[0].topLeft, raised[0].topLeft);
    EXPECT_EQ(pressed[0].bottomRight, raised[0].bottomRight);
    EXPECT_EQ(raised[1].topLeft, MakeRgb(255, 117, 117));
    EXPECT_EQ(raised[1].bottomRight, MakeRgb(172, 0, 0));
    const int lightFactors[] = {186, 166, 146};
    const int darkFactors[] = {86, 100, 114};
    for (std::size_t i = 1; i < 4; ++i) {
        EXPECT_EQ(raised[i].topLeft, ShadeColour(lightFactors[i - 1], kRed)) << i;
        EXPECT_EQ(raised[i].bottomRight, ShadeColour(darkFactors[i - 1], kRed)) << i;
        EXPECT_EQ(pressed[i].topLeft, raised[i].bottomRight) << i;
        EXPECT_EQ(pressed[i].bottomRight, raised[i].topLeft) << i;
    }
}

}  // namespace
}  // namespace kv
