#pragma once
// Pixel layout of the page graph and the level meters, kept free of any drawing library
// so the mouse handling and the painters share one tested mapping.
//
// Graph coordinates: x is the grid point (frequency index - 12, 0..420); y is in graph
// units of a tenth of a dB counted down from +18 dB (y = 180 - 10 dB, 0..360 is the plot).
// Graph point (x, y) is at pixel (plotLeft + xScale x, plotTop + yScale y).

#include <array>

#include "response/Colour.h"

namespace kv {

struct PointF {
    float x = 0;
    float y = 0;
};

struct RectF {
    float x = 0;
    float y = 0;
    float width = 0;
    float height = 0;
    // Half-open on the right and bottom, like the page's hit test.
    bool contains(float px, float py) const {
        return x <= px && px < x + width && y <= py && py < y + height;
    }
};

// Whole-pixel rectangle (fractions dropped), for the filled meter areas.
struct RectI {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

inline constexpr float kMarkerSize = 10.0f;

// Plot size in graph units and the fixed margins around it.
inline constexpr int kPlotUnitsWide = 420;
inline constexpr int kPlotUnitsHigh = 360;
inline constexpr int kZeroDbUnits = 180;
inline constexpr int kCurveLimitUnits = 440;     // curves are drawn no lower than this
inline constexpr float kShadeLimitPixels = 500;  // the shaded area stops here on small frames
inline constexpr int kLabelStripWidth = 36;

// Graph unit of a dB value: 180 - 10 dB.
constexpr double graphUnitsOfDb(double db) { return kZeroDbUnits - 10.0 * db; }

struct GraphGeometry {
    // Page graph.
    float xScale = 0;  // pixels per frequency index step
    float yScale = 0;  // pixels per graph unit
    float plotLeft = 36.0f;
    float plotTop = 6.0f;
    bool backgroundBuilt = false;
    int frameWidth = 0;
    int frameHeight = 0;
    // Level meters.
    float meterLeft = 2.0f;
    float meterTop = 3.0f;
    float meterWidth = 0;
    float meterHeight = 0;
    float meterStep = 0;  // pixels per meter unit, meterHeight / 48
    bool meterBuilt = false;
    int meterFrameWidth = 0;
    int meterFrameHeight = 0;

    // Fills the graph fields for a frame of width x height pixels (does not set
    // backgroundBuilt: that is the painter's business once the images exist).
    void setGraphFrame(int width, int height);
    void setMeterFrame(int width, int height);

    PointF toPixel(float x, float y) const { return {plotLeft + xScale * x, plotTop + yScale * y}; }
    PointF toGraph(float px, float py) const { return {(px - plotLeft) / xScale, (py - plotTop) / yScale}; }
    float zeroDbRow() const { return kZeroDbUnits * yScale + plotTop; }
    float plotRight() const { return kPlotUnitsWide * xScale + plotLeft; }
    float plotBottom() const { return kPlotUnitsHigh * yScale + plotTop; }

    // Pixel row of a curve value: y = 180 - 10 dB, no lower than 440 units. Minus infinity
    // and NaN are drawn at the limit.
    float curveRow(double db) const;
    // Pixel row of a shaded-area point: as curveRow without the unit limit, then no lower
    // than 500 pixels or the frame's bottom, whichever is lower.
    float shadeRow(double db) const;

    // Marker of a band at a frequency index and a gain in tenths of a dB, 10 x 10 pixels
    // centred on the band's point.
    RectF markerRect(int frequency, int gain) const;

    // The mouse's inverse mapping: frequency index and gain (tenths of a dB) under a pixel,
    // truncated towards zero, not yet limited to any range.
    int frequencyIndexAt(float px) const;
    int gainAt(float py) const;
    // The axis zones of the page: left of the plot (gain only) and below it (frequency only).
    bool inGainZone(float px) const { return px < plotLeft - 2; }
    bool inFrequencyZone(float px, float py) const { return px > plotLeft + 1 && py > plotBottom(); }

    // Level meter: height of the red and of the yellow zone; the y of divider j (1..15);
    // the darkened top part for a meter value (values above 100 or below 0 darken all).
    int meterZoneHeight() const;
    float meterDividerY(int j) const { return 3.0f * static_cast<float>(j) * meterStep + 2.0f; }
    RectI meterDarkRect(int value) const;
};

// Marker palette and styles: bands 0..6 take palette entries 0..6 and are squares; band 7
// (and later) takes entry (b + 1) mod 8 and is a circle, so band 7 wears band 0's yellow.
inline constexpr std::array<Colour, 8> kMarkerPalette{
    MakeRgb(255, 255, 0), MakeRgb(255, 0, 0), MakeRgb(0, 255, 255),   MakeRgb(0, 255, 0),
    MakeRgb(255, 0, 255), MakeRgb(0, 0, 255), MakeRgb(255, 255, 255), MakeRgb(192, 192, 192)};
constexpr Colour markerColour(int band) {
    return kMarkerPalette[static_cast<std::size_t>(band < 7 ? band : (band + 1) % 8)];
}
constexpr bool markerIsEllipse(int band) { return band >= 7; }

}  // namespace kv
