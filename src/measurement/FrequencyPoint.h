#pragma once
// One point of a frequency response as a measurement program exports it, and the
// clean-up every imported response gets before it is used.

#include <vector>

namespace kv {

struct FrequencyPoint {
    double hz = 0.0;
    double db = 0.0;
    bool operator==(const FrequencyPoint&) const = default;
};

// Sorted by frequency, one point per frequency (the levels of repeated frequencies are
// averaged), points with a frequency that is not above 0 or a value that is not finite
// left out.
std::vector<FrequencyPoint> normalisedPoints(std::vector<FrequencyPoint> points);

}  // namespace kv
