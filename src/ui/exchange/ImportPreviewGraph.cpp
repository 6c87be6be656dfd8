#include "ui/exchange/ImportPreviewGraph.h"

#include <QPainter>
#include <QPainterPath>
#include <array>
#include <cmath>

#include "response/GraphGeometry.h"

namespace kv {

namespace {

constexpr int kLowestIndex = 12;  // grid point 0

struct FrequencyMark {
    double hz;
    const char* label;  // empty: a line without a label
};

constexpr std::array<FrequencyMark, 10> kFrequencyMarks{{{20, "20"},
                                                         {50, ""},
                                                         {100, "100"},
                                                         {200, ""},
                                                         {500, ""},
                                                         {1000, "1k"},
                                                         {2000, ""},
                                                         {5000, ""},
                                                         {10000, "10k"},
                                                         {20000, "20k"}}};

float gridPointOf(double hz) { return static_cast<float>(36.0 * std::log2(hz / 7.8125) - kLowestIndex); }

void drawGrid(QPainter& p, const GraphGeometry& g) {
    const QColor line(220, 220, 220);
    p.setFont(QFont(QStringLiteral("Arial"), 7));
    for (int db = -18; db <= 18; db += 6) {
        const float y = g.curveRow(db);
        p.setPen(db == 0 ? QColor(150, 150, 150) : line);
        p.drawLine(QPointF(g.plotLeft, y), QPointF(g.plotRight(), y));
        p.setPen(Qt::darkGray);
        p.drawText(QRectF(0, y - 6, g.plotLeft - 4, 12), Qt::AlignRight | Qt::AlignVCenter,
                   db > 0 ? QStringLiteral("+%1").arg(db) : QString::number(db));
    }
    for (const FrequencyMark& mark : kFrequencyMarks) {
        const float x = g.toPixel(gridPointOf(mark.hz), 0).x;
        p.setPen(line);
        p.drawLine(QPointF(x, g.plotTop), QPointF(x, g.plotBottom()));
        if (*mark.label == '\0') continue;
        p.setPen(Qt::darkGray);
        p.drawText(QRectF(x - 20, g.plotBottom() + 2, 40, 12), Qt::AlignHCenter | Qt::AlignTop,
                   QString::fromLatin1(mark.label));
    }
}

void drawCurve(QPainter& p, const GraphGeometry& g, const GridCurve& curve, const QPen& pen) {
    QPainterPath path;
    for (std::size_t i = 0; i < curve.size(); ++i) {
        const QPointF point(g.toPixel(static_cast<float>(i), 0).x, g.curveRow(curve[i]));
        if (i == 0)
            path.moveTo(point);
        else
            path.lineTo(point);
    }
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

void drawLegend(QPainter& p, const GraphGeometry& g) {
    const QFontMetrics metrics(p.font());
    const std::array<std::pair<QString, QColor>, 2> entries{
        {{QStringLiteral("Requested"), ImportPreviewGraph::requestedColour()},
         {QStringLiteral("Set on the unit"), ImportPreviewGraph::setColour()}}};
    float y = g.plotTop + 4;
    for (const auto& [text, colour] : entries) {
        const float right = g.plotRight() - 4;
        const float textLeft = right - static_cast<float>(metrics.horizontalAdvance(text));
        p.setPen(QPen(colour, 2));
        p.drawLine(QPointF(textLeft - 18, y + 6), QPointF(textLeft - 4, y + 6));
        p.setPen(Qt::black);
        p.drawText(QRectF(textLeft, y, right - textLeft, 12), Qt::AlignLeft | Qt::AlignVCenter, text);
        y += 13;
    }
}

}  // namespace

ImportPreviewGraph::ImportPreviewGraph(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("previewGraph"));
}

void ImportPreviewGraph::setCurves(const GridCurve& requested, const GridCurve& set) {
    requested_ = requested;
    set_ = set;
    update();
}

void ImportPreviewGraph::paintEvent(QPaintEvent*) {
    GraphGeometry g;
    g.setGraphFrame(width(), height());
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    drawGrid(p, g);
    p.setRenderHint(QPainter::Antialiasing);
    p.setClipRect(QRectF(g.plotLeft, g.plotTop, g.plotRight() - g.plotLeft, g.plotBottom() - g.plotTop));
    drawCurve(p, g, requested_, QPen(requestedColour(), 2.5));
    drawCurve(p, g, set_, QPen(setColour(), 1.2, Qt::DashLine));
    p.setClipping(false);
    p.setPen(Qt::gray);
    p.drawRect(QRectF(g.plotLeft, g.plotTop, g.plotRight() - g.plotLeft, g.plotBottom() - g.plotTop));
    drawLegend(p, g);
}

}  // namespace kv
