#include "editing/input/FrequencyInput.h"

#include <cmath>
#include <string>

#include "editing/input/NumberInput.h"

namespace kv {

int frequencyIndexForHz(double hz) {
    const double f = hz < 0.1 ? 0.1 : hz;
    const double index = 36.0 * std::log2(f * 0.128) + 0.5;
    if (index < 0.0) return 0;
    if (index > kHighestTypedFrequencyIndex) return kHighestTypedFrequencyIndex;
    return static_cast<int>(index);
}

std::optional<int> frequencyIndexFromText(std::string_view text) {
    std::string edited(text);
    double multiplier = 1.0;
    if (const auto k = edited.find_first_of("kK"); k != std::string::npos) {
        edited[k] = '.';
        multiplier = 1000.0;
    }
    const auto number = readLeadingNumber(edited);
    if (!number) return std::nullopt;
    return frequencyIndexForHz(*number * multiplier);
}

}  // namespace kv
