#include "measurement/tuning/OutputTuning.h"

#include <cmath>

#include "measurement/MeasuredCurve.h"

namespace kv {

std::string tuningProblem(const OutputTuning& tuning) {
    if (!tuning.measurement.empty() && MeasuredCurve(tuning.measurement).empty())
        return "the measurement holds fewer than two frequencies";
    if (!tuning.automaticOffset && !(std::fabs(tuning.typedOffsetDb) <= kMaxTypedOffsetDb))
        return "the level offset must lie between -200 and +200 dB";
    return targetProblem(tuning.target);
}

}  // namespace kv
