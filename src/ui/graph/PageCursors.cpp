#include "ui/graph/PageCursors.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace kv {

namespace {

constexpr int kCursorSize = 32;
constexpr int kHotSpot = 15;

enum ArrowSet : unsigned { Up = 1U, Down = 2U, Left = 4U, Right = 8U };

// One arrow head pointing away from the centre, at distance `reach`.
QPainterPath arrowHead(ArrowSet direction, qreal reach) {
    const qreal c = kHotSpot + 0.5;
    QPainterPath head;
    switch (direction) {
        case Up:
            head.addPolygon(QPolygonF({{c, c - reach}, {c - 5, c - reach + 6}, {c + 5, c - reach + 6}}));
            break;
        case Down:
            head.addPolygon(QPolygonF({{c, c + reach}, {c - 5, c + reach - 6}, {c + 5, c + reach - 6}}));
            break;
        case Left:
            head.addPolygon(QPolygonF({{c - reach, c}, {c - reach + 6, c - 5}, {c - reach + 6, c + 5}}));
            break;
        case Right:
            head.addPolygon(QPolygonF({{c + reach, c}, {c + reach - 6, c - 5}, {c + reach - 6, c + 5}}));
            break;
    }
    head.closeSubpath();
    return head;
}

// A hollow marker square in the middle, with arrows to the sides it may move to.
QCursor drawCursor(unsigned arrows) {
    QPixmap pixmap(kCursorSize, kCursorSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal c = kHotSpot + 0.5;
    constexpr qreal reach = 13.0;

    QPainterPath shape;
    if ((arrows & (Up | Down)) != 0U) shape.addRect(c - 1, c - reach + 5, 2, 2 * (reach - 5));
    if ((arrows & (Left | Right)) != 0U) shape.addRect(c - reach + 5, c - 1, 2 * (reach - 5), 2);
    for (const ArrowSet a : {Up, Down, Left, Right}) {
        if ((arrows & a) != 0U) shape.addPath(arrowHead(a, reach));
    }
    shape.setFillRule(Qt::WindingFill);
    p.setPen(QPen(Qt::black, 2.0));
    p.setBrush(Qt::white);
    p.drawPath(shape.simplified());
    p.setPen(Qt::NoPen);
    p.drawPath(shape.simplified());

    // The marker itself: a 7 x 7 square, black ring around white.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::black, 3.0));
    p.drawRect(QRectF(c - 3.5, c - 3.5, 7, 7));
    p.setPen(QPen(Qt::white, 1.2));
    p.drawRect(QRectF(c - 3.5, c - 3.5, 7, 7));
    p.end();
    return QCursor(pixmap, kHotSpot, kHotSpot);
}

}  // namespace

PageCursors::PageCursors()
    : gainOnly_(drawCursor(Up | Down)),
      frequencyOnly_(drawCursor(Left | Right)),
      pick_(drawCursor(Up | Down | Left | Right)) {}

QCursor PageCursors::cursorFor(GraphCursor shape) const {
    switch (shape) {
        case GraphCursor::BandGainOnly: return gainOnly_;
        case GraphCursor::BandFreqOnly: return frequencyOnly_;
        case GraphCursor::BandPick: return pick_;
        case GraphCursor::SizeVertical: return QCursor(Qt::SizeVerCursor);
        case GraphCursor::SizeHorizontal: return QCursor(Qt::SizeHorCursor);
        case GraphCursor::SizeAll: return QCursor(Qt::SizeAllCursor);
        case GraphCursor::Default: break;
    }
    return QCursor(Qt::ArrowCursor);
}

}  // namespace kv
