#include "measurement/tuning/BankTuning.h"

#include <algorithm>

namespace kv {

const OutputTuning& BankTuning::tuning(int slot, int output) const {
    return outputs_.at(static_cast<std::size_t>(slot)).at(static_cast<std::size_t>(output));
}

void BankTuning::setTuning(int slot, int output, OutputTuning tuning) {
    outputs_.at(static_cast<std::size_t>(slot)).at(static_cast<std::size_t>(output)) = std::move(tuning);
    ++revision_;
}

void BankTuning::clear() {
    outputs_ = {};
    ++revision_;
}

void BankTuning::replaceWith(const BankTuning& other) {
    outputs_ = other.outputs_;
    ++revision_;
}

bool BankTuning::empty() const {
    const OutputTuning none;
    return std::all_of(outputs_.begin(), outputs_.end(), [&none](const auto& preset) {
        return std::all_of(preset.begin(), preset.end(),
                           [&none](const OutputTuning& t) { return t == none; });
    });
}

}  // namespace kv
