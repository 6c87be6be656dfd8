#include "measurement/GridCurve.h"

namespace kv {

namespace {

double meanOf(const GridCurve& curve, double lowHz, double highHz) {
    double sum = 0.0;
    int count = 0;
    for (int k = 0; k < kGridPoints; ++k) {
        const double hz = ResponseGrid::frequency(k);
        const double value = curve[static_cast<std::size_t>(k)];
        if (hz < lowHz || hz > highHz || !isPresent(value)) continue;
        sum += value;
        ++count;
    }
    return count > 0 ? sum / count : kAbsentPoint;
}

}  // namespace

double alignmentOffsetDb(const GridCurve& curve) {
    double mean = meanOf(curve, kAlignmentLowHz, kAlignmentHighHz);
    if (!isPresent(mean)) mean = meanOf(curve, 0.0, ResponseGrid::frequency(kGridPoints - 1));
    return isPresent(mean) ? -mean : 0.0;
}

}  // namespace kv
