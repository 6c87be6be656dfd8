#include "link/PresetTransfer.h"

#include "document/KorvaliserDoc.h"
#include "document/MessageCode.h"
#include "link/OnlineSender.h"
#include "link/UnitLink.h"
#include "protocol/UnitProtocol.h"

namespace kv {

namespace {

bool isPosition(int position) { return position >= 0 && position < kPresetCount; }

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
    if (!link_.online()) sender_.goOnline();
    if (link_.isUsable()) {
        // The frame is built from the stored preset itself: the one being edited stays current.
        const UnitFrame frame = presetImageFrame(document_.preset(document_.slotAtPosition(position)),
                                                 position, document_.unitType());
        outcome = sender_.sendFrame(frame) ? StoreOutcome::Acknowledged : StoreOutcome::Unacknowledged;
    }
    link_.setOffline();
    return outcome;
}

StoreSummary PresetTransfer::storeSelections(PresetMask mask, const Progress& progress) {
    StoreSummary summary;
    if (!link_.online()) sender_.goOnline();
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
    if (!link_.online()) sender_.goOnline();
    const bool acknowledged = sender_.sendToUnit(MsgRecall, position + 1, 0);
    link_.setOffline();
    return acknowledged;
}

}  // namespace kv
