#include "document/file/TextCodec.h"

#include <cstdint>

namespace kv {

namespace {

bool isHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void appendUtf8(std::string& out, char32_t c) {
    const auto byte = [](char32_t value) { return static_cast<char>(static_cast<std::uint8_t>(value)); };
    if (c < 0x80) {
        out.push_back(byte(c));
    } else if (c < 0x800) {
        out.push_back(byte(0xC0 | (c >> 6)));
        out.push_back(byte(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(byte(0xE0 | (c >> 12)));
        out.push_back(byte(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(byte(0x80 | (c & 0x3F)));
    } else {
        out.push_back(byte(0xF0 | (c >> 18)));
        out.push_back(byte(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(byte(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(byte(0x80 | (c & 0x3F)));
    }
}

void appendUtf16(std::u16string& out, char32_t c) {
    if (c < 0x10000) {
        out.push_back(static_cast<char16_t>(c));
    } else {
        const char32_t v = c - 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (v >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (v & 0x3FF)));
    }
}

// The allowed range of the second byte of a multi-byte sequence, which rules out
// overlong forms, encoded surrogates and values beyond U+10FFFF (the well-formed
// byte sequences of the Unicode standard).
struct LeadByte {
    int continuationCount = 0;  // 0 = not a valid lead byte
    std::uint8_t secondMin = 0x80;
    std::uint8_t secondMax = 0xBF;
    char32_t initialBits = 0;
};

LeadByte classifyLead(std::uint8_t b) {
    if (b >= 0xC2 && b <= 0xDF) return {1, 0x80, 0xBF, static_cast<char32_t>(b & 0x1F)};
    if (b == 0xE0) return {2, 0xA0, 0xBF, 0};
    if ((b >= 0xE1 && b <= 0xEC) || b == 0xEE || b == 0xEF)
        return {2, 0x80, 0xBF, static_cast<char32_t>(b & 0x0F)};
    if (b == 0xED) return {2, 0x80, 0x9F, 0x0D};
    if (b == 0xF0) return {3, 0x90, 0xBF, 0};
    if (b >= 0xF1 && b <= 0xF3) return {3, 0x80, 0xBF, static_cast<char32_t>(b & 0x07)};
    if (b == 0xF4) return {3, 0x80, 0x8F, 0x04};
    return {};
}

}  // namespace

std::string toUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t unit = text[i];
        if (isHighSurrogate(unit) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
            const char32_t low = text[++i];
            appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        } else if (isHighSurrogate(unit) || isLowSurrogate(unit)) {
            appendUtf8(out, kReplacementCharacter);
        } else {
            appendUtf8(out, unit);
        }
    }
    return out;
}

std::u16string fromUtf8(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<std::uint8_t>(text[i]);
        if (lead < 0x80) {
            out.push_back(lead);
            ++i;
            continue;
        }
        const LeadByte kind = classifyLead(lead);
        ++i;
        if (kind.continuationCount == 0) {
            appendUtf16(out, kReplacementCharacter);
            continue;
        }
        char32_t value = kind.initialBits;
        bool complete = true;
        for (int k = 0; k < kind.continuationCount; ++k) {
            const std::uint8_t min = k == 0 ? kind.secondMin : 0x80;
            const std::uint8_t max = k == 0 ? kind.secondMax : 0xBF;
            if (i >= text.size()) {
                complete = false;
                break;
            }
            const auto next = static_cast<std::uint8_t>(text[i]);
            if (next < min || next > max) {
                complete = false;  // the offending byte starts the next character
                break;
            }
            value = (value << 6) | (next & 0x3F);
            ++i;
        }
        appendUtf16(out, complete ? value : kReplacementCharacter);
    }
    return out;
}

}  // namespace kv
