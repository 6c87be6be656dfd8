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
#include "document/history/UndoHistory.h"

namespace kv {

// Makes every change between construction and destruction one undo step.
class UndoStepScope {
public:
    explicit UndoStepScope(class CKorvaliserDoc& doc, std::string name = {});
    ~UndoStepScope();
    UndoStepScope(const UndoStepScope&) = delete;
    UndoStepScope& operator=(const UndoStepScope&) = delete;

private:
    class CKorvaliserDoc& doc_;
};

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
    // The model the unit reported or a file held: sends nothing, leaves the flag and the
    // history alone.
    void setUnitType(int type);
    // The user's choice of model: one undoable step, marks the document modified.
    void switchUnitType(int type);
    int activeBandCount() const { return activeBandCount_; }
    int outputCount() const { return outputCount_; }

    // --- whole bank ---
    const PresetBank& bank() const { return bank_; }
    // Reset of a new bank; unitType and the reserved fields are left as they are. The
    // history is cleared.
    void resetNewBank();
    // A bank read from a file replaces the whole bank; the history is cleared and the
    // document is unmodified.
    void loadBank(const PresetBank& bank, int unitType, int activeBandCount);
    bool isModified() const { return modified_; }
    // false: the bank matches its file now (saved, loaded); true: it no longer does.
    void setModified(bool modified);

    // --- undo and redo ---
    bool canUndo() const { return history_.canUndo() && !pending_.open; }
    bool canRedo() const { return history_.canRedo() && !pending_.open; }
    std::string undoName() const { return history_.undoName(); }  // "Band 3 Gain"
    std::string redoName() const { return history_.redoName(); }
    // Restore the state before (after) the last (next) step. While online the restored
    // values are sent with the messages an edit of them sends.
    void undo();
    void redo();
    // Every change between begin and end becomes one step (a drag, a paste, an import).
    // Steps nest; an empty name takes the name of the first change.
    void beginUndoStep(std::string name = {});
    void endUndoStep();

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

    // Bands in use per output (8; a file may hold fewer).
    void setActiveBandCount(int count) { activeBandCount_ = count; }

    // --- clipboards ---
    void copyPreset(int position);
    void pastePreset(int position);  // never sends
    void copyOutput(int output);
    void pasteOutput(int output);  // resends the whole preset while online
    bool presetCopied() const { return presetClipboard_.filled; }
    bool outputCopied() const { return outputClipboard_.filled; }

private:
    struct PendingStep {
        UndoStep step;
        int depth = 0;      // open begin/end pairs
        bool open = false;  // a step is being recorded
    };

    OutputChannel& out(int output);
    const OutputChannel& out(int output) const;
    int outputIndex(int output) const;
    DocumentChange outputChange(ChangedElement element, int output, ChangedField field = ChangedField::Whole,
                                int band = -1) const;
    void send(int code, int output, int band) const;
    // Before a change: the history keeps what is about to change.
    void touchPreset(int slot);
    void touchCurrent() { touchPreset(bank_.currentPreset); }
    void touchOrder();
    void touchUnitType();
    // After a change: marks modified, closes a single-change step, tells the listeners.
    void changed(DocumentChange change);
    void commitPendingStep();
    void notify(DocumentChange change);
    void restore(const UndoStep& step, bool after);
    void restorePreset(int slot, const Preset& target);
    void restoreOutput(int slot, int output, const OutputChannel& target);
    std::string stepName(const DocumentChange& change) const;

    PresetBank bank_{};
    int unitType_ = kUnitKV420;
    int activeBandCount_ = kBandsInUse;
    int outputCount_ = kOutputsInUse;
    bool modified_ = false;
    bool restoring_ = false;
    UnitSender* sender_ = nullptr;
    UndoHistory history_;
    PendingStep pending_;
    std::vector<DocumentListener*> listeners_;
    PresetClipboard presetClipboard_{};
    OutputClipboard outputClipboard_{};
};

// One undo step for a drag whose end arrives as its own event (a slider, a scroll bar
// thumb): open() at the first movement begins the step, close() at the release ends it.
class UndoStepLatch {
public:
    UndoStepLatch() = default;
    ~UndoStepLatch() { close(); }
    UndoStepLatch(const UndoStepLatch&) = delete;
    UndoStepLatch& operator=(const UndoStepLatch&) = delete;

    void open(CKorvaliserDoc& doc) {
        if (doc_ != nullptr) return;
        doc_ = &doc;
        doc.beginUndoStep();
    }
    void close() {
        if (doc_ == nullptr) return;
        CKorvaliserDoc* doc = doc_;
        doc_ = nullptr;
        doc->endUndoStep();
    }

private:
    CKorvaliserDoc* doc_ = nullptr;
};

}  // namespace kv
