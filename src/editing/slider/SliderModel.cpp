#include "editing/slider/SliderModel.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace kv {

SliderModel::SliderModel() { rescale(); }

void SliderModel::setRangeMin(int value) {
    geometry_.minimum = value;
    rescale();
}

void SliderModel::setRangeMax(int value) {
    geometry_.maximum = value;
    rescale();
}

void SliderModel::setPos(int position) {
    if (position > geometry_.maximum) position = geometry_.maximum;
    if (position < geometry_.minimum) position = geometry_.minimum;
    position_ = position;
}

void SliderModel::setMargins(int left, int top, int /*right*/, int bottom) {
    leftMargin_ = left;
    geometry_.topMargin = top;
    geometry_.bottomMargin = bottom;
    rescale();
}

void SliderModel::setControlSize(int width, int height) {
    controlWidth_ = width;
    geometry_.controlHeight = height;
    rescale();
}

void SliderModel::setThumbSize(int width, int height) {
    thumbWidth_ = width;
    geometry_.thumbHeight = height;
    rescale();
}

int SliderModel::setHomePos(int position) { return std::exchange(home_, position); }

std::optional<int> SliderModel::press(int y, SliderButtons held) {
    if (!enabled_) return std::nullopt;
    const bool hadFocus = focused_;
    focused_ = true;
    grabbed_ = false;
    const int centre = thumbCentre();
    if (std::abs(y - centre) <= scale_.halfThumbHeight()) grabbed_ = true;
    grabOffset_ = y - centre;
    if (hadFocus) return move(y, held);
    return std::nullopt;
}

std::optional<int> SliderModel::move(int y, SliderButtons held) {
    if (!(held.left || held.right) || !enabled_ || !focused_) return std::nullopt;
    const int step = held.right ? 1 : 10;
    const int centre = thumbCentre();
    int wanted = position_;
    if (!grabbed_ && std::abs(y - centre) > scale_.halfThumbHeight()) {
        // Beside the thumb: step in the direction of the press until the thumb arrives.
        wanted = grabOffset_ < 0 ? position_ - step : position_ + step;
    } else {
        if (!grabbed_) {
            grabbed_ = true;
            grabOffset_ = y - centre;
        }
        const int target = std::max(std::min(y - grabOffset_, scale_.lowestCentre()), scale_.highestCentre());
        if (target == centre) return std::nullopt;
        wanted = scale_.positionForCentre(target);
    }
    const int before = position_;
    setPos(wanted);
    // Only a real change is reported: a thumb held against an end stays quiet.
    if (position_ == before) return std::nullopt;
    return position_;
}

std::optional<int> SliderModel::release() {
    if (!enabled_) return std::nullopt;
    grabbed_ = false;
    return position_;
}

std::optional<int> SliderModel::key(SliderKey key) {
    if (!enabled_) return std::nullopt;
    int wanted = position_;
    switch (key) {
        case SliderKey::PageUp: wanted = position_ - kPageSize; break;
        case SliderKey::PageDown: wanted = position_ + kPageSize; break;
        case SliderKey::Home:
        case SliderKey::End: wanted = home_; break;
        case SliderKey::Left:
        case SliderKey::Up: wanted = position_ - 1; break;
        case SliderKey::Right:
        case SliderKey::Down: wanted = position_ + 1; break;
    }
    setPos(wanted);
    return position_;
}

std::optional<int> SliderModel::wheel(int delta) {
    if (!enabled_) return std::nullopt;
    position_ += delta / -120;
    return position_;
}

}  // namespace kv
