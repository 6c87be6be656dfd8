#pragma once
// The arithmetic of the crossover filter dialog: which frequencies each filter may take
// and the slopes it offers.

#include <array>
#include <optional>
#include <string_view>

#include "document/CrossoverSide.h"
#include "document/KorvaliserDoc.h"
#include "editing/slider/ScrollStep.h"
#include "response/analog/FilterCurve.h"

namespace kv {

// The slope codes offered, in list order: 6 dB first order, then the 12, 18 and 24 dB
// slopes. The 48 dB codes are not offered.
inline constexpr std::array<int, 9> kOfferedSlopes{7, 0, 1, 8, 2, 3, 4, 5, 6};

// Frequencies the edited filter may take: the type range, with the high-pass kept at or
// below the low-pass frequency and the low-pass at or above the high-pass frequency.
// Even when a loaded bank holds crossed filters the result stays a usable range.
ValueRange crossoverLimits(CrossoverSide side, int highPassFrequency, int lowPassFrequency, int unitType);

// A typed frequency limited to the limits in force; nothing when the text holds no number.
std::optional<int> crossoverFrequencyFromText(std::string_view text, ValueRange limits);

// Position of a slope code in the offered list, or nothing for a code that is not offered.
std::optional<int> offeredSlopeRow(int slopeCode);

}  // namespace kv
