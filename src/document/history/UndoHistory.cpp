#include "document/history/UndoHistory.h"

#include <algorithm>

namespace kv {

bool UndoStep::changesNothing() const {
    const bool presetsSame = std::all_of(presets.begin(), presets.end(),
                                         [](const PresetStates& s) { return s.before == s.after; });
    return presetsSame && orderBefore == orderAfter && unitTypeBefore == unitTypeAfter;
}

std::string UndoHistory::undoName() const { return canUndo() ? stepToUndo().name : std::string{}; }

std::string UndoHistory::redoName() const { return canRedo() ? stepToRedo().name : std::string{}; }

void UndoHistory::push(UndoStep step) {
    steps_.erase(steps_.begin() + static_cast<std::ptrdiff_t>(position_), steps_.end());
    if (saved_ && *saved_ > position_) saved_.reset();  // the saved state was undone and is gone
    steps_.push_back(std::move(step));
    ++position_;
    if (steps_.size() > kMaxSteps) {
        steps_.pop_front();
        --position_;
        if (saved_) {
            if (*saved_ == 0)
                saved_.reset();
            else
                --*saved_;
        }
    }
}

void UndoHistory::clear() {
    steps_.clear();
    position_ = 0;
    saved_ = 0;
}

}  // namespace kv
