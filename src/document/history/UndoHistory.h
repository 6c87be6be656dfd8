#pragma once
// The document's undo and redo history: a list of steps, each holding the state before
// and after of exactly what it touched (presets, the order, the unit type). A step is one
// user action: a setter, or a whole marker drag, slider drag, paste or import grouped by
// the editor. The history also knows which position matches the saved file, so the
// modified flag can follow undo and redo.

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "document/PresetBank.h"

namespace kv {

struct PresetStates {
    int slot = 0;
    Preset before{};
    Preset after{};
};

using PresetOrder = std::array<std::int16_t, kPresetCount>;

struct UndoStep {
    std::string name;  // "Band 3 Gain", "Paste to Channel 2"
    std::vector<PresetStates> presets;
    std::optional<PresetOrder> orderBefore, orderAfter;
    std::optional<int> unitTypeBefore, unitTypeAfter;

    // True when the after states equal the before states (nothing to undo).
    bool changesNothing() const;
};

class UndoHistory {
public:
    // Enough for a long session of edits; the oldest steps are forgotten first.
    static constexpr std::size_t kMaxSteps = 500;

    bool canUndo() const { return position_ > 0; }
    bool canRedo() const { return position_ < steps_.size(); }
    // Names of the step an undo or redo would restore; empty when there is none.
    std::string undoName() const;
    std::string redoName() const;

    const UndoStep& stepToUndo() const { return steps_[position_ - 1]; }
    const UndoStep& stepToRedo() const { return steps_[position_]; }
    void movedBack() { --position_; }
    void movedForward() { ++position_; }

    // Adds a done step; the steps that could have been redone are dropped.
    void push(UndoStep step);
    void clear();  // new bank, load: nothing to undo, the state is the saved one

    void markSaved() { saved_ = position_; }
    void forgetSaved() { saved_.reset(); }
    bool atSavedState() const { return saved_ && *saved_ == position_; }

private:
    std::deque<UndoStep> steps_;
    std::size_t position_ = 0;  // steps before it are done
    std::optional<std::size_t> saved_ = 0;
};

}  // namespace kv
