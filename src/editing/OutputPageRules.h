#pragma once
// The arithmetic behind the output page's text fields, trackbar, row scrolling and
// temperature display, kept free of widgets so every rule can be checked on its own.

#include <optional>
#include <string>
#include <string_view>

#include "editing/slider/ScrollStep.h"
#include "response/Colour.h"

namespace kv {

// Output gain code for a typed level in dB: trunc(-10 v) + 150 above -30.1 dB, else 450.
// The document's gain setter clamps the result to 30..450 (so +12.5 dB asks for 25 and
// stores 30). Nothing when the text holds no number.
std::optional<int> gainCodeFromText(std::string_view text);

// Delay count for a typed time in milliseconds: v * 96 + 0.5, limited to 0..2038 and
// truncated. Nothing when the text holds no number.
std::optional<int> delayCodeFromText(std::string_view text);

// The delay to ask the document for after a trackbar action: relative to the stored delay
// (steps of 1 and 10; a result below 0 becomes 0, the setter limits the top), or the
// thumb position.
int delayAfterScroll(ScrollAction action, int storedDelay, int thumbPosition);

// The gain sliders run from 0 at the loudest gain code (+12 dB) downwards, one step per
// code: position = code - 30. The gain setter limits what a position asks for.
int gainSliderPosition(int gainCode);
int gainCodeForSliderPosition(int position);

// The PEQ rows show `visibleRows` bands from the first visible band on; the scroll bar
// runs from 0 to the scroll maximum and shows only when there is something to scroll.
int rowScrollMaximum(int activeBandCount, int visibleRows);
int bandInRow(int firstVisibleBand, int row);

// First visible PEQ row after a scroll request: -1 / +1 per line or page, or the thumb
// position, limited to 0..maximum.
int firstRowAfterScroll(int requested, int scrollMaximum);

// The limiter level list: " +0dB", " -1dB" ... " -20dB".
std::string limiterLevelText(int index);
inline constexpr int kLimiterLevelCount = 21;
// The release list: "Atk x2" ... "Atk x32".
std::string releaseListText(int index);
inline constexpr int kReleaseListCount = 5;

// The colours of the two temperature labels for a unit temperature in degrees Celsius;
// -10 or below means no reading has arrived. (The texts come with the status decoding.)
struct TemperatureColours {
    Colour background;
    Colour text;
};
inline constexpr int kNoTemperature = -10;
TemperatureColours temperatureColours(int celsius);

}  // namespace kv
