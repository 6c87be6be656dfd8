#pragma once
// The colours and solid brushes the editor pages and dialogs share for control
// backgrounds and texts: a table of 15 colours and a table of 43 brushes built from it
// (entry 15 empty, 16 the page's label blue, 17..29 a green-to-yellow ramp, 30..42 a
// yellow-to-red ramp). Constant data: nothing here changes while the program runs.

#include <QBrush>
#include <QColor>

#include <array>
#include <cstdint>
#include <optional>

namespace kv {

struct TableColour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    constexpr bool operator==(const TableColour&) const = default;
};

inline constexpr int kControlColourCount = 15;
inline constexpr int kControlBrushCount = 43;
inline constexpr int kEmptyBrush = 15;
inline constexpr int kLabelBrush = 16;          // behind the output page's white labels
inline constexpr int kGreenToYellowBrush = 17;  // 17..29: (10 + 20k, 250, 0)
inline constexpr int kYellowToRedBrush = 30;    // 30..42: (250, 250 - 20k, 0)
inline constexpr int kRampLength = 13;

inline constexpr std::array<TableColour, kControlColourCount> kControlColours{{
    {255, 0, 0},
    {255, 255, 0},
    {0, 255, 128},
    {0, 0, 255},
    {0, 255, 255},
    {255, 255, 128},
    {255, 255, 255},
    {0, 255, 0},
    {220, 220, 220},
    {255, 0, 128},
    {255, 255, 255},
    {255, 0, 255},
    {192, 192, 192},
    {0, 255, 255},
    {0, 0, 0},
}};

// Colour of brush entry index; nothing for the empty entry and for indices outside 0..42.
constexpr std::optional<TableColour> controlBrushColour(int index) {
    if (index < 0 || index >= kControlBrushCount || index == kEmptyBrush) return std::nullopt;
    if (index < kControlColourCount) return kControlColours[static_cast<std::size_t>(index)];
    if (index == kLabelBrush) return TableColour{21, 141, 243};
    if (index < kYellowToRedBrush) {
        const int k = index - kGreenToYellowBrush;
        return TableColour{static_cast<std::uint8_t>(10 + 20 * k), 250, 0};
    }
    const int k = index - kYellowToRedBrush;
    return TableColour{250, static_cast<std::uint8_t>(250 - 20 * k), 0};
}

// Qt forms of the tables: black for a colour index outside 0..14, no brush for the empty
// entry or an index outside 0..42.
QColor controlColour(int index);
QBrush controlBrush(int index);

}  // namespace kv
