#pragma once
// The bevel frame of the owner-drawn buttons on a QPainter, and colour conversions
// between the packed colours of the shading arithmetic and QColor.

#include <QColor>
#include <QRect>

#include "response/ColourShading.h"

class QPainter;

namespace kv {

inline QColor toQColor(Colour c) { return {RedOf(c), GreenOf(c), BlueOf(c)}; }
inline Colour toColour(const QColor& c) { return MakeRgb(c.red(), c.green(), c.blue()); }

// Four one-pixel rings inside `rect` from the outside in (top and left edges in one
// colour, bottom and right in the other), raised when the button is not pressed.
// Returns the rectangle left inside the frame: `rect` shrunk by 3 pixels on every side.
QRect DrawBevelFrame(QPainter& painter, const QRect& rect, Colour base, bool raised);

}  // namespace kv
