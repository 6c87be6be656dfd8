#include "link/PresetTransfer.h"

#include "document/KorvaliserDoc.h"
#include "document/MessageCode.h"
#include "link/OnlineSender.h"
#include "link/UnitLink.h"

namespace kv {

namespace {

bool isPosition(int position) { return position >= 0 && position < kPresetCount; }

// Selects another preset for the life of the object and selects the previous one again.
class CurrentPresetGuard {
public:
    explicit CurrentPresetGuard(CKorvaliserDoc& document)
        : document_(document), remembered_(document.currentPreset()) {}
    ~CurrentPresetGuard() { document_.selectPreset(remembered_); }
    CurrentPresetGuard(const CurrentPresetGuard&) = delete;
    CurrentPresetGuard& operator=(const CurrentPresetGuard&) = delete;

private:
    CKorvaliserDoc& document_;
    int remembered_;
};

}  // namespace

std::string sendingPresetText(int position) { return "Sending Preset " + std::to_string(position) + " Data"; }

PresetTransfer::PresetTransfer(UnitLink& link, CKorvaliserDoc& document, OnlineSender& sender)
    : link_(link), document_(document), sender_(sender) {}

bool PresetTransfer::storePresetToUnit(int position) {
    return storeOne(position) == StoreOutcome::Acknowledged;
}

PresetTransfer::StoreOutcome PresetTransfer::storeOne(int position) {
    if (!isPosition(position)) return StoreOutcome::NotSent;
    StoreOutcome outcome = StoreOutcome::NotSent;
    {
        const CurrentPresetGuard guard(document_);
        document_.selectPreset(document_.slotAtPosition(position));
        if (!link_.online()) link_.goOnline();
        if (link_.isUsable())
            outcome = sender_.sendToUnit(MsgPresetImage, position, 0) ? StoreOutcome::Acknowledged
                                                                      : StoreOutcome::Unacknowledged;
    }
    link_.setOffline();
    return outcome;
}

StoreSummary PresetTransfer::storeSelections(PresetMask mask, const Progress& progress) {
    StoreSummary summary;
    if (!link_.online()) link_.goOnline();
    if (!link_.online()) return summary;
    summary.started = true;
    for (int position = 0; position < kPresetCount; ++position) {
        if ((mask & (1u << position)) == 0) continue;
        if (progress) progress(position);
        const StoreOutcome outcome = storeOne(position);
        if (outcome == StoreOutcome::NotSent) continue;
        ++summary.sent;
        if (outcome != StoreOutcome::Acknowledged) continue;
        ++summary.acknowledged;
        summary.acknowledgedMask = static_cast<PresetMask>(summary.acknowledgedMask | (1u << position));
    }
    return summary;
}

bool PresetTransfer::recallUnitPreset(int position) {
    if (!isPosition(position)) return false;
    if (!link_.online()) link_.goOnline();
    const bool acknowledged = sender_.sendToUnit(MsgRecall, position + 1, 0);
    link_.setOffline();
    return acknowledged;
}

}  // namespace kv
