#include "exchange/FilterImport.h"

#include <algorithm>

#include "document/KorvaliserDoc.h"
#include "document/ValueText.h"
#include "exchange/EqTokens.h"
#include "exchange/GridMapping.h"
#include "response/analog/FilterCurve.h"

namespace kv {

namespace {

bool inScope(const std::vector<std::string>& scope, const std::string& channel) {
    if (scope.empty()) return true;
    return std::any_of(scope.begin(), scope.end(),
                       [&](const std::string& name) { return sameWord(name, channel); });
}

std::string listOf(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
    return text;
}

std::string joinedNotes(const std::vector<std::string>& notes) {
    std::string text;
    for (const std::string& note : notes) text += (text.empty() ? "" : "; ") + note;
    return text;
}

std::string bandName(int band) { return "band " + std::to_string(band + 1); }

// Why the request cannot be mapped at all; empty when it can.
std::string checkRequest(const EqFile& file, const CKorvaliserDoc& doc, const ImportRequest& request) {
    if (file.hasErrors())
        return std::to_string(file.errorLines) + (file.errorLines == 1 ? " line" : " lines") +
               " of the file cannot be read; nothing is imported until the file is corrected";
    if (request.output < 0 || request.output >= doc.outputCount()) return "there is no such output";
    if (request.placement == BandPlacement::ReplaceFrom &&
        (request.firstBand < 0 || request.firstBand >= doc.activeBandCount()))
        return "there is no " + bandName(request.firstBand) + " (the bands are 1 to " +
               std::to_string(doc.activeBandCount()) + ")";
    if (file.channels.empty()) {
        if (!request.channel.empty())
            return "the file selects no channels, so there is no channel \"" + request.channel + "\"";
        return {};
    }
    if (request.channel.empty())
        return "the file has filters for the channels " + listOf(file.channels) + "; choose one";
    if (!std::any_of(file.channels.begin(), file.channels.end(),
                     [&](const std::string& name) { return sameWord(name, request.channel); }))
        return "the file has no channel \"" + request.channel + "\" (it has " + listOf(file.channels) + ")";
    return {};
}

std::vector<int> bandsToFill(const OutputChannel& channel, int activeBandCount,
                             const ImportRequest& request) {
    std::vector<int> bands;
    for (int b = 0; b < activeBandCount; ++b) {
        const bool usable = request.placement == BandPlacement::ReplaceFrom
                                ? b >= request.firstBand
                                : isFreeBand(channel.bands[static_cast<std::size_t>(b)]);
        if (usable) bands.push_back(b);
    }
    return bands;
}

class Mapper {
public:
    Mapper(const EqFile& file, const CKorvaliserDoc& doc, const ImportRequest& request)
        : file_(file),
          request_(request),
          channel_(doc.outputChannel(request.output)),
          unitType_(doc.unitType()) {
        mapping_.plan.output = request.output;
        mapping_.bands = bandsToFill(channel_, doc.activeBandCount(), request);
        highPassTakenBy_ = isFreeHighPass(channel_.highPass) ? 0 : -1;
        lowPassTakenBy_ = isFreeLowPass(channel_.lowPass) ? 0 : -1;
    }

    ImportMapping run();

private:
    void addFilterRow(std::size_t index);
    void placeCrossover(const EqFilter& filter, ImportRow& row);
    std::vector<bool> keptBandRows();
    void placeBands(const std::vector<bool>& kept);
    void addPreampRow();
    std::string crossoverBusyNote(bool highPass) const;

