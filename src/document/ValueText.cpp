#include "document/ValueText.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string_view>

#include "document/CodeScales.h"

namespace kv {

namespace {

// printf into a std::string; every format used here is one of the fixed value formats.
template <typename... Args>
std::string format(const char* pattern, Args... args) {
    std::array<char, 64> buffer{};
    const int length = std::snprintf(buffer.data(), buffer.size(), pattern, args...);
    if (length < 0) return {};
    if (static_cast<std::size_t>(length) < buffer.size()) return std::string(buffer.data(), length);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    std::snprintf(text.data(), text.size(), pattern, args...);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

constexpr int kLowestShownFrequency = 12;    // and below: " <10Hz"
constexpr int kHighestShownFrequency = 432;  // above: ">32k0Hz"
constexpr int kOneKilohertz = 252;

double frequencyHz(int index) { return frequencyOfIndex(index); }

unsigned lowByte(int value) { return static_cast<unsigned>(value) & 0xFFu; }

constexpr std::array<std::string_view, 20> kLimiterTimes{
    "0.1mS", "0.2mS", "0.3mS", "0.4mS", "0.5mS", "0.7mS", "1.0mS", "1.4mS", "2.0mS", "2.8mS",
    "4.0mS", "5.7mS", "8.0mS", " 11mS", " 16mS", " 23mS", " 32mS", " 45mS", " 64mS", " 90mS",
};

struct SlopeName {
    const char* pattern;
    int decibelsPerOctave;
};

constexpr std::array<SlopeName, 12> kSlopes{{
    {"%idB Bessel", 12},
    {"%idB Butterworth", 12},
    {"%idB Bessel", 18},
    {"%idB Butterworth", 18},
    {"%idB Bessel", 24},
    {"%idB Butterworth", 24},
    {"%idB Link/Riley", 24},
    {"%idB 1st Order", 6},
    {"%idB Link/Riley", 12},
    {"%idB Bessel", 48},
    {"%idB Butterworth", 48},
    {"%idB Link/Riley", 48},
}};

constexpr std::array<std::string_view, 13> kTypeNames{
    "PEQ",
    "Low Shelf",
    "High Shelf",
    "HighPass",
    "LowPass",
    "AllPass",
    "BandPass",
    "Notch",
    "Phase",
    "VariQ LowPass",
    "VariQ HighPass",
    "Elliptic LowPass",
    "Elliptic HighPass",
};

constexpr std::array<std::string_view, 13> kShortTypeNames{
    "PEQ",   "Low Shelf", "High Shelf", "HighPass", "LowPass",  "AllPass",  "BandPass",
    "Notch", "Phase",     "VariQ LP",   "VariQ HP", "Ellip.LP", "Ellip.HP",
};

constexpr std::array<std::string_view, 5> kReleaseMultipliers{"x2", "x4", "x8", "x16", "x32"};

constexpr int kPhaseType = 8;
constexpr int kEllipticLowPassType = 11;
constexpr int kEllipticHighPassType = 12;

}  // namespace

std::string frequencyText(int index) {
    const int i = static_cast<std::uint16_t>(index);
    if (i <= kLowestShownFrequency) return " <10Hz";
    if (i > kHighestShownFrequency) return ">32k0Hz";
    const double hz = frequencyHz(i);
    if (i < kOneKilohertz) return format("%5.*fHz", i <= 128 ? 1 : 0, hz);
    std::string text = format("%5.*fHz", i <= 371 ? 2 : 1, hz / 1000.0);
    if (const auto dot = text.find('.'); dot != std::string::npos) text[dot] = 'k';
    return text;
}

std::string outputGainText(int code) {
    const int signedCode = static_cast<std::int16_t>(code);
    return format("%+ 5.1fdB", 15.0 - signedCode * 0.1);
}

std::string bandGainText(int gain, int type) {
    if (lowByte(type) > 2) return "N/A";
    const int tenths = static_cast<std::int16_t>(gain);
    return format("%+5.1fdB", tenths / 10.0);
}

std::string bandWidthText(int q, int type, bool showQ) {
    const unsigned t = lowByte(type);
    if (t == kEllipticLowPassType || t == kEllipticHighPassType) return "N/A";
    const int index = static_cast<std::uint16_t>(q);
    if (t == kPhaseType) return format("%i", 2 * index) + "\u00B0";
    const double quality = qOfIndex(index);
    if (!showQ) return format("%5.4f", 1.0 / quality);
    const int decimals = index <= 38 ? 0 : (index <= 79 ? 1 : 2);
    return format("%4.*f", decimals, quality);
}

std::string delayText(int count) {
    const double milliseconds = static_cast<unsigned>(count) / 96.0;
    return format("%7.*f mS", 4, milliseconds);
}

std::string slopeText(int code) {
    const unsigned c = lowByte(code);
    if (c >= kSlopes.size()) return {};
    return format(kSlopes[c].pattern, kSlopes[c].decibelsPerOctave);
}

std::string typeText(int type, bool shortForm) {
    const unsigned t = lowByte(type);
    if (t >= kTypeNames.size()) return "PEQ";
    return std::string(shortForm ? kShortTypeNames[t] : kTypeNames[t]);
}

std::string limiterTimeText(int index) {
    const unsigned i = std::min<unsigned>(lowByte(index), kLimiterTimes.size() - 1);
    return std::string(kLimiterTimes[i]);
}

std::string releaseMultiplierText(int index) {
    const unsigned i = lowByte(index);
    if (i >= kReleaseMultipliers.size()) return {};
    return std::string(kReleaseMultipliers[i]);
}

}  // namespace kv
