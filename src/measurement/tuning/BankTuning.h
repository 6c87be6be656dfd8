#pragma once
// The tuning settings of every output of the bank, held beside the document. They travel
// with the bank but not in the .ovk file. They belong to a preset slot, not to a position
// in the tree, so reordering the presets keeps each tuning with its preset.

#include <array>

#include "document/PresetBank.h"
#include "measurement/tuning/OutputTuning.h"

namespace kv {

class BankTuning {
public:
    // slot 0..9, output 0..1; anything else throws std::out_of_range.
    const OutputTuning& tuning(int slot, int output) const;
    void setTuning(int slot, int output, OutputTuning tuning);
    void clear();
    // Takes over every output's tuning of other (a bank read from its side file).
    void replaceWith(const BankTuning& other);
    // True when no output has anything set up (what a missing side file means).
    bool empty() const;
    // Grows with every change, so a view can tell that curves it built are out of date.
    unsigned revision() const { return revision_; }

    bool operator==(const BankTuning& other) const { return outputs_ == other.outputs_; }

private:
    // Default-initialised on purpose: every OutputTuning starts as "nothing set up", and
    // an empty brace here crashes clang 14, which builds the fuzz targets.
    std::array<std::array<OutputTuning, kOutputsInUse>, kPresetCount> outputs_;
    unsigned revision_ = 0;
};

}  // namespace kv
