#pragma once
// The response an output should reach: flat, a tilt in dB per octave with an optional
// low-frequency shelf, or a curve imported from a file (absent outside its range). Like
// the measurement, a tilt or a file is lined up so that its mean from 200 Hz to 2 kHz is
// 0 dB: the fit then spends no band on a difference of level, and a file may hold
// absolute levels.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "measurement/FrequencyPoint.h"
#include "measurement/GridCurve.h"

namespace kv {

enum class TargetKind { Flat, Tilt, File };

inline constexpr double kMaxTiltDbPerOctave = 6.0;
inline constexpr double kLowestShelfHz = 20.0;
inline constexpr double kHighestShelfHz = 1000.0;
inline constexpr double kMaxShelfDb = 20.0;
// The shelf is the unit's own Low Shelf at this Q, so a fit can meet it exactly.
inline constexpr double kTargetShelfQ = 0.7071067811865476;

struct TuningTarget {
    TargetKind kind = TargetKind::Flat;
    double tiltDbPerOctave = 0.0;  // Tilt
    bool lowShelf = false;         // Tilt: add a low shelf
    double shelfHz = 100.0;
    double shelfDb = 0.0;
    std::string fileName;                    // File: where it came from, for the user
    std::vector<FrequencyPoint> filePoints;  // File: the imported points
    bool operator==(const TuningTarget&) const = default;
};

// "flat", "tilt", "file": how the settings keep the kind.
std::string_view targetKindName(TargetKind kind);
std::optional<TargetKind> targetKindFromName(std::string_view name);

GridCurve targetCurve(const TuningTarget& target);

// Empty when the values are usable, else what is wrong (a typed or reloaded value).
std::string targetProblem(const TuningTarget& target);

// "flat", "tilt -1.0 dB/octave", "tilt -1.0 dB/octave, shelf +4.0 dB at 120 Hz", or
// "file NAME": how the command line and the dialogs name the target.
std::string targetText(const TuningTarget& target);

}  // namespace kv
