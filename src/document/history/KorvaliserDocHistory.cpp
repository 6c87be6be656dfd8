// The document's undo and redo: recording what each step touches, naming it, and
// restoring a state with the same change records and unit messages an edit sends.

#include <algorithm>
#include <string>

#include "document/KorvaliserDoc.h"

namespace kv {

namespace {

std::string numbered(const char* before, int number, const char* after = "") {
    return before + std::to_string(number) + after;
}

const char* fieldName(ChangedField field) {
    switch (field) {
        case ChangedField::Frequency: return " Frequency";
        case ChangedField::Gain: return " Gain";
        case ChangedField::Q: return " Q";
        case ChangedField::Type: return " Type";
        case ChangedField::Flat: return " Flat";
        case ChangedField::Slope: return " Slope";
        case ChangedField::Whole:
        case ChangedField::FrequencyAndGain: break;
    }
    return "";
}

}  // namespace

DocumentChange CKorvaliserDoc::outputChange(ChangedElement element, int output, ChangedField field,
                                            int band) const {
    return {.element = element,
            .field = field,
            .slot = bank_.currentPreset,
            .output = outputIndex(output),
            .band = band < 0 ? -1 : std::clamp(band, 0, kBandSlots - 1)};
}

std::string CKorvaliserDoc::stepName(const DocumentChange& c) const {
    const auto positionOf = [this](int slot) {
        const auto at = std::find(bank_.presetOrder.begin(), bank_.presetOrder.end(), slot);
        return static_cast<int>(at - bank_.presetOrder.begin()) % kPresetCount + 1;
    };
    const int output = c.output + 1;
    switch (c.element) {
        case ChangedElement::Band:
            if (c.field == ChangedField::FrequencyAndGain) return numbered("Move Band ", c.band + 1);
            return numbered("Band ", c.band + 1, fieldName(c.field));
        case ChangedElement::HighPass: return std::string("High-Pass") + fieldName(c.field);
        case ChangedElement::LowPass: return std::string("Low-Pass") + fieldName(c.field);
        case ChangedElement::Gain: return numbered("Output ", output, " Gain");
        case ChangedElement::Mute: return numbered("Output ", output, " Mute");
        case ChangedElement::Polarity: return numbered("Output ", output, " Polarity");
        case ChangedElement::Delay: return numbered("Output ", output, " Delay");
        case ChangedElement::Limiter: return numbered("Output ", output, " Limiter");
        case ChangedElement::Name: return numbered("Rename Preset ", positionOf(c.slot));
        case ChangedElement::Order: return "Move Preset";
        case ChangedElement::UnitType: return "Unit Type";
        case ChangedElement::Output: return numbered("Paste to Channel ", output);
        case ChangedElement::Preset: return numbered("Paste to Preset ", positionOf(c.slot));
        case ChangedElement::ModifiedFlag:
        case ChangedElement::Selection:
        case ChangedElement::Bank: break;
    }
    return "Change";
}

// ---------------------------------------------------------------- recording

void CKorvaliserDoc::touchPreset(int slot) {
    if (restoring_) return;
    pending_.open = true;
    auto& presets = pending_.step.presets;
    const bool known =
        std::any_of(presets.begin(), presets.end(), [slot](const PresetStates& s) { return s.slot == slot; });
    if (!known) presets.push_back({slot, bank_.presets[static_cast<std::size_t>(slot)], {}});
}

void CKorvaliserDoc::touchOrder() {
    if (restoring_) return;
    pending_.open = true;
    if (!pending_.step.orderBefore) pending_.step.orderBefore = bank_.presetOrder;
}

void CKorvaliserDoc::touchUnitType() {
    if (restoring_) return;
    pending_.open = true;
    if (!pending_.step.unitTypeBefore) pending_.step.unitTypeBefore = unitType_;
}

void CKorvaliserDoc::beginUndoStep(std::string name) {
    if (pending_.depth == 0 && !pending_.open) {
        pending_.open = true;
        pending_.step.name = std::move(name);
    }
    ++pending_.depth;
}

void CKorvaliserDoc::endUndoStep() {
    if (pending_.depth == 0) return;
    if (--pending_.depth == 0) {
        commitPendingStep();
        // The menus follow what can be undone now.
        notify({.element = ChangedElement::ModifiedFlag});
    }
}

void CKorvaliserDoc::commitPendingStep() {
    UndoStep& step = pending_.step;
    for (PresetStates& s : step.presets) s.after = bank_.presets[static_cast<std::size_t>(s.slot)];
    if (step.orderBefore) step.orderAfter = bank_.presetOrder;
    if (step.unitTypeBefore) step.unitTypeAfter = unitType_;
    if (pending_.open && !step.changesNothing()) history_.push(std::move(step));
    pending_ = {};
}

// ---------------------------------------------------------------- restoring

void CKorvaliserDoc::undo() {
    if (!canUndo()) return;
    const UndoStep step = history_.stepToUndo();  // a copy: listeners run during the restore
    history_.movedBack();
    restore(step, false);
}

void CKorvaliserDoc::redo() {
    if (!canRedo()) return;
    const UndoStep step = history_.stepToRedo();
    history_.movedForward();
    restore(step, true);
}

void CKorvaliserDoc::restore(const UndoStep& step, bool after) {
    modified_ = !history_.atSavedState();
    restoring_ = true;
    const auto& unitType = after ? step.unitTypeAfter : step.unitTypeBefore;
    if (unitType && *unitType != unitType_) {
        unitType_ = *unitType;
        notify({.element = ChangedElement::UnitType});
    }
    const auto& order = after ? step.orderAfter : step.orderBefore;
    if (order && *order != bank_.presetOrder) {
        bank_.presetOrder = *order;
        notify({.element = ChangedElement::Order});
    }
    for (const PresetStates& s : step.presets) restorePreset(s.slot, after ? s.after : s.before);
    restoring_ = false;
    notify({.element = ChangedElement::ModifiedFlag});
}

void CKorvaliserDoc::restorePreset(int slot, const Preset& target) {
    Preset& preset = bank_.presets[static_cast<std::size_t>(slot)];
    if (preset.name != target.name) {
        preset.name = target.name;
        notify({.element = ChangedElement::Name, .slot = slot});
    }
    if (preset.notes != target.notes || preset.reservedText != target.reservedText ||
        preset.reservedWord != target.reservedWord) {
        preset.notes = target.notes;
        preset.reservedText = target.reservedText;
        preset.reservedWord = target.reservedWord;
        notify({.element = ChangedElement::Preset, .slot = slot});
    }
    for (int o = 0; o < kOutputSlots; ++o)
        restoreOutput(slot, o, target.outputs[static_cast<std::size_t>(o)]);
}

// Each element that differs is restored, sent as its own edit would send it (only the
// preset being edited plays on the unit) and announced.
void CKorvaliserDoc::restoreOutput(int slot, int output, const OutputChannel& target) {
    OutputChannel& now =
        bank_.presets[static_cast<std::size_t>(slot)].outputs[static_cast<std::size_t>(output)];
    const bool plays = slot == bank_.currentPreset && output < kOutputsInUse;
    const auto sendIfPlaying = [&](int code, int band) {
        if (plays) send(code, output + 1, band);
    };
    const auto announce = [&](ChangedElement element, int band = -1) {
        notify({.element = element, .slot = slot, .output = output, .band = band});
    };
    if (now.delay != target.delay) {
        now.delay = target.delay;
        sendIfPlaying(MsgDelays, 0);
        announce(ChangedElement::Delay);
    }
    if (now.highPass != target.highPass) {
        const bool frequencyMoved = now.highPass.frequency != target.highPass.frequency;
        now.highPass = target.highPass;
        sendIfPlaying(MsgHighPass, 0);
        if (frequencyMoved) sendIfPlaying(MsgLimiterTimes, 0);
        announce(ChangedElement::HighPass);
    }
    if (now.lowPass != target.lowPass) {
        now.lowPass = target.lowPass;
        sendIfPlaying(MsgLowPass, 0);
        announce(ChangedElement::LowPass);
    }
    for (int b = 0; b < kBandSlots; ++b) {
        PeqBand& band = now.bands[static_cast<std::size_t>(b)];
        if (band == target.bands[static_cast<std::size_t>(b)]) continue;
        band = target.bands[static_cast<std::size_t>(b)];
        if (b < kBandsInUse) sendIfPlaying(MsgPeqBand, b + 1);
        announce(ChangedElement::Band, b);
    }
    if (now.limiter != target.limiter) {
        const bool levelMoved = now.limiter.level != target.limiter.level;
        now.limiter = target.limiter;
        if (levelMoved) sendIfPlaying(MsgLimiterLevel, 0);
        announce(ChangedElement::Limiter);
    }
    if (now.flags != target.flags || now.gain != target.gain) {
        now.flags = target.flags;
        now.gain = target.gain;
        sendIfPlaying(MsgGain, 0);
        announce(ChangedElement::Gain);
    }
}

}  // namespace kv
