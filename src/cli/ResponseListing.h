#pragma once
// The response of one output element (or the output's total, as the page graph sums
// it) on the 420-point grid, listed as "point<TAB>Hz<TAB>dB" lines.

#include <array>
#include <iosfwd>
#include <optional>
#include <string_view>

#include "document/KorvaliserDoc.h"
#include "response/ResponseGrid.h"

namespace kv {

struct ResponseElement {
    enum class Kind { HighPass, LowPass, Band, Total };
    Kind kind = Kind::Total;
    int band = 0;  // 0-based, for Kind::Band
};

// "hp", "lp", "band1".."band12" or "total"; nullopt for anything else.
std::optional<ResponseElement> parseResponseElement(std::string_view text);

// dB at each grid point for an output of the current preset.
std::array<double, kGridPoints> elementResponse(const CKorvaliserDoc& doc, int output,
                                                ResponseElement element);

// One line per grid point; minus infinity (a notch on a grid point) prints as -inf.
void writeResponse(std::ostream& out, const std::array<double, kGridPoints>& decibels);

}  // namespace kv
