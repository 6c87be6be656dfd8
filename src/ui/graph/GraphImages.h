#pragma once
// What the output pages of one unit sheet share for drawing their graphs and meters:
// the geometry and the prebuilt background images. They are built once, from the size
// of the first graph frame and the first meter drawn, and never rebuilt, so every
// graph and every meter that shares them keeps that size.

#include <QImage>

#include "response/GraphGeometry.h"

namespace kv {

struct GraphImages {
    GraphGeometry geometry{};
    QImage background;       // black, the grid and the frequency labels
    QImage labelStrip;       // the dB labels, drawn over the left margin on every redraw
    QImage meterBackground;  // green/yellow/red bar with its dividers
};

}  // namespace kv
