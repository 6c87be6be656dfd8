#include "document/KorvaliserDoc.h"

#include <algorithm>
#include <string>

namespace kv {

namespace {

constexpr int kMinGain = 30;
constexpr int kMaxGain = 450;

int clampGain(int value) { return std::clamp(value, kMinGain, kMaxGain); }

template <std::size_t N>
void copyText(std::array<char16_t, N>& field, std::u16string_view text) {
    const std::size_t units = std::min(text.size(), N - 1);
    std::copy_n(text.begin(), units, field.begin());
    field[units] = u'\0';
}

template <std::size_t N>
std::u16string textOf(const std::array<char16_t, N>& field, std::size_t limit) {
    std::u16string text;
    for (std::size_t i = 0; i < N && i < limit && field[i] != u'\0'; ++i) text.push_back(field[i]);
    return text;
}

void resetOutput(OutputChannel& output) {
    output.flags = 0;
    output.gain = 150;
    output.delay = 0;
    output.highPass = {12, 6};
    output.lowPass = {433, 6};
    output.limiter = {8, 2, 0};
    output.bands.fill(PeqBand{252, 0, 65, 0, 0});
}

}  // namespace

ValueRange parameterRange(RangeKind kind, int peqType, int /*unitType*/) {
    const int t = (peqType >= 1 && peqType <= 12) ? peqType : 0;
    switch (kind) {
        case RangeKind::BandGain:
            if (t == 0) return {-300, 150};
            if (t == 1 || t == 2) return {-150, 150};
            return {0, 0};
        case RangeKind::Frequency:
            switch (t) {
                case 1: return {48, 396};
                case 2: return {78, 432};
                case 3:
                case 10:
                case 12: return {12, 432};
                case 4:
                case 9:
                case 11: return {78, 433};
                case 8: return {78, 396};
                default: return {48, 432};
            }
        case RangeKind::Q:
            switch (t) {
                case 1:
                case 2: return {84, 108};
                case 3:
                case 4: return {0, 11};
                case 7: return {0, 108};
                case 8: return {0, 89};
                case 9:
                case 10: return {65, 100};
                case 11:
                case 12: return {72, 72};
                default: return {0, 100};
            }
    }
    return {0, 0};
}

int limiterAttackIndex(int h) {
    if (h < 72) return 17;
    if (h < 108) return 14;
    if (h < 144) return 12;
    if (h < 180) return 10;
    if (h < 216) return 8;
    if (h < 252) return 6;
    if (h < 288) return 4;
    return 2;
}

bool isPresetOrder(const std::array<std::int16_t, kPresetCount>& order) {
    std::array<bool, kPresetCount> seen{};
    for (const std::int16_t slot : order) {
        if (slot < 0 || slot >= kPresetCount || seen[static_cast<std::size_t>(slot)]) return false;
        seen[static_cast<std::size_t>(slot)] = true;
    }
    return true;
}

UndoStepScope::UndoStepScope(CKorvaliserDoc& doc, std::string name) : doc_(doc) {
    doc_.beginUndoStep(std::move(name));
}

UndoStepScope::~UndoStepScope() { doc_.endUndoStep(); }

CKorvaliserDoc::CKorvaliserDoc() {
    resetNewBank();
    modified_ = false;
}

void CKorvaliserDoc::addListener(DocumentListener* listener) {
    if (listener && std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end())
        listeners_.push_back(listener);
}

void CKorvaliserDoc::removeListener(DocumentListener* listener) {
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}

void CKorvaliserDoc::resetNewBank() {
    bank_.currentPreset = 0;
    outputCount_ = kOutputsInUse;
    activeBandCount_ = kBandsInUse;
    for (int i = 0; i < kPresetCount; ++i) {
        Preset& preset = bank_.presets[static_cast<std::size_t>(i)];
        bank_.presetOrder[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(i);
        const std::string name = "Preset " + std::to_string(i);
        copyText(preset.name, std::u16string(name.begin(), name.end()));
        copyText(preset.notes, u"(None)");
        for (OutputChannel& output : preset.outputs) resetOutput(output);
        preset.outputs[0].highPass.frequency = 85;
        preset.outputs[0].lowPass.frequency = 277;
        preset.outputs[1].highPass.frequency = 277;
        preset.outputs[1].lowPass.frequency = 413;
    }
    bank_.currentPreset = 0;
    history_.clear();
    pending_ = {};
    notify({.element = ChangedElement::Bank});
}

void CKorvaliserDoc::loadBank(const PresetBank& bank, int unitType, int activeBandCount) {
    bank_ = bank;
    unitType_ = unitType;
    activeBandCount_ = activeBandCount;
    history_.clear();
    pending_ = {};
    modified_ = false;
    notify({.element = ChangedElement::Bank});
}

void CKorvaliserDoc::setModified(bool modified) {
    modified_ = modified;
    if (modified)
        history_.forgetSaved();
    else
        history_.markSaved();
    notify({.element = ChangedElement::ModifiedFlag});
}

void CKorvaliserDoc::setUnitType(int type) {
    unitType_ = type;
    notify({.element = ChangedElement::UnitType});
}

void CKorvaliserDoc::switchUnitType(int type) {
    touchUnitType();
    unitType_ = type;
    changed({.element = ChangedElement::UnitType});
}

void CKorvaliserDoc::notify(DocumentChange change) {
    change.modified = modified_;
    change.currentPreset = change.slot == bank_.currentPreset;
    // A listener may unsubscribe while being told; work on a copy of the list.
    const std::vector<DocumentListener*> listeners = listeners_;
    for (DocumentListener* listener : listeners) listener->documentChanged(change);
}

void CKorvaliserDoc::changed(DocumentChange change) {
    if (!restoring_) {
        if (pending_.step.name.empty()) pending_.step.name = stepName(change);
        if (pending_.depth == 0) commitPendingStep();
    }
    modified_ = true;
    notify(change);
}

void CKorvaliserDoc::send(int code, int output, int band) const {
    if (sender_) sender_->sendToUnit(code, output, band);
}

void CKorvaliserDoc::selectPreset(int slot) {
    if (slot < 0 || slot >= kPresetCount || slot == bank_.currentPreset) return;
    bank_.currentPreset = slot;
    notify({.element = ChangedElement::Selection, .slot = slot});
}

int CKorvaliserDoc::positionOfCurrentPreset() const {
    for (int p = 0; p < kPresetCount; ++p)
        if (bank_.presetOrder[static_cast<std::size_t>(p)] == bank_.currentPreset) return p;
    return 0;
}

int CKorvaliserDoc::slotAtPosition(int position) const {
    if (position < 0 || position >= kPresetCount) return 0;
    return bank_.presetOrder[static_cast<std::size_t>(position)];
}

void CKorvaliserDoc::setPresetOrder(const std::array<std::int16_t, kPresetCount>& order) {
    // Every position lookup indexes the bank with these entries.
    if (!isPresetOrder(order)) return;
    touchOrder();
    bank_.presetOrder = order;
    changed({.element = ChangedElement::Order});
}

const char16_t* CKorvaliserDoc::presetName(int slot) const { return preset(slot).name.data(); }

std::u16string CKorvaliserDoc::presetNameText(int slot) const {
    return textOf(preset(slot).name, kNameMaxChars);
}

void CKorvaliserDoc::setPresetName(int slot, std::u16string_view name) {
    const int s = slot < 0 ? bank_.currentPreset : slot;
    if (s >= kPresetCount) return;
    touchPreset(s);
    copyText(bank_.presets[static_cast<std::size_t>(s)].name, name.substr(0, kNameMaxChars));
    changed({.element = ChangedElement::Name, .slot = s});
}

std::u16string CKorvaliserDoc::notesText() const { return textOf(preset(-1).notes, kNotesShownChars); }

const Preset& CKorvaliserDoc::preset(int slot) const {
    const int s = (slot < 0 || slot >= kPresetCount) ? bank_.currentPreset : slot;
    return bank_.presets[static_cast<std::size_t>(s)];
}

int CKorvaliserDoc::outputIndex(int output) const { return std::clamp(output, 0, kOutputSlots - 1); }

OutputChannel& CKorvaliserDoc::out(int output) {
    return bank_.presets[static_cast<std::size_t>(bank_.currentPreset)]
        .outputs[static_cast<std::size_t>(outputIndex(output))];
}

const OutputChannel& CKorvaliserDoc::out(int output) const {
    return bank_.presets[static_cast<std::size_t>(bank_.currentPreset)]
        .outputs[static_cast<std::size_t>(outputIndex(output))];
}

const OutputChannel& CKorvaliserDoc::outputChannel(int output) const { return out(output); }

// --- crossovers ---

int CKorvaliserDoc::highPassFrequency(int output) const { return out(output).highPass.frequency; }
void CKorvaliserDoc::setHighPassFrequency(int output, int value) {
    touchCurrent();
    out(output).highPass.frequency = static_cast<std::uint16_t>(value);
    send(MsgHighPass, output + 1, 0);
    send(MsgLimiterTimes, output + 1, 0);  // the limiter attack follows the high-pass
    changed(outputChange(ChangedElement::HighPass, output, ChangedField::Frequency));
}
int CKorvaliserDoc::highPassSlope(int output) const { return out(output).highPass.slope; }
void CKorvaliserDoc::setHighPassSlope(int output, int value) {
    touchCurrent();
    out(output).highPass.slope = static_cast<std::uint8_t>(value);
    send(MsgHighPass, output + 1, 0);
    changed(outputChange(ChangedElement::HighPass, output, ChangedField::Slope));
}
int CKorvaliserDoc::lowPassFrequency(int output) const { return out(output).lowPass.frequency; }
void CKorvaliserDoc::setLowPassFrequency(int output, int value) {
    touchCurrent();
    out(output).lowPass.frequency = static_cast<std::uint16_t>(value);
    send(MsgLowPass, output + 1, 0);
    changed(outputChange(ChangedElement::LowPass, output, ChangedField::Frequency));
}
int CKorvaliserDoc::lowPassSlope(int output) const { return out(output).lowPass.slope; }
void CKorvaliserDoc::setLowPassSlope(int output, int value) {
    touchCurrent();
    out(output).lowPass.slope = static_cast<std::uint8_t>(value);
    send(MsgLowPass, output + 1, 0);
    changed(outputChange(ChangedElement::LowPass, output, ChangedField::Slope));
}

void CKorvaliserDoc::setHighPass(int output, CrossoverFilter filter) {
    touchCurrent();
    out(output).highPass = filter;
    send(MsgHighPass, output + 1, 0);
    send(MsgLimiterTimes, output + 1, 0);
    changed(outputChange(ChangedElement::HighPass, output));
}
void CKorvaliserDoc::setLowPass(int output, CrossoverFilter filter) {
    touchCurrent();
    out(output).lowPass = filter;
    send(MsgLowPass, output + 1, 0);
    changed(outputChange(ChangedElement::LowPass, output));
}

// --- bands ---

namespace {
PeqBand& bandOf(OutputChannel& output, int band) {
    return output.bands[static_cast<std::size_t>(std::clamp(band, 0, kBandSlots - 1))];
}
const PeqBand& bandOf(const OutputChannel& output, int band) {
    return output.bands[static_cast<std::size_t>(std::clamp(band, 0, kBandSlots - 1))];
}
}  // namespace

bool CKorvaliserDoc::bandFlat(int output, int band) const { return bandOf(out(output), band).flat != 0; }
void CKorvaliserDoc::setBandFlat(int output, int band, int value) {
    touchCurrent();
    bandOf(out(output), band).flat = value != 0 ? 1 : 0;
    send(MsgPeqBand, output + 1, band + 1);
    changed(outputChange(ChangedElement::Band, output, ChangedField::Flat, band));
}
int CKorvaliserDoc::bandFrequency(int output, int band) const { return bandOf(out(output), band).frequency; }
void CKorvaliserDoc::setBandFrequency(int output, int band, int value) {
    touchCurrent();
    bandOf(out(output), band).frequency = static_cast<std::uint16_t>(value);
    send(MsgPeqBand, output + 1, band + 1);
    changed(outputChange(ChangedElement::Band, output, ChangedField::Frequency, band));
}
void CKorvaliserDoc::setBandFrequencyAndGain(int output, int band, int frequency, int gain) {
    touchCurrent();
    PeqBand& b = bandOf(out(output), band);
    b.frequency = static_cast<std::uint16_t>(frequency);
    b.gain = static_cast<std::int16_t>(gain);
    send(MsgPeqBand, output + 1, band + 1);
    changed(outputChange(ChangedElement::Band, output, ChangedField::FrequencyAndGain, band));
}
int CKorvaliserDoc::bandGain(int output, int band) const { return bandOf(out(output), band).gain; }
void CKorvaliserDoc::setBandGain(int output, int band, int value) {
    touchCurrent();
    bandOf(out(output), band).gain = static_cast<std::int16_t>(value);
    send(MsgPeqBand, output + 1, band + 1);
    changed(outputChange(ChangedElement::Band, output, ChangedField::Gain, band));
}
int CKorvaliserDoc::bandQ(int output, int band) const { return bandOf(out(output), band).q; }
void CKorvaliserDoc::setBandQ(int output, int band, int value) {
    touchCurrent();
    bandOf(out(output), band).q = static_cast<std::uint8_t>(value);
    send(MsgPeqBand, output + 1, band + 1);
    changed(outputChange(ChangedElement::Band, output, ChangedField::Q, band));
}
int CKorvaliserDoc::bandType(int output, int band) const { return bandOf(out(output), band).type; }
void CKorvaliserDoc::setBandType(int output, int band, int value) {
    touchCurrent();
    bandOf(out(output), band).type = static_cast<std::uint8_t>(value);
    send(MsgPeqBand, output + 1, band + 1);
    changed(outputChange(ChangedElement::Band, output, ChangedField::Type, band));
}
void CKorvaliserDoc::setBand(int output, int band, const PeqBand& values) {
    touchCurrent();
    PeqBand& b = bandOf(out(output), band);
    b = values;
    b.flat = values.flat != 0 ? 1 : 0;
    send(MsgPeqBand, output + 1, band + 1);
    changed(outputChange(ChangedElement::Band, output, ChangedField::Whole, band));
}

// --- gain, mute, polarity, delay, limiter ---

int CKorvaliserDoc::gain(int output) const { return clampGain(out(output).gain); }
void CKorvaliserDoc::setGain(int output, int value) {
    touchCurrent();
    out(output).gain = static_cast<std::uint16_t>(clampGain(value));
    send(MsgGain, output + 1, 0);
    changed(outputChange(ChangedElement::Gain, output, ChangedField::Whole));
}
bool CKorvaliserDoc::mute(int output) const { return (out(output).flags & kFlagMute) != 0; }
void CKorvaliserDoc::setMute(int output, bool value) {
    touchCurrent();
    OutputChannel& o = out(output);
    o.flags = static_cast<std::uint8_t>(value ? (o.flags | kFlagMute) : (o.flags & ~kFlagMute));
    send(MsgGain, output + 1, 0);
    changed(outputChange(ChangedElement::Mute, output, ChangedField::Whole));
}
bool CKorvaliserDoc::invert(int output) const { return (out(output).flags & kFlagInvert) != 0; }
void CKorvaliserDoc::setInvert(int output, bool value) {
    touchCurrent();
    OutputChannel& o = out(output);
    o.flags = static_cast<std::uint8_t>(value ? (o.flags | kFlagInvert) : (o.flags & ~kFlagInvert));
    send(MsgGain, output + 1, 0);
    changed(outputChange(ChangedElement::Polarity, output, ChangedField::Whole));
}
int CKorvaliserDoc::delay(int output) const { return out(output).delay; }
void CKorvaliserDoc::setDelay(int output, int value) {
    touchCurrent();
    const int other = output == 0 ? 1 : 0;
    // Compared as unsigned 16-bit, as the unit's delay line is shared by both outputs.
    const auto left = static_cast<std::uint16_t>(kMaxTotalDelay - out(other).delay);
    const auto wanted = static_cast<std::uint16_t>(value);
    out(output).delay = std::min(wanted, left);
    send(MsgDelays, output + 1, 0);
    changed(outputChange(ChangedElement::Delay, output, ChangedField::Whole));
}
int CKorvaliserDoc::limiterLevel(int output) const { return out(output).limiter.level & 0xFF; }
void CKorvaliserDoc::setLimiterLevel(int output, int value) {
    touchCurrent();
    out(output).limiter.level = static_cast<std::uint16_t>(value & 0xFF);
    send(MsgLimiterLevel, output + 1, 0);
    changed(outputChange(ChangedElement::Limiter, output, ChangedField::Whole));
}
int CKorvaliserDoc::limiterAttack(int output) const {
    return limiterAttackIndex(out(output).highPass.frequency);
}
int CKorvaliserDoc::limiterRelease(int /*output*/) const { return kLimiterReleaseIndex; }
void CKorvaliserDoc::setLimiterAttack(int /*output*/, int /*value*/) {}
void CKorvaliserDoc::setLimiterRelease(int /*output*/, int /*value*/) {}

// --- clipboards ---

void CKorvaliserDoc::copyPreset(int position) {
    const Preset& source = preset(slotAtPosition(position));
    presetClipboard_.word = source.reservedWord;
    presetClipboard_.outputs = source.outputs;
    presetClipboard_.filled = true;
}

void CKorvaliserDoc::pastePreset(int position) {
    if (!presetClipboard_.filled) return;
    const int slot = slotAtPosition(position);
    touchPreset(slot);
    Preset& target = bank_.presets[static_cast<std::size_t>(slot)];
    target.reservedWord = presetClipboard_.word;
    target.outputs = presetClipboard_.outputs;
    changed({.element = ChangedElement::Preset, .slot = slot});
}

void CKorvaliserDoc::copyOutput(int output) {
    outputClipboard_.output = out(output);
    outputClipboard_.filled = true;
}

void CKorvaliserDoc::pasteOutput(int output) {
    if (!outputClipboard_.filled) return;
    const OutputChannel& copied = outputClipboard_.output;
    const int other = output == 0 ? 1 : 0;
    const auto left = static_cast<std::uint16_t>(kMaxTotalDelay - out(other).delay);
    touchCurrent();
    OutputChannel& target = out(output);
    target = copied;  // gain as copied, not clamped
    target.delay = std::min(copied.delay, left);
    if (sender_ && sender_->isOnline()) sender_->sendAllParameters();
    changed(outputChange(ChangedElement::Output, output));
}

}  // namespace kv
