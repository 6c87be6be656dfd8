// A curve over the grid tells which pixels a new set of points changes, and drawn in
// column pieces it lays down exactly the pixels of one stroke.

#include "ui/graph/PlottedCurve.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cmath>
#include <functional>

namespace kv {
namespace {

// A curve with flat stretches, slopes and a notch dropping off the frame.
QPolygonF wavyCurve(double xScale, double shift = 0) {
    QPolygonF points;
    for (int k = 0; k < 420; ++k) {
        const double y = 200 + 80 * std::sin(k / 23.0 + shift) * std::exp(-std::pow((k - 210) / 120.0, 2)) +
                         (k > 300 && k < 310 ? 400 : 0);
        points.append(QPointF(36 + xScale * k, y));
    }
    return points;
}

QImage paint(const QSize& size, const std::function<void(QPainter&)>& draw) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    draw(p);
    return image;
}

TEST(PlottedCurve, PiecesPaintThePixelsOfOneStroke) {
    for (const double xScale : {0.3, 1.0, 2.0381, 3.5}) {
        const QSize size(static_cast<int>(36 + 420 * xScale + 8), 500);
        PlottedCurve line;
        line.update(wavyCurve(xScale));
        PlottedCurve area;
        area.updateArea(wavyCurve(xScale, 1.0), 240.5);
        for (const bool fill : {false, true}) {
            const auto draw = [&](const PaintArea& where) {
                return paint(size, [&](QPainter& p) {
                    p.setPen(fill ? QPen(Qt::NoPen) : QPen(Qt::red, 2.0));
                    p.setBrush(fill ? QBrush(QColor(192, 192, 192, 128)) : QBrush(Qt::NoBrush));
                    if (fill)
                        area.fill(p, where);
                    else
                        line.stroke(p, where);
                });
            };
            EXPECT_EQ(draw({PaintArea::wholeFrame(), true}), draw({PaintArea::wholeFrame(), false}))
                << "xScale " << xScale << (fill ? " fill" : " stroke");
        }
    }
}

TEST(PlottedCurve, ChangedPixelsCoverTheMovedPointsAndTheirNeighboursOnly) {
    const QPolygonF base = wavyCurve(2.0);
    const auto moved = [&base](int k, double dy) {
        QPolygonF points = base;
        points[k].ry() += dy;
        return points;
    };
    struct Case {
        const char* what;
        PlottedCurve::Pen pen;
        QPolygonF next;
        int left, right;  // expected column range (with the 3-pixel reach)
    };
    const std::vector<Case> cases = {
        {"the same points", PlottedCurve::Pen::Solid, base, 0, -1},
        {"one point", PlottedCurve::Pen::Solid, moved(100, 5), 36 + 2 * 99 - 3, 36 + 2 * 101 + 3},
        {"the first point", PlottedCurve::Pen::Solid, moved(0, 5), 36 - 3, 36 + 2 * 1 + 3},
        {"dashes shift to the end", PlottedCurve::Pen::Patterned, moved(100, 5), 36 + 2 * 99 - 3,
         36 + 2 * 419 + 3},
        {"the curve goes", PlottedCurve::Pen::Solid, QPolygonF(), 36 - 3, 36 + 2 * 419 + 3},
    };
    for (const Case& c : cases) {
        PlottedCurve curve(3.0, c.pen);
        curve.update(base);
        const QRect changed = curve.update(c.next);
        if (c.right < c.left) {
            EXPECT_TRUE(changed.isEmpty()) << c.what;
            continue;
        }
        EXPECT_EQ(changed.left(), c.left) << c.what;
        EXPECT_EQ(changed.right(), c.right) << c.what;
    }
    // An area reaches down to its base row, however far the points are from it.
    PlottedCurve area;
    area.updateArea(base, 450);
    QPolygonF raised = base;
    raised[50].ry() = 10;
    const QRect changed = area.updateArea(raised, 450);
    EXPECT_LE(changed.top(), 10 - 3);
    EXPECT_GE(changed.bottom(), 450 + 2);
}

}  // namespace
}  // namespace kv
