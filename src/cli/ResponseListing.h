#pragma once
// The response of one output element (or the output's total, as the page graph sums
// it) on the 420-point grid, listed as "point<TAB>Hz<TAB>dB" lines, with the phase in
// degrees as a fourth column when asked. The analog model is what the graphs draw; the
// DSP model is the response of the words the unit receives.

#include <array>
#include <iosfwd>
#include <optional>
#include <span>
#include <string_view>

#include "document/KorvaliserDoc.h"
#include "response/ResponseGrid.h"
#include "response/dsp/OutputResponse.h"

namespace kv {

struct ResponseElement {
    enum class Kind { HighPass, LowPass, Band, Total, Gain };
    Kind kind = Kind::Total;
    int band = 0;  // 0-based, for Kind::Band
};

// "hp", "lp", "band1".."band12", "gain" or "total"; nullopt for anything else.
std::optional<ResponseElement> parseResponseElement(std::string_view text);

// "analog" or "dsp"; nullopt for anything else.
std::optional<ResponseModel> parseResponseModel(std::string_view text);

// dB at each grid point for an output of the current preset, as the page graph computes it.
std::array<double, kGridPoints> elementResponse(const CKorvaliserDoc& doc, int output,
                                                ResponseElement element);

// The complex response of an element of the current preset in either model. The gain word
// exists only in the DSP model; the analog model gives 1 for it.
ComplexCurve elementComplexResponse(const CKorvaliserDoc& doc, int output, ResponseElement element,
                                    ResponseModel model);

// One line per grid point; minus infinity (a notch on a grid point) prints as -inf. Degrees,
// when given, become a fourth column.
void writeResponse(std::ostream& out, const std::array<double, kGridPoints>& decibels,
                   std::span<const double> degrees = {});

// The listing of one element in a model, with or without its phase.
void writeElementListing(std::ostream& out, const CKorvaliserDoc& doc, int output, ResponseElement element,
                         ResponseModel model, bool withPhase);

}  // namespace kv
