#include "exchange/ExchangeCurves.h"

#include <algorithm>
#include <cmath>

namespace kv {

namespace {

double decibelsAt(const AnalogElement& element, double hz) {
    const double db = 20.0 * std::log10(std::abs(analogElementResponse(element, hz)));
    if (std::isnan(db)) return 0.0;  // no section of the model divides by zero on the jw axis
    return std::max(db, kDeepestDb);
}

bool isCompared(int point) {
    const double hz = ResponseGrid::frequency(point);
    return hz >= kLowestComparedHz && hz <= kHighestComparedHz;
}

}  // namespace

void addElementResponse(GridCurve& curve, const AnalogElement& element) {
    if (element.count == 0) return;
    for (int k = 0; k < kGridPoints; ++k)
        curve[static_cast<std::size_t>(k)] += decibelsAt(element, ResponseGrid::frequency(k));
}

double worstDifferenceDb(const GridCurve& a, const GridCurve& b) {
    double worst = 0.0;
    for (int k = 0; k < kGridPoints; ++k) {
        if (!isCompared(k)) continue;
        const auto i = static_cast<std::size_t>(k);
        worst = std::max(worst, std::fabs(a[i] - b[i]));
    }
    return worst;
}

double peakEffectDb(const AnalogElement& element) {
    double peak = 0.0;
    if (element.count == 0) return peak;
    for (int k = 0; k < kGridPoints; ++k)
        if (isCompared(k)) peak = std::max(peak, std::fabs(decibelsAt(element, ResponseGrid::frequency(k))));
    return peak;
}

}  // namespace kv
