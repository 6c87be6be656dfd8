#pragma once
// Test-side readers of the wire format: they undo the packing and the fixed-point words
// independently of the code under test, so frames can be checked by what they mean.

#include <array>
#include <complex>
#include <cstdint>
#include <numbers>
#include <string>
#include <vector>

#include "protocol/UnitProtocol.h"

namespace kv::test {

inline std::vector<std::uint8_t> unpackSevenBit(const std::vector<std::uint8_t>& packed) {
    std::vector<std::uint8_t> body;
    for (std::size_t start = 0; start < packed.size();) {
        const std::uint8_t header = packed[start];
        std::size_t k = 0;
        for (; k < 7 && start + 1 + k < packed.size(); ++k)
            body.push_back(static_cast<std::uint8_t>(packed[start + 1 + k] | (((header >> k) & 1) << 7)));
        start += 1 + k;
    }
    return body;
}

// The body of a sealed frame (bytes 7..d-1) with the packing undone.
inline std::vector<std::uint8_t> frameBody(const UnitFrame& frame) {
    const auto d = static_cast<std::size_t>(frame.length - 1);
    return unpackSevenBit({frame.bytes.begin() + 7, frame.bytes.begin() + static_cast<std::ptrdiff_t>(d)});
}

inline double wordValue(const std::uint8_t* w) {
    std::int32_t n =
        (std::int32_t{w[0]} << 24) | (std::int32_t{w[1]} << 16) | (std::int32_t{w[2]} << 8) | w[3];
    if ((n & 0x08000000) != 0) n -= 0x10000000;  // sign of the 28-bit word
    return n / 8388608.0;
}

inline std::array<double, 5> sectionValues(const std::uint8_t* s) {
    return {wordValue(s), wordValue(s + 4), wordValue(s + 8), wordValue(s + 12), wordValue(s + 16)};
}

// Magnitude in dB of a section at frequency f (Hz), 96 kHz clock. The words are
// c1 = -a1/a0, c2 = -a2/a0, b0, b1, b2 (normalised).
inline double sectionGainDb(const std::uint8_t* s, double f) {
    const auto v = sectionValues(s);
    const std::complex<double> z1 = std::polar(1.0, -2.0 * std::numbers::pi * f / 96000.0);
    const std::complex<double> num = v[2] + v[3] * z1 + v[4] * z1 * z1;
    const std::complex<double> den = 1.0 - v[0] * z1 - v[1] * z1 * z1;
    return 20.0 * std::log10(std::abs(num / den));
}

inline std::string hex(std::span<const std::uint8_t> bytes) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string text;
    for (const std::uint8_t b : bytes) {
        if (!text.empty()) text += ' ';
        text += digits[b >> 4];
        text += digits[b & 0x0F];
    }
    return text;
}

}  // namespace kv::test
