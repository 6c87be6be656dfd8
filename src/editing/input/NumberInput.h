#pragma once
// Reading the numbers people type into the editors' text fields.

#include <optional>
#include <string_view>

namespace kv {

// The leading number of a typed text: blanks, an optional sign, digits with an optional
// decimal point and exponent; whatever follows ("dB", "Hz", "ms") is ignored. Returns
// nothing when no finite number starts the text, so "abc", "" and "inf" change nothing.
std::optional<double> readLeadingNumber(std::string_view text);

}  // namespace kv
