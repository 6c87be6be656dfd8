#include "exchange/EqTokens.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace kv {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::size_t kQuotedMaximum = 40;

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isAsciiDigit(char c) { return c >= '0' && c <= '9'; }
char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

// Length of the UTF-8 sequence that starts with lead, 0 for a byte that cannot start one.
std::size_t sequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

// The second byte's narrower range for the leads that would allow overlong forms,
// surrogates or values above U+10FFFF.
bool secondByteFits(unsigned char lead, unsigned char second) {
    if (lead == 0xE0) return second >= 0xA0 && second <= 0xBF;
    if (lead == 0xED) return second >= 0x80 && second <= 0x9F;
    if (lead == 0xF0) return second >= 0x90 && second <= 0xBF;
    if (lead == 0xF4) return second >= 0x80 && second <= 0x8F;
    return second >= 0x80 && second <= 0xBF;
}

bool isContinuation(unsigned char c) { return c >= 0x80 && c <= 0xBF; }

}  // namespace

std::vector<std::string_view> splitEqLines(std::string_view text) {
    if (text.starts_with(kUtf8Bom)) text.remove_prefix(kUtf8Bom.size());
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (line.ends_with('\r')) line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

bool isPlainText(std::string_view line) {
    for (std::size_t i = 0; i < line.size();) {
        const auto lead = static_cast<unsigned char>(line[i]);
        if (lead < 0x20 && lead != '\t') return false;
        if (lead == 0x7F) return false;
        const std::size_t length = sequenceLength(lead);
        if (length == 0 || i + length > line.size()) return false;
        if (length > 1 && !secondByteFits(lead, static_cast<unsigned char>(line[i + 1]))) return false;
        for (std::size_t k = 2; k < length; ++k)
            if (!isContinuation(static_cast<unsigned char>(line[i + k]))) return false;
        i += length;
    }
    return true;
}

std::vector<std::string_view> splitWords(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && isBlank(text[i])) ++i;
        const std::size_t start = i;
        while (i < text.size() && !isBlank(text[i])) ++i;
        if (i > start) words.push_back(text.substr(start, i - start));
    }
    return words;
}

bool sameWord(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (upper(a[i]) != upper(b[i])) return false;
    return true;
}

std::optional<EqCommand> commandOf(std::string_view line) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    const std::string_view head = trimmed(line.substr(0, colon));
    std::size_t nameEnd = 0;
    while (nameEnd < head.size() && isAsciiLetter(head[nameEnd])) ++nameEnd;
    if (nameEnd == 0) return std::nullopt;
    EqCommand command{head.substr(0, nameEnd), std::nullopt, line.substr(colon + 1)};
    const std::string_view numberText = trimmed(head.substr(nameEnd));
    if (numberText.empty()) return command;
    if (numberText.size() > 9) return std::nullopt;
    long number = 0;
    for (const char c : numberText) {
        if (!isAsciiDigit(c)) return std::nullopt;
        number = number * 10 + (c - '0');
    }
    command.number = number;
    return command;
}

NumberRead readNumber(std::string_view word, std::string_view unit) {
    std::string_view digits = word;
    if (!unit.empty() && digits.size() > unit.size() &&
        sameWord(digits.substr(digits.size() - unit.size()), unit))
        digits.remove_suffix(unit.size());
    // from_chars takes a leading minus only; a plus is allowed once, not before a minus.
    if (digits.starts_with('+')) {
        digits.remove_prefix(1);
        if (digits.starts_with('-') || digits.starts_with('+'))
            return {std::nullopt, quotedPiece(word) + " is not a number"};
    }
    double value = 0.0;
    const char* const end = digits.data() + digits.size();
    const auto [stop, error] = std::from_chars(digits.data(), end, value, std::chars_format::general);
    if (error == std::errc::result_out_of_range)
        return {std::nullopt, quotedPiece(word) + " is out of range"};
    if (error != std::errc{} || stop != end) {
        if (digits.find(',') != std::string_view::npos && digits.find('.') == std::string_view::npos)
            return {std::nullopt, quotedPiece(word) + " is not a number (decimals take a point)"};
        return {std::nullopt, quotedPiece(word) + " is not a number"};
    }
    if (!std::isfinite(value)) return {std::nullopt, quotedPiece(word) + " is not a finite number"};
    return {value, {}};
}

std::string quotedPiece(std::string_view piece) { return "\"" + shortened(piece, kQuotedMaximum) + "\""; }

std::string shortened(std::string_view text, std::size_t maximum) {
    if (text.size() <= maximum) return std::string(text);
    std::size_t cut = maximum;
    while (cut > 0 && isContinuation(static_cast<unsigned char>(text[cut]))) --cut;  // whole characters
    return std::string(text.substr(0, cut)) + "...";
}

std::string shortNumber(double value) {
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%g", value);
    return text.data();
}

}  // namespace kv
