#pragma once
// The scroll actions the editors handle, from the actions of Qt's scroll bars and
// trackbars. Jumps to either end (Home/End on a focused bar) are not editor steps and
// map to nothing.

#include <QAbstractSlider>

#include <optional>

#include "editing/slider/ScrollStep.h"

namespace kv {

inline std::optional<ScrollAction> editorScrollAction(int sliderAction) {
    switch (sliderAction) {
        case QAbstractSlider::SliderSingleStepSub: return ScrollAction::LineLeft;
        case QAbstractSlider::SliderSingleStepAdd: return ScrollAction::LineRight;
        case QAbstractSlider::SliderPageStepSub: return ScrollAction::PageLeft;
        case QAbstractSlider::SliderPageStepAdd: return ScrollAction::PageRight;
        case QAbstractSlider::SliderMove: return ScrollAction::Thumb;
        default: return std::nullopt;
    }
}

}  // namespace kv
