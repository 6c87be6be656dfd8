#pragma once
// The preset bank exactly as the amplifier and the .ovk file hold it: ten presets of
// four output slots (two in use) of twelve band slots (eight in use). Every value is
// the unit's own integer code; conversion to text lives in ValueText, to wire bytes in
// the link's protocol code.

#include <array>
#include <cstdint>

namespace kv {

inline constexpr int kPresetCount = 10;
inline constexpr int kOutputSlots = 4;
inline constexpr int kBandSlots = 12;
inline constexpr int kOutputsInUse = 2;
inline constexpr int kBandsInUse = 8;
inline constexpr int kNameUnits = 17;  // 16 characters and the terminator
inline constexpr int kNameMaxChars = 16;
inline constexpr int kNotesUnits = 251;
inline constexpr int kNotesShownChars = 240;
inline constexpr int kReservedTextUnits = 41;
inline constexpr int kMaxTotalDelay = 2038;  // both outputs together, in 1/96 ms

// Amplifier model codes (the ASCII digit the unit reports).
inline constexpr int kUnitKV420 = 0x31;
inline constexpr int kUnitKV520 = 0x32;

inline constexpr std::uint8_t kFlagMute = 0x01;
inline constexpr std::uint8_t kFlagInvert = 0x02;

struct CrossoverFilter {
    std::uint16_t frequency = 12;  // frequency index, 7.8125 Hz * 2^(index/36)
    std::uint8_t slope = 6;        // slope code 0..11

    bool operator==(const CrossoverFilter&) const = default;
};

struct PeqBand {
    std::uint16_t frequency = 252;  // frequency index
    std::int16_t gain = 0;          // tenths of a dB
    std::uint8_t q = 65;            // Q index, or slope code for the HighPass/LowPass types
    std::uint8_t flat = 0;          // 1 = bypassed
    std::uint8_t type = 0;          // PEQ type code 0..12

    bool operator==(const PeqBand&) const = default;
};

struct LimiterSettings {
    std::uint8_t spareA = 8;
    std::uint8_t spareB = 2;
    std::uint16_t level = 0;  // 0..20 dB below full level

    bool operator==(const LimiterSettings&) const = default;
};

struct OutputChannel {
    std::uint8_t flags = 0;    // kFlagMute | kFlagInvert
    std::uint16_t gain = 150;  // 30..450, (150 - code) / 10 dB
    std::uint16_t delay = 0;   // samples of 1/96 ms
    CrossoverFilter highPass{12, 6};
    CrossoverFilter lowPass{433, 6};
    std::array<PeqBand, kBandSlots> bands{};
    LimiterSettings limiter{};

    bool operator==(const OutputChannel&) const = default;
};

struct Preset {
    std::array<char16_t, kNameUnits> name{};
    std::array<char16_t, kNotesUnits> notes{};
    std::array<char16_t, kReservedTextUnits> reservedText{};
    std::int32_t reservedWord = 0;  // a uint16 the file carries; kept in a 32-bit int
    std::array<OutputChannel, kOutputSlots> outputs{};

    bool operator==(const Preset&) const = default;
};

struct PresetBank {
    std::array<Preset, kPresetCount> presets{};
    int currentPreset = 0;
    std::array<std::int16_t, kPresetCount> presetOrder{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
};

}  // namespace kv
