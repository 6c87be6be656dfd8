#include "ui/ControlColours.h"

namespace kv {

// The ramps meet at yellow and end at red; a slip in the formulas shows here at build time.
static_assert(controlBrushColour(kGreenToYellowBrush) == TableColour{10, 250, 0});
static_assert(controlBrushColour(kGreenToYellowBrush + kRampLength - 1) == TableColour{250, 250, 0});
static_assert(controlBrushColour(kYellowToRedBrush) == TableColour{250, 250, 0});
static_assert(controlBrushColour(kControlBrushCount - 1) == TableColour{250, 10, 0});
static_assert(controlBrushColour(kLabelBrush) == TableColour{21, 141, 243});
static_assert(controlBrushColour(14) == TableColour{0, 0, 0});
static_assert(!controlBrushColour(kEmptyBrush) && !controlBrushColour(-1) && !controlBrushColour(43));

QColor controlColour(int index) {
    if (index < 0 || index >= kControlColourCount) return QColor(0, 0, 0);
    const TableColour c = kControlColours[static_cast<std::size_t>(index)];
    return QColor(c.red, c.green, c.blue);
}

QBrush controlBrush(int index) {
    const auto c = controlBrushColour(index);
    if (!c) return QBrush(Qt::NoBrush);
    return QBrush(QColor(c->red, c->green, c->blue));
}

}  // namespace kv
