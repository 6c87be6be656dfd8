#include "exchange/ImportPlan.h"

#include "document/KorvaliserDoc.h"
#include "response/analog/FilterCurve.h"

namespace kv {

namespace {

constexpr int kHighPassOff = 12;
constexpr int kLowPassOff = 433;

}  // namespace

bool isFreeBand(const PeqBand& band) {
    if (band.flat != 0) return true;
    const bool gainType = band.type == PeqPeaking || band.type == PeqLowShelf || band.type == PeqHighShelf;
    return gainType && band.gain == 0;
}

bool isFreeHighPass(const CrossoverFilter& filter) { return filter.frequency <= kHighPassOff; }
bool isFreeLowPass(const CrossoverFilter& filter) { return filter.frequency >= kLowPassOff; }

void applyImportPlan(CKorvaliserDoc& doc, const ImportPlan& plan) {
    const UndoStepScope oneStep(doc, "Import Filters");
    if (plan.highPass) doc.setHighPass(plan.output, *plan.highPass);
    if (plan.lowPass) doc.setLowPass(plan.output, *plan.lowPass);
    for (const BandWrite& write : plan.bands) doc.setBand(plan.output, write.band, write.values);
    if (plan.gain) doc.setGain(plan.output, *plan.gain);
}

OutputChannel outputAfterPlan(OutputChannel channel, const ImportPlan& plan) {
    if (plan.highPass) channel.highPass = *plan.highPass;
    if (plan.lowPass) channel.lowPass = *plan.lowPass;
    for (const BandWrite& write : plan.bands)
        if (write.band >= 0 && write.band < kBandSlots)
            channel.bands[static_cast<std::size_t>(write.band)] = write.values;
    if (plan.gain) channel.gain = static_cast<std::uint16_t>(*plan.gain);
    return channel;
}

}  // namespace kv
