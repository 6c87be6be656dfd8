#pragma once
// What the user set up to tune one output against a measurement. It travels with the
// bank but not in the .ovk file; every field is a plain value, a string or a list of
// points, so the side file can hold it as it is.

#include <string>
#include <vector>

#include "measurement/FrequencyPoint.h"
#include "measurement/Smoothing.h"
#include "measurement/tuning/TuningTarget.h"

namespace kv {

inline constexpr double kMaxTypedOffsetDb = 200.0;

struct OutputTuning {
    std::string measurementName;              // the file it was imported from, for the user
    std::vector<FrequencyPoint> measurement;  // as imported; empty when none is loaded
    Smoothing smoothing = Smoothing::None;
    bool automaticOffset = true;  // the mean from 200 Hz to 2 kHz goes to 0 dB
    double typedOffsetDb = 0.0;   // used when automaticOffset is false
    TuningTarget target;
    bool operator==(const OutputTuning&) const = default;
};

// Empty when every value is usable, else what is wrong first.
std::string tuningProblem(const OutputTuning& tuning);

}  // namespace kv
