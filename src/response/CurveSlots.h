#pragma once
// Which curve slot holds which element, shared by the output pages, the report and the
// command-line tool so they never disagree:
//
//   slot 0        this output's high-pass crossover filter
//   slot 1        this output's low-pass crossover filter
//   slot 2 + b    PEQ band b of this output (b < activeBandCount)
//   slot 10       the report graph's working slot, never part of a page's total
//   slot 16 + k   crossover pair (high-pass, then low-pass added) of output k, drawn on the
//                 pages of the other outputs
//
// The page's selected element (0 none, 1 high-pass, 2 low-pass, 3 + b band b) maps to
// slot (selected element - 1).

namespace kv {

struct CurveSlots {
    static constexpr int highPass = 0;
    static constexpr int lowPass = 1;
    static constexpr int firstBand = 2;
    static constexpr int report = 10;
    static constexpr int firstCrossoverPair = 16;
    static constexpr int crossoverPairCount = 8;  // outputs 0..7 have a pair slot

    static constexpr int band(int b) { return firstBand + b; }
    static constexpr int crossoverPair(int output) { return firstCrossoverPair + output; }
    // The last slot of this output's own elements; a page's total sums slots 0..this.
    static constexpr int lastElement(int activeBandCount) { return activeBandCount + 1; }
    // Slot of a selected element, or -1 when nothing is selected.
    static constexpr int ofSelectedElement(int selected) { return selected > 0 ? selected - 1 : -1; }
};

}  // namespace kv
