#pragma once
// The one place where the core's colours become Qt's and back.

#include <QColor>

#include "response/Colour.h"

namespace kv {

inline QColor toQColor(Colour c) { return {c.red, c.green, c.blue}; }
inline Colour toColour(const QColor& c) { return MakeRgb(c.red(), c.green(), c.blue()); }

}  // namespace kv
