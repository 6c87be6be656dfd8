#pragma once
// Frequencies typed by the user, turned into the unit's frequency index
// (f = 7.8125 Hz * 2^(index / 36), 252 = 1 kHz, 432 = 32 kHz).

#include <optional>
#include <string_view>

namespace kv {

inline constexpr int kHighestTypedFrequencyIndex = 500;

// Index for a frequency in Hz, rounded to the nearest step: 36 * log2(f * 0.128) + 0.5,
// with f raised to 0.1 Hz first and the result kept within 0..500.
int frequencyIndexForHz(double hz);

// A frequency edit's text: the first "k" or "K" stands for the decimal point and a factor
// of 1000 ("1k5" is 1500 Hz, "2k" is 2000 Hz, "40k" is 40 kHz); a plain number is in Hz.
// Returns nothing when the text holds no number. The caller limits the index to the
// range of the filter it edits.
std::optional<int> frequencyIndexFromText(std::string_view text);

}  // namespace kv
