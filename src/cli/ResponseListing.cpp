#include "cli/ResponseListing.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <memory>
#include <ostream>
#include <string>

#include "response/CurveSlots.h"
#include "response/OutputCurves.h"
#include "response/ResponseCurveTable.h"

namespace kv {

namespace {

std::string decibelText(double value) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
    std::array<char, 48> text{};
    std::snprintf(text.data(), text.size(), "%.4f", value);
    return text.data();
}

int slotOf(ResponseElement element) {
    switch (element.kind) {
        case ResponseElement::Kind::HighPass: return CurveSlots::highPass;
        case ResponseElement::Kind::LowPass: return CurveSlots::lowPass;
        case ResponseElement::Kind::Band: return CurveSlots::band(element.band);
        case ResponseElement::Kind::Total:
        case ResponseElement::Kind::Gain: break;
    }
    return -1;
}

std::string degreesText(double value) {
    if (std::isnan(value)) return "nan";
    std::array<char, 48> text{};
    std::snprintf(text.data(), text.size(), "%.4f", value);
    return text.data();
}

}  // namespace

std::optional<ResponseElement> parseResponseElement(std::string_view text) {
    using Kind = ResponseElement::Kind;
    if (text == "hp") return ResponseElement{Kind::HighPass, 0};
    if (text == "lp") return ResponseElement{Kind::LowPass, 0};
    if (text == "total") return ResponseElement{Kind::Total, 0};
    if (text == "gain") return ResponseElement{Kind::Gain, 0};
    constexpr std::string_view prefix = "band";
    if (text.substr(0, prefix.size()) != prefix) return std::nullopt;
    const std::string_view digits = text.substr(prefix.size());
    int band = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), band);
    if (digits.empty() || digits.front() == '-' || error != std::errc{} ||
        end != digits.data() + digits.size())
        return std::nullopt;
    if (band < 1 || band > kBandSlots) return std::nullopt;
    return ResponseElement{Kind::Band, band - 1};
}

std::optional<ResponseModel> parseResponseModel(std::string_view text) {
    if (text == "analog") return ResponseModel::Analog;
    if (text == "dsp") return ResponseModel::Dsp;
    return std::nullopt;
}

std::array<double, kGridPoints> elementResponse(const CKorvaliserDoc& doc, int output,
                                                ResponseElement element) {
    // The table is large; keep it off the stack.
    const auto table = std::make_unique<ResponseCurveTable>();
    std::array<double, kGridPoints> decibels{};
    if (element.kind == ResponseElement::Kind::Total) {
        MarkSlotsForPage(*table, output, doc.activeBandCount(), doc.outputCount());
        RecomputeStaleSlots(*table, doc, output);
        return PageTotal(*table, doc.activeBandCount());
    }
    const int slot = slotOf(element);
    if (!ComputePageSlot(*table, doc, output, slot)) return decibels;
    const CurveSlot& values = table->slot(slot);
    for (int k = 0; k < kGridPoints; ++k)
        decibels[static_cast<std::size_t>(k)] = values.values[static_cast<std::size_t>(k)];
    return decibels;
}

ComplexCurve elementComplexResponse(const CKorvaliserDoc& doc, int output, ResponseElement element,
                                    ResponseModel model) {
    const OutputChannel& channel = doc.outputChannel(output);
    switch (element.kind) {
        case ResponseElement::Kind::Total:
            return totalResponse(channel, doc.activeBandCount(), model, doc.unitType());
        case ResponseElement::Kind::Gain:
            if (model == ResponseModel::Dsp) return gainWordResponse(channel);
            break;
        case ResponseElement::Kind::HighPass:
        case ResponseElement::Kind::LowPass:
        case ResponseElement::Kind::Band: break;
    }
    return slotResponse(channel, slotOf(element), model, doc.unitType());
}

void writeResponse(std::ostream& out, const std::array<double, kGridPoints>& decibels,
                   std::span<const double> degrees) {
    for (int k = 0; k < kGridPoints; ++k) {
        const auto at = static_cast<std::size_t>(k);
        std::array<char, 48> hz{};
        std::snprintf(hz.data(), hz.size(), "%.3f", ResponseGrid::frequency(k));
        out << k << '\t' << hz.data() << '\t' << decibelText(decibels[at]);
        if (at < degrees.size()) out << '\t' << degreesText(degrees[at]);
        out << '\n';
    }
}

void writeElementListing(std::ostream& out, const CKorvaliserDoc& doc, int output, ResponseElement element,
                         ResponseModel model, bool withPhase) {
    // The analog magnitudes come from the page's own computation, so the listing reads
    // exactly as it always did; the phase and the DSP model need the complex response.
    const bool needsComplex = withPhase || model == ResponseModel::Dsp;
    const ComplexCurve response =
        needsComplex ? elementComplexResponse(doc, output, element, model) : ComplexCurve{};
    const GridCurve decibels =
        model == ResponseModel::Analog ? elementResponse(doc, output, element) : magnitudeDb(response);
    if (!withPhase) {
        writeResponse(out, decibels);
        return;
    }
    const GridCurve degrees = phaseDegrees(response);
    writeResponse(out, decibels, degrees);
}

}  // namespace kv
