#include "response/ColourShading.h"

#include <algorithm>

namespace kv {

namespace {

constexpr int kHlsMax = 255;
constexpr int kRgbMax = 255;
constexpr int kUndefinedHue = 170;  // hue of greys

// The hue arithmetic runs in unsigned 16 bits: a value above 255 has 255 taken off
// (modulo 65536), which is how a negative intermediate wraps.
std::uint16_t wrapHue(std::uint16_t h) { return h > kHlsMax ? static_cast<std::uint16_t>(h - kHlsMax) : h; }

// A component of an HLS conversion may round to 256 at full saturation and half
// lightness; it is kept to one byte instead of carrying into the next component.
int clampComponent(int value) { return std::clamp(value, 0, kRgbMax); }

}  // namespace

PackedHls RgbToHls(Colour colour) {
    const int r = colour.red;
    const int g = colour.green;
    const int b = colour.blue;
    const int mx = std::max({r, g, b});
    const int mn = std::min({r, g, b});
    const int l = ((mx + mn + 1) * kHlsMax) / (2 * kRgbMax);
    if (mx == mn) return MakeHls(kUndefinedHue, l, 0);

    const int d = mx - mn;
    const int divisor = l <= kHlsMax / 2 + 1 ? mx + mn : 2 * kRgbMax + 2 - mx - mn;
    const int s = (d * kHlsMax + divisor / 2) / divisor;
    const int rd = ((mx - r) * (kHlsMax / 6) + d / 2) / d;
    const int gd = ((mx - g) * (kHlsMax / 6) + d / 2) / d;
    const int bd = ((mx - b) * (kHlsMax / 6) + d / 2) / d;
    int h = 0;
    if (r == mx)
        h = bd - gd;
    else if (g == mx)
        h = kHlsMax / 3 + rd - bd;
    else
        h = 2 * kHlsMax / 3 + gd - rd;
    const std::uint16_t wrapped = wrapHue(static_cast<std::uint16_t>(h));
    return MakeHls(wrapped & 0xFF, l, s);
}

int HueToRgb(std::uint16_t lo, std::uint16_t hi, std::uint16_t hue) {
    const int h = wrapHue(hue);
    const int l = lo;
    const int u = hi;
    if (h < kHlsMax / 6) return l + ((u - l) * h + kHlsMax / 12) / (kHlsMax / 6);
    if (h < 128) return u;
    if (h < 2 * kHlsMax / 3) return l + ((u - l) * (2 * kHlsMax / 3 - h) + kHlsMax / 12) / (kHlsMax / 6);
    return l;
}

Colour HlsToRgb(PackedHls hls) {
    const int h = HueOf(hls);
    const int l = LightnessOf(hls);
    const int s = SaturationOf(hls);
    if (s == 0) return MakeRgb(l, l, l);

    const int m2 = l <= kHlsMax / 2 + 1 ? ((s + kHlsMax) * l + kHlsMax / 2 + 1) / kHlsMax
                                        : l + s - (l * s + kHlsMax / 2 + 1) / kHlsMax;
    const int m1 = 2 * l - m2;
    const auto lo = static_cast<std::uint16_t>(m1);
    const auto hi = static_cast<std::uint16_t>(m2);
    const auto component = [&](int hue) {
        return clampComponent((HueToRgb(lo, hi, static_cast<std::uint16_t>(hue)) * kRgbMax + 128) / kHlsMax);
    };
    return MakeRgb(component(h + kHlsMax / 3), component(h), component(h - kHlsMax / 3));
}

Colour ShadeColour(int factor, Colour colour) {
    const PackedHls hls = RgbToHls(colour);
    const int lightness = std::clamp((LightnessOf(hls) * factor) / 128, 0, kHlsMax);
    return HlsToRgb(MakeHls(HueOf(hls), lightness, SaturationOf(hls)));
}

std::array<BevelRing, 4> BevelRingColours(Colour base, bool raised) {
    constexpr std::array<int, 3> lightFactors{186, 166, 146};
    constexpr std::array<int, 3> darkFactors{86, 100, 114};
    std::array<BevelRing, 4> rings{};
    rings[0] = {MakeRgb(64, 64, 64), MakeRgb(0, 0, 0)};
    for (std::size_t i = 0; i < 3; ++i) {
        const Colour light = ShadeColour(lightFactors[i], base);
        const Colour dark = ShadeColour(darkFactors[i], base);
        rings[i + 1] = raised ? BevelRing{light, dark} : BevelRing{dark, light};
    }
    return rings;
}

}  // namespace kv
