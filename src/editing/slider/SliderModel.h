#pragma once
// Everything the image slider decides, without any drawing: its range and position, the
// thumb geometry, focus and grab state, and what each press, drag, release, key and wheel
// turn does. Each input returns the position to report to the owner, if any:
//   press / move -> "moving" (the position changed while a button is held),
//   release / key / wheel -> "moved".

#include <optional>

#include "editing/slider/SliderScale.h"

namespace kv {

enum class SliderKey { PageUp, PageDown, Home, End, Left, Up, Right, Down };

struct SliderButtons {
    bool left = false;
    bool right = false;
};

class SliderModel {
public:
    SliderModel();

    // --- configuration ---
    void setRangeMin(int value);
    void setRangeMax(int value);
    int rangeMin() const { return geometry_.minimum; }
    int rangeMax() const { return geometry_.maximum; }
    // Stores the position lowered to the maximum, then raised to the minimum.
    void setPos(int position);
    int pos() const { return position_; }
    // The thumb is drawn from the left margin; the right margin changes nothing.
    void setMargins(int left, int top, int right, int bottom);
    int leftMargin() const { return leftMargin_; }
    int topMargin() const { return geometry_.topMargin; }
    int bottomMargin() const { return geometry_.bottomMargin; }
    void setControlSize(int width, int height);
    int controlWidth() const { return controlWidth_; }
    int controlHeight() const { return geometry_.controlHeight; }
    void setThumbSize(int width, int height);
    int thumbWidth() const { return thumbWidth_; }
    int thumbHeight() const { return geometry_.thumbHeight; }
    int setHomePos(int position);  // returns the previous home position
    int homePos() const { return home_; }

    // --- state ---
    void setEnabled(bool enabled) { enabled_ = enabled; }
    bool enabled() const { return enabled_; }
    void setFocused(bool focused) { focused_ = focused; }
    bool focused() const { return focused_; }
    bool thumbGrabbed() const { return grabbed_; }
    const SliderScale& scale() const { return scale_; }
    int thumbCentre() const { return scale_.centreForPosition(position_); }
    int thumbTop() const { return thumbCentre() - scale_.halfThumbHeight(); }

    // --- input ---
    // A button press at y (the press also takes the focus). The first press on an
    // unfocused slider only focuses it (and grabs the thumb when it is under the
    // pointer); a press on a focused slider acts like a movement at once.
    std::optional<int> press(int y, SliderButtons held);
    // Pointer movement with buttons held: beside the thumb the thumb steps towards the
    // pointer by 10 (1 with the right button); once it reaches the pointer it follows it.
    std::optional<int> move(int y, SliderButtons held);
    std::optional<int> release();
    std::optional<int> key(SliderKey key);
    // One notch (120) away from the user moves the thumb up by one. The wheel works on
    // the raw position, as the owner clamps what it derives and sets the position back.
    // A disabled slider ignores the wheel, as it ignores buttons and keys.
    std::optional<int> wheel(int delta);

private:
    void rescale() { scale_ = SliderScale(geometry_); }

    static constexpr int kPageSize = 10;
    SliderGeometry geometry_{};
    SliderScale scale_{geometry_};
    int position_ = 0;
    int home_ = 50;
    int controlWidth_ = 100;
    int thumbWidth_ = 0;
    int leftMargin_ = 0;
    bool enabled_ = true;
    bool focused_ = false;
    bool grabbed_ = false;
    int grabOffset_ = 0;  // pointer y minus thumb centre at the last press
};

}  // namespace kv
