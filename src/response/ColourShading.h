#pragma once
// Shading of the owner-drawn buttons' colours: the same hue and saturation at another
// lightness, in the exact integer hue/lightness/saturation arithmetic the buttons have
// always used, and the colours of the four rings of their bevel frame.
//
// Packed HLS values hold the hue in bits 0..7, lightness in 8..15 and saturation in
// 16..23, each on 0..255; on that scale a sixth of the colour circle is 42, a third 85,
// and greys have hue 170.

#include <array>
#include <cstdint>

#include "response/Colour.h"

namespace kv {

using PackedHls = std::uint32_t;

constexpr PackedHls MakeHls(int hue, int lightness, int saturation) {
    return static_cast<PackedHls>((hue & 0xFF) | (lightness & 0xFF) << 8 | (saturation & 0xFF) << 16);
}
constexpr int HueOf(PackedHls h) { return static_cast<int>(h & 0xFF); }
constexpr int LightnessOf(PackedHls h) { return static_cast<int>((h >> 8) & 0xFF); }
constexpr int SaturationOf(PackedHls h) { return static_cast<int>((h >> 16) & 0xFF); }

PackedHls RgbToHls(Colour colour);
Colour HlsToRgb(PackedHls hls);
// One component on 0..255 from the two HLS helper values and a hue, with the unsigned
// 16-bit wrap of the hue (a negative hue lands at 170 or above and gives lo).
int HueToRgb(std::uint16_t lo, std::uint16_t hi, std::uint16_t hue);

// Lightness times factor / 128, at most 255: factors below 128 darken, above lighten.
Colour ShadeColour(int factor, Colour colour);

// One ring of a bevel frame: top and left edges in one colour, bottom and right in the other.
struct BevelRing {
    Colour topLeft;
    Colour bottomRight;
};

// The four rings from the outside in. Raised (a button that is not pressed) is lit from
// the top left; pressed swaps the inner three rings so the frame looks sunken.
std::array<BevelRing, 4> BevelRingColours(Colour base, bool raised);

}  // namespace kv
