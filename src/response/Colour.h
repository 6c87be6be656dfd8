#pragma once
// The one colour type of the core: 8-bit red, green and blue. Tables of colours (the button
// shades, the graph's marker palette, the temperature labels) are written in it; the GUI
// turns it into a QColor in one place (ui/widgets/ColourConversion.h).

#include <cstdint>
#include <ostream>

namespace kv {

struct Colour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    constexpr bool operator==(const Colour&) const = default;
};

// Each component keeps its low byte, as a packed colour would.
constexpr Colour MakeRgb(int red, int green, int blue) {
    return {static_cast<std::uint8_t>(red & 0xFF), static_cast<std::uint8_t>(green & 0xFF),
            static_cast<std::uint8_t>(blue & 0xFF)};
}

// "rgb(r, g, b)", for test messages.
inline std::ostream& operator<<(std::ostream& out, const Colour& c) {
    return out << "rgb(" << int{c.red} << ", " << int{c.green} << ", " << int{c.blue} << ')';
}

}  // namespace kv
