#pragma once
// Filling the curve table from the document: what a page does on activation and before
// each redraw, and what the report does for one output's whole response.

#include <array>

#include "response/ResponseCurveTable.h"

namespace kv {

class CKorvaliserDoc;

// Page activation: every slot Absent, then this output's elements (slots 0 ..
// activeBandCount + 1) and the crossover pair of every other output Stale.
void MarkSlotsForPage(ResponseCurveTable& table, int output, int activeBandCount, int outputCount);

// Recomputes the Stale slots for the page of `output` from the current preset: the other
// outputs' crossover pairs (16 + k), then the slots 0..15 of this output's elements.
// Stale slots that name no element of the bank (a band beyond the band slots, an output
// beyond the output slots) are left as they are. Returns how many slots were computed.
int RecomputeStaleSlots(ResponseCurveTable& table, const CKorvaliserDoc& doc, int output);

// Recomputes one slot of the page of `output` from the document, whatever its state.
// Returns false when the slot holds no element of the bank.
bool ComputePageSlot(ResponseCurveTable& table, const CKorvaliserDoc& doc, int output, int slot);

// The whole response of one output (both crossover filters and every band in use) in one
// slot, started afresh. The report uses slot 10.
void ComputeOutputResponse(ResponseCurveTable& table, int slot, const CKorvaliserDoc& doc, int output);

// Sum, point by point, of the Valid element slots 0 .. activeBandCount + 1: the red total
// of a page graph.
std::array<double, kGridPoints> PageTotal(const ResponseCurveTable& table, int activeBandCount);

}  // namespace kv
