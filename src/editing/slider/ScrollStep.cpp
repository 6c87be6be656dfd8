#include "editing/slider/ScrollStep.h"

#include <algorithm>

namespace kv {

int limitToRange(int value, ValueRange range) {
    return std::min(std::max(value, range.minimum), range.maximum);
}

int frequencyAfterScroll(int current, ScrollAction action, int thumbPosition, ValueRange range) {
    int wanted = current;
    switch (action) {
        case ScrollAction::LineLeft: wanted = current - 1; break;
        case ScrollAction::LineRight: wanted = current + 1; break;
        case ScrollAction::PageLeft: wanted = current - kFrequencyPageStep; break;
        case ScrollAction::PageRight: wanted = current + kFrequencyPageStep; break;
        case ScrollAction::Thumb: wanted = thumbPosition; break;
    }
    return limitToRange(wanted, range);
}

}  // namespace kv
