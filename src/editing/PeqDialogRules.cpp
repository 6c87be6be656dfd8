#include "editing/PeqDialogRules.h"

#include <cmath>

#include "editing/input/NumberInput.h"

namespace kv {

namespace {

// Q index for a Q value: 12 steps per doubling, 84 = Q 1; Q below 0.1 counts as 0.1.
int qIndexForQ(double q) {
    const double a = q < 0.1 ? 0.1 : q;
    const double index = 108.5 - 12.0 * std::log2(4.0 * a);
    if (index < 0.0) return 0;
    if (index > 128.0) return 128;
    return static_cast<int>(index);
}

int qIndexForPhaseDegrees(double degrees) {
    if (degrees < 0.0) return 0;
    return static_cast<int>((degrees > 178.0 ? 178.0 : degrees) * 0.5);
}

}  // namespace

BandRanges bandRangesForType(int type, int unitType) {
    return {parameterRange(RangeKind::Frequency, type, unitType),
            parameterRange(RangeKind::BandGain, type, unitType),
            parameterRange(RangeKind::Q, type, unitType)};
}

std::optional<int> bandGainFromText(std::string_view text, ValueRange gainRange) {
    const auto dB = readLeadingNumber(text);
    if (!dB) return std::nullopt;
    // Limit before converting: a huge entry must end at the top of the range, not wrap.
    const double tenths = std::trunc(*dB * 10.0);
    if (tenths <= gainRange.minimum) return gainRange.minimum;
    if (tenths >= gainRange.maximum) return gainRange.maximum;
    return static_cast<int>(tenths);
}

std::optional<int> bandQFromText(std::string_view text, int type, bool showQ, ValueRange qRange) {
    const auto value = readLeadingNumber(text);
    if (!value) return std::nullopt;
    int index = 0;
    if (type == PeqPhase) {
        index = qIndexForPhaseDegrees(*value);
    } else {
        // A bandwidth of 0 means an unbounded Q: the index then bottoms out at 0.
        const double q = showQ ? *value : (*value == 0.0 ? HUGE_VAL : 1.0 / *value);
        index = qIndexForQ(q);
    }
    return limitToRange(index, qRange);
}

int qBarPosition(int q, int type, ValueRange qRange) { return type == PeqPhase ? q : qRange.maximum - q; }

int qAfterScroll(int current, ScrollAction action, int thumbPosition, int type, ValueRange qRange) {
    // The bar is reversed for every type but Phase: right lowers the index (raises the Q).
    const int towardsRight = type == PeqPhase ? 1 : -1;
    int wanted = current;
    switch (action) {
        case ScrollAction::LineLeft: wanted = current - towardsRight; break;
        case ScrollAction::LineRight: wanted = current + towardsRight; break;
        case ScrollAction::PageLeft: wanted = current - towardsRight * kQPageStep; break;
        case ScrollAction::PageRight: wanted = current + towardsRight * kQPageStep; break;
        case ScrollAction::Thumb:
            wanted = type == PeqPhase ? thumbPosition : qRange.maximum - thumbPosition;
            break;
    }
    return limitToRange(wanted, qRange);
}

int bandGainFromSlider(int position, ValueRange gainRange) {
    const int p = position < 0 ? 0 : position;
    const int span = gainRange.maximum - gainRange.minimum;
    return gainRange.maximum - (p < span ? p : span);
}

TypeChange typeChangeFor(int currentType, bool flat, int chosenType) {
    TypeChange change;
    if (chosenType == currentType || !flat) return change;
    change.writeType = true;
    switch (chosenType) {
        case PeqLowShelf:
        case PeqHighShelf:
        case PeqVariQLowPass:
        case PeqVariQHighPass: change.q = 90; break;
        case PeqPeaking: change.q = 65; break;
        default: break;
    }
    return change;
}

int previousBandIndex(int band) { return band > 0 ? band - 1 : band; }

int nextBandIndex(int band, int lastBand) { return band < lastBand ? band + 1 : band; }

}  // namespace kv
