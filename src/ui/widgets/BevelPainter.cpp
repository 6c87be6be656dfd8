#include "ui/widgets/BevelPainter.h"

#include <QPainter>

namespace kv {

namespace {

// One ring: the top row and left column (each one pixel short of the far corner) in
// the first colour, the right column and bottom row (to the corner) in the second.
void drawRing(QPainter& p, const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
    const int x = r.x();
    const int y = r.y();
    const int w = r.width();
    const int h = r.height();
    p.fillRect(QRect(x, y, w - 1, 1), topLeft);
    p.fillRect(QRect(x, y, 1, h - 1), topLeft);
    p.fillRect(QRect(x + w - 1, y, 1, h), bottomRight);
    p.fillRect(QRect(x, y + h - 1, w, 1), bottomRight);
}

}  // namespace

QRect DrawBevelFrame(QPainter& painter, const QRect& rect, Colour base, bool raised) {
    QRect ring = rect;
    bool first = true;
    for (const BevelRing& colours : BevelRingColours(base, raised)) {
        if (!first) ring.adjust(1, 1, -1, -1);
        first = false;
        if (ring.width() <= 0 || ring.height() <= 0) break;
        drawRing(painter, ring, toQColor(colours.topLeft), toQColor(colours.bottomRight));
    }
    return rect.adjusted(3, 3, -3, -3);
}

}  // namespace kv
