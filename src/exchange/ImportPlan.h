#pragma once
// What an import writes into one output of the current preset, computed in full before
// anything changes: the preview shows it, OK applies it in one go, Cancel drops it.

#include <optional>
#include <vector>

#include "document/PresetBank.h"

namespace kv {

class CKorvaliserDoc;

struct BandWrite {
    int band = 0;  // 0-based
    PeqBand values;
};

struct ImportPlan {
    int output = 0;  // 0-based
    std::vector<BandWrite> bands;
    std::optional<CrossoverFilter> highPass;
    std::optional<CrossoverFilter> lowPass;
    std::optional<int> gain;  // output gain code

    bool empty() const { return bands.empty() && !highPass && !lowPass && !gain; }
};

// A band that changes nothing: switched flat, or a PEQ or shelf without gain.
bool isFreeBand(const PeqBand& band);
// Crossovers that are off: a high-pass at index 12 or below, a low-pass at 433 or above.
bool isFreeHighPass(const CrossoverFilter& filter);
bool isFreeLowPass(const CrossoverFilter& filter);

// Writes the plan through the document's setters as one undo step ("Import Filters"):
// each band, crossover and the gain once, so while online the unit gets exactly one
// message for each.
void applyImportPlan(CKorvaliserDoc& doc, const ImportPlan& plan);

// The output as it will be after the plan (for the preview's graph).
OutputChannel outputAfterPlan(OutputChannel channel, const ImportPlan& plan);

}  // namespace kv