    const EqFile& file_;
    const ImportRequest& request_;
    const OutputChannel& channel_;
    const int unitType_;
    ImportMapping mapping_;
    std::string refusal_;
    int highPassTakenBy_ = 0;  // 0: free; -1: set on the output; else the file line that took it
    int lowPassTakenBy_ = 0;
};

ImportMapping Mapper::run() {
    for (std::size_t i = 0; i < file_.filters.size(); ++i)
        if (inScope(file_.scopes[static_cast<std::size_t>(file_.filters[i].scope)], request_.channel))
            addFilterRow(i);
    placeBands(keptBandRows());
    addPreampRow();
    mapping_.worstDifferenceDb = worstDifferenceDb(mapping_.requested, mapping_.set);
    if (refusal_.empty() && mapping_.rows.empty())
        refusal_ = request_.channel.empty()
                       ? "the file holds no filters"
                       : "the file holds no filters for channel \"" + request_.channel + "\"";
    if (refusal_.empty() && mapping_.plan.empty()) refusal_ = "none of the filters can be set on the unit";
    if (!refusal_.empty()) {
        mapping_.refusal = refusal_;
        mapping_.plan = ImportPlan{request_.output, {}, {}, {}, {}};
    }
    return std::move(mapping_);
}

void Mapper::addFilterRow(std::size_t index) {
    const EqFilter& filter = file_.filters[index];
    ImportRow row;
    row.line = filter.line;
    row.filter = static_cast<int>(index);
    row.requested = filter.request;
    if (filter.target == EqTarget::Refused) {
        row.status = RowStatus::Refused;
        row.note = filter.refusal;
        ++mapping_.unmodelled;
        mapping_.rows.push_back(std::move(row));
        return;
    }
    const AnalogElement element = requestedElement(filter);
    row.peakEffectDb = peakEffectDb(element);
    addElementResponse(mapping_.requested, element);
    if (filter.target == EqTarget::Band) {
        row.needsBand = true;
        ++mapping_.filtersNeedingBands;
    } else {
        placeCrossover(filter, row);
    }
    mapping_.rows.push_back(std::move(row));
}

void Mapper::placeCrossover(const EqFilter& filter, ImportRow& row) {
    const bool highPass = filter.target == EqTarget::HighPassCrossover;
    int& takenBy = highPass ? highPassTakenBy_ : lowPassTakenBy_;
    if (takenBy != 0) {
        row.status = RowStatus::Refused;
        row.note = takenBy < 0 ? crossoverBusyNote(highPass)
                               : std::string(highPass ? "the high-pass" : "the low-pass") +
                                     " crossover is taken by line " + std::to_string(takenBy);
        return;
    }
    const CrossoverCodes codes = crossoverCodesOf(filter, unitType_);
    takenBy = filter.line;
    (highPass ? mapping_.plan.highPass : mapping_.plan.lowPass) = codes.filter;
    row.set = crossoverSetText(highPass, codes.filter);
    row.note = joinedNotes(codes.notes);
    addElementResponse(mapping_.set,
                       analogElementOfCodes(highPass ? PeqHighPass : PeqLowPass, codes.filter.frequency,
                                            codes.filter.slope, 0, 0, unitType_));
}

std::string Mapper::crossoverBusyNote(bool highPass) const {
    const CrossoverFilter& current = highPass ? channel_.highPass : channel_.lowPass;
    std::string text =
        highPass ? "the high-pass crossover is in use (" : "the low-pass crossover is in use (";
    const std::string frequency = frequencyText(current.frequency);
    text += slopeText(current.slope) + " at " + frequency.substr(frequency.find_first_not_of(' ')) + "); ";
    return text + (highPass ? "HP1 needs it switched off" : "LP1 needs it switched off");
}

// Which of the rows that need a band get one, by row.
std::vector<bool> Mapper::keptBandRows() {
    std::vector<bool> kept(mapping_.rows.size(), false);
    std::vector<std::size_t> candidates;
    for (std::size_t r = 0; r < mapping_.rows.size(); ++r)
        if (mapping_.rows[r].needsBand) candidates.push_back(r);
    const std::size_t room = mapping_.bands.size();
    switch (request_.keep) {
        case KeepChoice::All:
            if (candidates.size() > room) {
                refusal_ = std::to_string(candidates.size()) + " filters need a band but only " +
                           std::to_string(room) + (room == 1 ? " is" : " are") +
                           " free; choose which to keep";
                return kept;
            }
            break;
        case KeepChoice::Largest:
            // Stable, so equal effects keep the file's order.
            std::stable_sort(candidates.begin(), candidates.end(), [&](std::size_t a, std::size_t b) {
                return mapping_.rows[a].peakEffectDb > mapping_.rows[b].peakEffectDb;
            });
            if (candidates.size() > room) candidates.resize(room);
            break;
        case KeepChoice::Chosen: {
            const auto chosen = [&](std::size_t r) {
                const auto filter = static_cast<std::size_t>(mapping_.rows[r].filter);
                return std::find(request_.chosen.begin(), request_.chosen.end(), filter) !=
                       request_.chosen.end();
            };
            std::erase_if(candidates, [&](std::size_t r) { return !chosen(r); });
            if (candidates.size() > room) {
                refusal_ = std::to_string(candidates.size()) + " filters are chosen for " +
                           std::to_string(room) + (room == 1 ? " free band" : " free bands");
                return kept;
            }
            break;
        }
    }
    for (const std::size_t r : candidates) kept[r] = true;
    return kept;
}

void Mapper::placeBands(const std::vector<bool>& kept) {
    std::size_t next = 0;
    for (std::size_t r = 0; r < mapping_.rows.size(); ++r) {
        ImportRow& row = mapping_.rows[r];
        if (!row.needsBand) continue;
        if (!kept[r]) {
            row.status = RowStatus::NotKept;
            if (refusal_.empty())
                row.note = request_.keep == KeepChoice::Chosen ? "not chosen" : "not kept: smaller effect";
            continue;
        }
        const EqFilter& filter = file_.filters[static_cast<std::size_t>(row.filter)];
        const BandCodes codes = bandCodesOf(filter, unitType_);
        row.band = mapping_.bands[next++];
        row.set = bandSetText(row.band, codes.band);
        row.note = joinedNotes(codes.notes);
        mapping_.plan.bands.push_back({row.band, codes.band});
        addElementResponse(mapping_.set, analogElementOfCodes(codes.band.type, codes.band.frequency,
                                                              codes.band.q, codes.band.gain, 0, unitType_));
    }
    // Replacing from a band on leaves nothing of the old bands behind.
    if (request_.placement == BandPlacement::ReplaceFrom && refusal_.empty())
        for (; next < mapping_.bands.size(); ++next)
            mapping_.plan.bands.push_back({mapping_.bands[next], PeqBand{}});
}

void Mapper::addPreampRow() {
    double total = 0.0;
    int count = 0;
    int firstLine = 0;
    for (const EqPreamp& preamp : file_.preamps) {
        if (!inScope(file_.scopes[static_cast<std::size_t>(preamp.scope)], request_.channel)) continue;
        total += preamp.gainDb;
        if (count++ == 0) firstLine = preamp.line;
    }
    if (count == 0) return;
    const GainCodes codes = outputGainCodeOf(total);
    ImportRow row;
    row.line = firstLine;
    row.status = RowStatus::Preamp;
    row.requested = "Preamp: " + shortNumber(total) + " dB";
    row.set = outputGainSetText(codes.code);
    std::vector<std::string> notes = codes.notes;
    if (count > 1) notes.insert(notes.begin(), "the sum of " + std::to_string(count) + " Preamp lines");
    row.note = joinedNotes(notes);
    mapping_.plan.gain = codes.code;
    mapping_.rows.push_back(std::move(row));
}

}  // namespace

ImportMapping mapEqFile(const EqFile& file, const CKorvaliserDoc& doc, const ImportRequest& request) {
    if (std::string refusal = checkRequest(file, doc, request); !refusal.empty()) {
        ImportMapping refused;
        refused.plan.output = request.output;
        refused.refusal = std::move(refusal);
        return refused;
    }
    return Mapper(file, doc, request).run();
}

}  // namespace kv
