#include "response/OutputCurves.h"

#include "document/KorvaliserDoc.h"
#include "response/CurveSlots.h"
#include "response/analog/FilterCurve.h"

namespace kv {

namespace {

bool isOutput(int output) { return output >= 0 && output < kOutputSlots; }

void computeCrossoverPair(ResponseCurveTable& table, int slot, const CKorvaliserDoc& doc, int output,
                          int accumulateFirst) {
    const int unit = doc.unitType();
    ComputeFilterCurve(table, slot, PeqHighPass, static_cast<std::uint16_t>(doc.highPassFrequency(output)),
                       static_cast<std::uint8_t>(doc.highPassSlope(output)), 0, 0, unit, accumulateFirst);
    ComputeFilterCurve(table, slot, PeqLowPass, static_cast<std::uint16_t>(doc.lowPassFrequency(output)),
                       static_cast<std::uint8_t>(doc.lowPassSlope(output)), 0, 0, unit, 1);
}

void computeBand(ResponseCurveTable& table, int slot, const CKorvaliserDoc& doc, int output, int band,
                 int accumulate) {
    const PeqBand& b = doc.outputChannel(output).bands[static_cast<std::size_t>(band)];
    ComputeFilterCurve(table, slot, b.type, b.frequency, b.q, b.gain, b.flat, doc.unitType(), accumulate);
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
    const int unit = doc.unitType();
    if (slot >= CurveSlots::firstCrossoverPair) {
        const int k = slot - CurveSlots::firstCrossoverPair;
        if (!isOutput(k)) return false;
        computeCrossoverPair(table, slot, doc, k, 0);
        return true;
    }
    if (slot == CurveSlots::highPass) {
        ComputeFilterCurve(table, slot, PeqHighPass,
                           static_cast<std::uint16_t>(doc.highPassFrequency(output)),
                           static_cast<std::uint8_t>(doc.highPassSlope(output)), 0, 0, unit, 0);
        return true;
    }
    if (slot == CurveSlots::lowPass) {
        ComputeFilterCurve(table, slot, PeqLowPass, static_cast<std::uint16_t>(doc.lowPassFrequency(output)),
                           static_cast<std::uint8_t>(doc.lowPassSlope(output)), 0, 0, unit, 0);
        return true;
    }
    const int band = slot - CurveSlots::firstBand;
    if (band >= kBandSlots) return false;
    computeBand(table, slot, doc, output, band, 0);
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
    // A neutral band call starts the slot afresh at 0 dB and leaves it Valid.
    ComputeFilterCurve(table, slot, PeqPeaking, 252, 65, 0, 1, doc.unitType(), 0);
    if (!isOutput(output)) return;
    computeCrossoverPair(table, slot, doc, output, 1);
    for (int b = 0; b < doc.activeBandCount() && b < kBandSlots; ++b)
        computeBand(table, slot, doc, output, b, 1);
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
