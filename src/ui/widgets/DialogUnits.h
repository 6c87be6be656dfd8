#pragma once
// Dialog templates give positions and sizes in dialog units; the dialogs place their
// controls with this one factor so that they keep the template's proportions.

#include <QRect>
#include <QSize>

namespace kv {

inline constexpr double kPixelsPerDialogUnit = 1.75;

constexpr int dialogUnitsToPixels(int units) { return static_cast<int>(units * kPixelsPerDialogUnit + 0.5); }

constexpr QRect dialogRect(int x, int y, int width, int height) {
    return QRect(dialogUnitsToPixels(x), dialogUnitsToPixels(y), dialogUnitsToPixels(width),
                 dialogUnitsToPixels(height));
}

constexpr QSize dialogSize(int width, int height) {
    return QSize(dialogUnitsToPixels(width), dialogUnitsToPixels(height));
}

}  // namespace kv
