#include "editing/slider/SliderScale.h"

#include <cmath>
#include <limits>

namespace kv {

int roundHalfUp(double x) {
    const double r = std::trunc(x + 0.5);
    // Keep far-off pointer positions representable instead of overflowing the int.
    constexpr double kLimit = std::numeric_limits<int>::max() / 2;
    if (!(r > -kLimit)) return static_cast<int>(-kLimit);
    if (r > kLimit) return static_cast<int>(kLimit);
    return static_cast<int>(r);
}

SliderScale::SliderScale(const SliderGeometry& geometry)
    : geometry_(geometry),
      travel_(geometry.controlHeight - geometry.bottomMargin - geometry.topMargin - geometry.thumbHeight) {
    const int span = geometry.maximum - geometry.minimum;
    if (travel_ != 0) valuePerPixel_ = static_cast<double>(span) / travel_;
    if (span != 0) pixelPerValue_ = static_cast<double>(travel_) / span;
}

int SliderScale::centreForPosition(int position) const {
    return highestCentre() +
           roundHalfUp((static_cast<double>(position) - geometry_.minimum) * pixelPerValue_);
}

int SliderScale::positionForCentre(int y) const {
    return roundHalfUp((static_cast<double>(y) - highestCentre()) * valuePerPixel_) + geometry_.minimum;
}

}  // namespace kv
