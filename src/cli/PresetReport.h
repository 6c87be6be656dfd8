#pragma once
// The settings report as plain text: per preset its name, and per output the same
// value texts the printed report shows (crossovers, gain, mute, delay, limiter and the
// bands in use).

#include <iosfwd>
#include <optional>
#include <string>

#include "document/KorvaliserDoc.h"

namespace kv {

// "Attack:  45mS  Release: x16  at -6dB" for an output of the current preset.
std::string limiterText(const CKorvaliserDoc& doc, int output);

// One preset, given by the user's number 1..10. The current preset is selected again
// afterwards. showQ: band widths as Q (else as 1/Q, headed "BandWd").
void writePresetReport(std::ostream& out, CKorvaliserDoc& doc, int presetNumber, bool showQ);

// The unit type line, then the one preset asked for or every preset in the user's order.
void writeBankReport(std::ostream& out, CKorvaliserDoc& doc, std::optional<int> presetNumber, bool showQ);

}  // namespace kv
