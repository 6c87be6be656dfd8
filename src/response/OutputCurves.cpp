#include "response/OutputCurves.h"

#include <span>

#include "document/KorvaliserDoc.h"
#include "response/CurveSlots.h"
#include "response/analog/AnalogElement.h"
#include "response/analog/FilterCurve.h"

namespace kv {

namespace {

bool isOutput(int output) { return output >= 0 && output < kOutputSlots; }

AnalogElement crossoverElement(const CKorvaliserDoc& doc, int output, bool highPass) {
    const auto frequency = highPass ? doc.highPassFrequency(output) : doc.lowPassFrequency(output);
    const auto slope = highPass ? doc.highPassSlope(output) : doc.lowPassSlope(output);
    return analogElementOfCodes(highPass ? PeqHighPass : PeqLowPass, static_cast<std::uint16_t>(frequency),
                                static_cast<std::uint8_t>(slope), 0, 0, doc.unitType());
}

AnalogElement bandElement(const CKorvaliserDoc& doc, int output, int band) {
    const PeqBand& b = doc.outputChannel(output).bands[static_cast<std::size_t>(band)];
    return analogElementOfCodes(b.type, b.frequency, b.q, b.gain, b.flat, doc.unitType());
}

void computeElement(ResponseCurveTable& table, int slot, const AnalogElement& element) {
    ComputeElementsCurve(table, slot, std::span<const AnalogElement>(&element, 1), 0);
}

void computeCrossoverPair(ResponseCurveTable& table, int slot, const CKorvaliserDoc& doc, int output) {
    const std::array<AnalogElement, 2> pair{crossoverElement(doc, output, true),
                                            crossoverElement(doc, output, false)};
    ComputeElementsCurve(table, slot, pair, 0);
}

}  // namespace

void MarkSlotsForPage(ResponseCurveTable& table, int output, int activeBandCount, int outputCount) {
    table.markAll(CurveState::Absent);
    table.setPageOutput(output);
    for (int s = 0; s <= CurveSlots::lastElement(activeBandCount); ++s) table.markStale(s);
    for (int k = 0; k < outputCount && k < CurveSlots::crossoverPairCount; ++k) {
        if (k != output) table.markStale(CurveSlots::crossoverPair(k));
    }
}

bool ComputePageSlot(ResponseCurveTable& table, const CKorvaliserDoc& doc, int output, int slot) {
    if (!isOutput(output) || !ResponseCurveTable::isSlot(slot)) return false;
    if (slot >= CurveSlots::firstCrossoverPair) {
        const int k = slot - CurveSlots::firstCrossoverPair;
        if (!isOutput(k)) return false;
        computeCrossoverPair(table, slot, doc, k);
        return true;
    }
    if (slot == CurveSlots::highPass || slot == CurveSlots::lowPass) {
        computeElement(table, slot, crossoverElement(doc, output, slot == CurveSlots::highPass));
        return true;
    }
    const int band = slot - CurveSlots::firstBand;
    if (band >= kBandSlots) return false;
    computeElement(table, slot, bandElement(doc, output, band));
    return true;
}

int RecomputeStaleSlots(ResponseCurveTable& table, const CKorvaliserDoc& doc, int output) {
    int computed = 0;
    // The other outputs' pairs first, then this output's own elements, as the page always did.
    for (int k = 0; k < CurveSlots::crossoverPairCount; ++k) {
        const int slot = CurveSlots::crossoverPair(k);
        if (table.isStale(slot) && ComputePageSlot(table, doc, output, slot)) ++computed;
    }
    for (int slot = 0; slot < CurveSlots::firstCrossoverPair; ++slot) {
        if (table.isStale(slot) && ComputePageSlot(table, doc, output, slot)) ++computed;
    }
    return computed;
}

void ComputeOutputResponse(ResponseCurveTable& table, int slot, const CKorvaliserDoc& doc, int output) {
    // Started afresh at 0 dB and left Valid even for an output that is not there.
    std::array<AnalogElement, 2 + kBandSlots> elements{};
    std::size_t count = 0;
    if (isOutput(output)) {
        elements[count++] = crossoverElement(doc, output, true);
        elements[count++] = crossoverElement(doc, output, false);
        for (int b = 0; b < doc.activeBandCount() && b < kBandSlots; ++b)
            elements[count++] = bandElement(doc, output, b);
    }
    ComputeElementsCurve(table, slot, std::span<const AnalogElement>(elements.data(), count), 0);
}

std::array<double, kGridPoints> PageTotal(const ResponseCurveTable& table, int activeBandCount) {
    std::array<double, kGridPoints> total{};
    const int last = CurveSlots::lastElement(activeBandCount);
    for (int s = 0; s <= last && ResponseCurveTable::isSlot(s); ++s) {
        if (!table.isValid(s)) continue;
        const CurveSlot& slot = table.slot(s);
        for (std::size_t k = 0; k < total.size(); ++k) total[k] += slot.values[k];
    }
    return total;
}

}  // namespace kv
