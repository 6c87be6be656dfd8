#include "editing/input/NumberInput.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <system_error>

namespace kv {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

}  // namespace

std::optional<double> readLeadingNumber(std::string_view text) {
    std::size_t start = 0;
    while (start < text.size() && isBlank(text[start])) ++start;
    text.remove_prefix(start);
    // from_chars takes a minus sign but not a plus sign.
    bool negate = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negate = text.front() == '-';
        text.remove_prefix(1);
    }
    // Words like "inf" or "nan" are not numbers a user means; from_chars would take them.
    if (text.empty() || !(std::isdigit(static_cast<unsigned char>(text.front())) || text.front() == '.')) {
        return std::nullopt;
    }
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end == text.data() || !std::isfinite(value)) return std::nullopt;
    return negate ? -value : value;
}

}  // namespace kv
