#include "response/GraphGeometry.h"

#include <algorithm>
#include <cmath>

namespace kv {

void GraphGeometry::setGraphFrame(int width, int height) {
    frameWidth = width;
    frameHeight = height;
    xScale = static_cast<float>(width - 44) * (1.0f / 420.0f);
    yScale = static_cast<float>(height - 30) * (1.0f / 360.0f);
    plotLeft = 36.0f;
    plotTop = 6.0f;
}

void GraphGeometry::setMeterFrame(int width, int height) {
    meterFrameWidth = width;
    meterFrameHeight = height;
    meterLeft = 2.0f;
    meterTop = 3.0f;
    meterWidth = static_cast<float>(width - 4);
    meterHeight = static_cast<float>(height - 6);
    meterStep = static_cast<float>(height - 6) * 0.020833334f;
}

float GraphGeometry::curveRow(double db) const {
    double units = graphUnitsOfDb(db);
    // Minus infinity (a notch on the grid) and NaN both sit at the bottom limit.
    if (std::isnan(units) || units > kCurveLimitUnits) units = kCurveLimitUnits;
    return plotTop + yScale * static_cast<float>(units);
}

float GraphGeometry::shadeRow(double db) const {
    // The limit keeps an infinitely deep notch a finite polygon; on a frame taller than
    // 500 pixels it moves down to the frame's bottom so the shade still reaches the plot's.
    const float limit = std::max(kShadeLimitPixels, static_cast<float>(frameHeight));
    const double units = graphUnitsOfDb(db);
    if (std::isnan(units)) return limit;
    const double row = plotTop + yScale * units;
    return row > limit ? limit : static_cast<float>(row);
}

RectF GraphGeometry::markerRect(int frequency, int gain) const {
    return {static_cast<float>(frequency - 12) * xScale + plotLeft - kMarkerSize / 2,
            static_cast<float>(kZeroDbUnits - gain) * yScale + plotTop - kMarkerSize / 2, kMarkerSize,
            kMarkerSize};
}

int GraphGeometry::frequencyIndexAt(float px) const {
    return static_cast<int>((px - plotLeft) / xScale) + 12;
}

int GraphGeometry::gainAt(float py) const {
    return static_cast<int>(static_cast<float>(kZeroDbUnits) - (py - plotTop) / yScale);
}

int GraphGeometry::meterZoneHeight() const { return static_cast<int>(6.0f * meterStep); }

RectI GraphGeometry::meterDarkRect(int value) const {
    if (value > 100 || value < 0) value = 100;
    if (value <= 0)
        return {static_cast<int>(meterLeft), static_cast<int>(meterTop), static_cast<int>(meterWidth), 0};
    const float height = std::min(static_cast<float>(value) * meterStep, meterHeight);
    return {static_cast<int>(meterLeft), static_cast<int>(meterTop), static_cast<int>(meterWidth),
            static_cast<int>(height)};
}

}  // namespace kv
