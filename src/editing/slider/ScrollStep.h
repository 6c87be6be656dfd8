#pragma once
// The scroll bar and trackbar actions the editors react to, and the clamp they all use.

#include "document/KorvaliserDoc.h"

namespace kv {

// What the user did to a scroll bar or trackbar. Thumb covers both dragging and dropping
// the thumb.
enum class ScrollAction { LineLeft, LineRight, PageLeft, PageRight, Thumb };

// value limited to [range.minimum, range.maximum]. A range whose minimum lies above its
// maximum (two limits that crossed) yields the maximum, so the result is always defined.
int limitToRange(int value, ValueRange range);

// Frequency after a scroll action on a frequency bar: one index per line step, one octave
// (36 indices) per page step, the thumb's position as it is; limited to the range.
int frequencyAfterScroll(int current, ScrollAction action, int thumbPosition, ValueRange range);

inline constexpr int kFrequencyPageStep = 36;

}  // namespace kv
