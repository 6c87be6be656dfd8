#pragma once
// The one document: it owns the preset bank, the model-wide values that travel with it
// (unitType, activeBandCount, outputCount) and the two private clipboards. Editors, the
// graphs, the report, the files and the link read and write the bank only through it.
//
// Conventions: per-output accessors act on the current preset; output is 0 or 1, band
// 0..11. Every setter stores, then hands its message code to the sender with 1-based
// output and band numbers, then marks the document modified.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "document/Clipboard.h"
#include "document/DocumentListener.h"
#include "document/MessageCode.h"
#include "document/PresetBank.h"
#include "document/UnitSender.h"

namespace kv {

// Parameter kinds of the range lookup.
enum class RangeKind : int { BandGain = 2, Frequency = 3, Q = 4 };

struct ValueRange {
    int minimum = 0;
    int maximum = 0;
};

// Editable range of a band or crossover parameter for a PEQ type code. The ranges are
// the same for both models; unitType is taken so callers need not special-case it.
ValueRange parameterRange(RangeKind kind, int peqType, int unitType);

// Attack index into the limiter time table, derived from the high-pass frequency index.
int limiterAttackIndex(int highPassFrequency);

// True when order names each of the ten slots exactly once (what presetOrder must hold).
bool isPresetOrder(const std::array<std::int16_t, kPresetCount>& order);
inline constexpr int kLimiterReleaseIndex = 3;

class CKorvaliserDoc {
public:
    CKorvaliserDoc();

    // --- collaborators (not owned; may be null) ---
    void setSender(UnitSender* sender) { sender_ = sender; }
    UnitSender* sender() const { return sender_; }
    void addListener(DocumentListener* listener);
    void removeListener(DocumentListener* listener);

    // --- model-wide values ---
    int unitType() const { return unitType_; }
    void setUnitType(int type) { unitType_ = type; }  // sends nothing, leaves the flag
    int activeBandCount() const { return activeBandCount_; }
    int outputCount() const { return outputCount_; }

    // --- whole bank ---
    const PresetBank& bank() const { return bank_; }
    // Reset of a new bank; unitType and the reserved fields are left as they are.
    void resetNewBank();
    bool isModified() const { return modified_; }
    void setModified(bool modified);

    // --- selection and names ---
    void selectPreset(int slot);
    int currentPreset() const { return bank_.currentPreset; }
    int positionOfCurrentPreset() const;
    int slotAtPosition(int position) const;  // presetOrder[position]
    const std::array<std::int16_t, kPresetCount>& presetOrder() const { return bank_.presetOrder; }
    // Marks modified; an order that is not a permutation of the slots is ignored.
    void setPresetOrder(const std::array<std::int16_t, kPresetCount>& order);
    const char16_t* presetName(int slot) const;     // negative = current
    std::u16string presetNameText(int slot) const;  // cut to 16 units
    void setPresetName(int slot, std::u16string_view name);
    std::u16string notesText() const;  // cut to 240 units

    // --- per output, current preset ---
    int highPassFrequency(int output) const;
    void setHighPassFrequency(int output, int value);
    int highPassSlope(int output) const;
    void setHighPassSlope(int output, int value);
    int lowPassFrequency(int output) const;
    void setLowPassFrequency(int output, int value);
    int lowPassSlope(int output) const;
    void setLowPassSlope(int output, int value);
    // Frequency and slope together, sent once (filter import writes a crossover whole).
    void setHighPass(int output, CrossoverFilter filter);
    void setLowPass(int output, CrossoverFilter filter);

    bool bandFlat(int output, int band) const;
    void setBandFlat(int output, int band, int value);
    int bandFrequency(int output, int band) const;
    void setBandFrequency(int output, int band, int value);
    void setBandFrequencyAndGain(int output, int band, int frequency, int gain);
    int bandGain(int output, int band) const;
    void setBandGain(int output, int band, int value);
    int bandQ(int output, int band) const;
    void setBandQ(int output, int band, int value);
    int bandType(int output, int band) const;
    void setBandType(int output, int band, int value);
    // Every field of a band, sent once: the unit never sees a half-written band.
    void setBand(int output, int band, const PeqBand& values);

    int gain(int output) const;  // clamped to 30..450
    void setGain(int output, int value);
    bool mute(int output) const;
    void setMute(int output, bool value);
    bool invert(int output) const;
    void setInvert(int output, bool value);
    int delay(int output) const;
    void setDelay(int output, int value);  // limited so both outputs hold at most 2038
    int limiterLevel(int output) const;
    void setLimiterLevel(int output, int value);
    int limiterAttack(int output) const;            // derived from the high-pass frequency
    int limiterRelease(int output) const;           // always 3
    void setLimiterAttack(int output, int value);   // no effect
    void setLimiterRelease(int output, int value);  // no effect

    // Read-only view of a whole output of the current preset (the link and graphs).
    const OutputChannel& outputChannel(int output) const;
    const Preset& preset(int slot) const;

    // --- clipboards ---
    void copyPreset(int position);
    void pastePreset(int position);  // never sends
    void copyOutput(int output);
    void pasteOutput(int output);  // resends the whole preset while online
    bool presetCopied() const { return presetClipboard_.filled; }
    bool outputCopied() const { return outputClipboard_.filled; }

    // --- file access for the .ovk codec ---
    PresetBank& bankForLoading() { return bank_; }
    void setActiveBandCount(int count) { activeBandCount_ = count; }

private:
    OutputChannel& out(int output);
    const OutputChannel& out(int output) const;
    void send(int code, int output, int band) const;
    void changed();  // marks modified and tells the listeners

    PresetBank bank_{};
    int unitType_ = kUnitKV420;
    int activeBandCount_ = kBandsInUse;
    int outputCount_ = kOutputsInUse;
    bool modified_ = false;
    UnitSender* sender_ = nullptr;
    std::vector<DocumentListener*> listeners_;
    PresetClipboard presetClipboard_{};
    OutputClipboard outputClipboard_{};
};

}  // namespace kv
