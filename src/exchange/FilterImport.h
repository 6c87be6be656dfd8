#pragma once
// Puts the filters of a read file onto one output of the current preset: which filters
// apply (the chosen channel), where each one goes (free bands, or every band from a chosen
// one on; HP1/LP1 into a free crossover), the codes set and what was limited, and how far
// the unit's response will be from the one asked for. Nothing changes until the caller
// applies the plan; the preview dialog and korvaliser-cli both work from this.

#include <cstddef>
#include <string>
#include <vector>

#include "exchange/EqFile.h"
#include "exchange/ExchangeCurves.h"
#include "exchange/ImportPlan.h"

namespace kv {

class CKorvaliserDoc;

enum class BandPlacement {
    FreeBands,    // the filters fill the output's free bands, first to last
    ReplaceFrom,  // they fill every band from firstBand on; bands left over are reset
};

enum class KeepChoice {
    All,      // every filter, or a refusal when there are more than bands
    Largest,  // the ones with the largest peak effect when there are more than bands
    Chosen,   // only the filters listed in chosen
};

struct ImportRequest {
    int output = 0;       // 0-based
    std::string channel;  // needed when the file selects channels
    BandPlacement placement = BandPlacement::FreeBands;
    int firstBand = 0;  // 0-based, for ReplaceFrom
    KeepChoice keep = KeepChoice::All;
    std::vector<std::size_t> chosen;  // indices into EqFile::filters, for Chosen
};

enum class RowStatus {
    Set,      // the filter is in the plan
    NotKept,  // left out to fit the bands (or not chosen)
    Refused,  // the unit cannot make it
    Preamp,   // the output gain
};

// One row of the mapping table: requested / set / note.
struct ImportRow {
    int line = 0;
    int filter = -1;  // index into EqFile::filters; -1 for the Preamp row
    RowStatus status = RowStatus::Set;
    std::string requested;
    std::string set;
    std::string note;
    bool needsBand = false;
    int band = -1;              // 0-based band it fills
    double peakEffectDb = 0.0;  // largest |dB| of the filter as asked, 20 Hz to 20 kHz
};

struct ImportMapping {
    std::vector<ImportRow> rows;  // file order; the Preamp row (if any) last
    ImportPlan plan;              // empty when refused
    std::vector<int> bands;       // the bands the filters may fill, in order
    int filtersNeedingBands = 0;
    GridCurve requested{};  // the filters as asked (not kept and refused crossovers included)
    GridCurve set{};        // the codes in the plan
    double worstDifferenceDb = 0.0;
    int unmodelled = 0;   // refused filters the response model cannot show, left out of both
    std::string refusal;  // why the plan cannot be applied; empty when it can

    bool canApply() const { return refusal.empty(); }
};

ImportMapping mapEqFile(const EqFile& file, const CKorvaliserDoc& doc, const ImportRequest& request);

}  // namespace kv
