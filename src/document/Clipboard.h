#pragma once
// The document's two private clipboards: one whole preset (without its name, notes,
// reserved text or place in the order) and one output. The system clipboard is not used.

#include <array>
#include <cstdint>

#include "document/PresetBank.h"

namespace kv {

struct PresetClipboard {
    bool filled = false;
    std::int32_t word = 0;  // reservedWord of the copied slot
    std::array<OutputChannel, kOutputSlots> outputs{};
};

struct OutputClipboard {
    bool filled = false;
    OutputChannel output{};
};

}  // namespace kv
