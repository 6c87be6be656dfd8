#pragma once
// The bevel frame of the owner-drawn buttons on a QPainter.

#include <QRect>

#include "response/ColourShading.h"
#include "ui/widgets/ColourConversion.h"

class QPainter;

namespace kv {

// Four one-pixel rings inside `rect` from the outside in (top and left edges in one
// colour, bottom and right in the other), raised when the button is not pressed.
// Returns the rectangle left inside the frame: `rect` shrunk by 3 pixels on every side.
QRect DrawBevelFrame(QPainter& painter, const QRect& rect, Colour base, bool raised);

}  // namespace kv
