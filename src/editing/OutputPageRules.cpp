#include "editing/OutputPageRules.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "document/PresetBank.h"
#include "editing/input/NumberInput.h"

namespace kv {

namespace {

constexpr double kLowestGainDb = -30.1;
constexpr int kGainCodeOfZeroDb = 150;
constexpr int kQuietestGainCode = 450;
constexpr int kLoudestGainCode = 30;  // +12 dB, the top of the gain sliders
constexpr double kCountsPerMillisecond = 96.0;
constexpr int kTrackbarPage = 10;

constexpr Colour kNoReadingGrey = MakeRgb(192, 192, 192);
constexpr Colour kCoolGreen = MakeRgb(0, 255, 0);
constexpr Colour kHotRed = MakeRgb(255, 0, 0);
constexpr Colour kBlack = MakeRgb(0, 0, 0);
constexpr Colour kWhite = MakeRgb(255, 255, 255);

Colour temperatureBackground(int t) {
    if (t <= kNoTemperature) return kNoReadingGrey;
    if (t <= 50) return kCoolGreen;
    // Green to yellow, then yellow to red, in steps of 20 per degree.
    if (t <= 62) return MakeRgb(20 * (t - 50) + 10, 250, 0);
    if (t <= 74) return MakeRgb(250, 250 - 20 * (t - 63), 0);
    return kHotRed;
}

}  // namespace

std::optional<int> gainCodeFromText(std::string_view text) {
    const std::optional<double> db = readLeadingNumber(text);
    if (!db) return std::nullopt;
    if (*db <= kLowestGainDb) return kQuietestGainCode;
    // Limited before the conversion so that absurd entries cannot overflow; the setter
    // clamps anything above +12 dB to code 30 anyway.
    const double tenths = std::max(-10.0 * *db, -1000.0);
    return static_cast<int>(tenths) + kGainCodeOfZeroDb;
}

std::optional<int> delayCodeFromText(std::string_view text) {
    const std::optional<double> ms = readLeadingNumber(text);
    if (!ms) return std::nullopt;
    const double counts =
        std::clamp(*ms * kCountsPerMillisecond + 0.5, 0.0, static_cast<double>(kMaxTotalDelay));
    return static_cast<int>(counts);
}

int delayAfterScroll(ScrollAction action, int storedDelay, int thumbPosition) {
    switch (action) {
        case ScrollAction::LineLeft: return std::max(storedDelay - 1, 0);
        case ScrollAction::LineRight: return storedDelay + 1;
        case ScrollAction::PageLeft: return std::max(storedDelay - kTrackbarPage, 0);
        case ScrollAction::PageRight: return storedDelay + kTrackbarPage;
        case ScrollAction::Thumb: break;
    }
    return std::max(thumbPosition, 0);
}

int gainSliderPosition(int gainCode) { return gainCode - kLoudestGainCode; }

int gainCodeForSliderPosition(int position) { return position + kLoudestGainCode; }

int rowScrollMaximum(int activeBandCount, int visibleRows) {
    return std::max(activeBandCount - visibleRows, 0);
}

int bandInRow(int firstVisibleBand, int row) { return firstVisibleBand + row; }

int firstRowAfterScroll(int requested, int scrollMaximum) {
    return std::clamp(requested, 0, std::max(scrollMaximum, 0));
}

std::string limiterLevelText(int index) {
    std::array<char, 16> text{};
    std::snprintf(text.data(), text.size(), " %+ddB", -index);
    return text.data();
}

std::string releaseListText(int index) {
    std::array<char, 16> text{};
    std::snprintf(text.data(), text.size(), "Atk x%d", 2 << index);
    return text.data();
}

TemperatureColours temperatureColours(int celsius) {
    return {temperatureBackground(celsius), celsius > 65 ? kWhite : kBlack};
}

}  // namespace kv
