#pragma once
// The image slider's scale: how a position inside the range maps to the y coordinate of
// the thumb's centre and back. The slider is vertical; the range minimum sits at the top.

namespace kv {

// R(x): adds 0.5 and truncates toward zero (so R(-0.7) is 0, not -1).
int roundHalfUp(double x);

struct SliderGeometry {
    int controlHeight = 100;
    int thumbHeight = 0;
    int topMargin = 0;
    int bottomMargin = 0;
    int minimum = 0;
    int maximum = 100;
};

class SliderScale {
public:
    explicit SliderScale(const SliderGeometry& geometry);

    // Pixels the thumb centre can move: height - margins - thumb height.
    int travel() const { return travel_; }
    int halfThumbHeight() const { return geometry_.thumbHeight / 2; }

    int centreForPosition(int position) const;
    int positionForCentre(int y) const;
    // The band the thumb centre may be dragged within.
    int highestCentre() const { return geometry_.topMargin + halfThumbHeight(); }
    int lowestCentre() const { return geometry_.controlHeight - geometry_.bottomMargin - halfThumbHeight(); }

private:
    SliderGeometry geometry_;
    int travel_ = 0;
    // Zero when the range or the travel is empty, so a degenerate configuration pins the
    // thumb instead of dividing by zero.
    double valuePerPixel_ = 0.0;
    double pixelPerValue_ = 0.0;
};

}  // namespace kv
