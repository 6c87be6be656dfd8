#pragma once
// The seven link speeds: baudIndex -> baud rate and the per-byte time allowance.

#include <array>

namespace kv {

struct LinkSpeed {
    int baudRate = 2400;
    int byteTimeMs = 16;
};

inline constexpr int kSpeedCount = 7;
inline constexpr int kDefaultBaudIndex = 6;  // 115200

inline constexpr std::array<LinkSpeed, kSpeedCount> kLinkSpeeds{{
    {2400, 16},
    {4800, 8},
    {9600, 4},
    {19200, 2},
    {38400, 2},
    {57600, 2},
    {115200, 2},
}};

// Any index outside the table runs the link at the slowest speed.
constexpr LinkSpeed linkSpeed(int baudIndex) {
    return baudIndex >= 0 && baudIndex < kSpeedCount ? kLinkSpeeds[static_cast<std::size_t>(baudIndex)]
                                                     : kLinkSpeeds[0];
}

// Speed hunting during identification: 115200 -> 38400 -> 57600 -> 115200.
constexpr int nextHuntingBaudIndex(int baudIndex) {
    if (baudIndex == 6) return 4;
    if (baudIndex == 4) return 5;
    return 6;
}

}  // namespace kv
