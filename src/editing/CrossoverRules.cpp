#include "editing/CrossoverRules.h"

#include <algorithm>

#include "editing/input/FrequencyInput.h"

namespace kv {

ValueRange crossoverLimits(CrossoverSide side, int highPassFrequency, int lowPassFrequency, int unitType) {
    if (side == CrossoverSide::LowPass) {
        ValueRange limits = parameterRange(RangeKind::Frequency, PeqLowPass, unitType);
        limits.minimum = std::min(std::max(limits.minimum, highPassFrequency), limits.maximum);
        return limits;
    }
    ValueRange limits = parameterRange(RangeKind::Frequency, PeqHighPass, unitType);
    limits.maximum = std::max(std::min(limits.maximum, lowPassFrequency), limits.minimum);
    return limits;
}

std::optional<int> crossoverFrequencyFromText(std::string_view text, ValueRange limits) {
    const auto index = frequencyIndexFromText(text);
    if (!index) return std::nullopt;
    return limitToRange(*index, limits);
}

std::optional<int> offeredSlopeRow(int slopeCode) {
    const auto found = std::find(kOfferedSlopes.begin(), kOfferedSlopes.end(), slopeCode);
    if (found == kOfferedSlopes.end()) return std::nullopt;
    return static_cast<int>(found - kOfferedSlopes.begin());
}

}  // namespace kv
