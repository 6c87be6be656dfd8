#include "ui/report/ReportGraph.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPolygonF>
#include <algorithm>
#include <array>
#include <cmath>

#include "document/KorvaliserDoc.h"
#include "response/CurveSlots.h"
#include "response/OutputCurves.h"
#include "response/ResponseCurveTable.h"
#include "response/dsp/OutputResponse.h"

namespace kv {

namespace {

constexpr double kFontUnits = 8.0 * 1000.0 / 72.0;  // 8 points in 0.001 inch
const QColor kLightGrey(192, 192, 192);
const QColor kCurveRed(255, 0, 0);
const QColor kCurveGreen(0, 255, 0);

constexpr std::array<const char*, 10> kDbLabels{"+18", "+12", "+6",  "0",   "-6",
                                                "-12", "-18", "-24", "-30", "-36"};

// Report-unit drawing: shapes go through the transform with pens in report units, at
// least one device pixel wide; texts are placed at mapped points so they stay upright
// with y flipped.
class ReportCanvas {
public:
    ReportCanvas(QPainter& painter, const QTransform& toDevice) : p_(painter), toDevice_(toDevice) {
        scaleX_ = std::hypot(toDevice.m11(), toDevice.m12());
        scaleY_ = std::hypot(toDevice.m21(), toDevice.m22());
        font_ = QFont(QStringLiteral("Arial"));
        font_.setStyleHint(QFont::SansSerif);
        font_.setWeight(QFont::Normal);
        font_.setPixelSize(std::max(1, static_cast<int>(std::lround(kFontUnits * scaleY_))));
        p_.save();
        p_.setTransform(toDevice_);
    }
    ~ReportCanvas() { p_.restore(); }
    ReportCanvas(const ReportCanvas&) = delete;
    ReportCanvas& operator=(const ReportCanvas&) = delete;

    QPainter& painter() { return p_; }

    // A pen of the given width in report units, never thinner than one device pixel. It
    // scales with the drawing, as the tables' pens do: a print preview replays the
    // printer's page scaled down, and a width fixed in printer pixels would stay that
    // wide on the screen.
    QPen pen(double units, const QColor& colour = Qt::black) const {
        if (units <= 1.0) return QPen(colour, 0);  // a hairline: one pixel wherever it is shown
        return QPen(colour, std::max(units, 2.0 / (scaleX_ + scaleY_)));
    }

    int textWidth(const QString& s) const {
        return static_cast<int>(std::lround(metrics().horizontalAdvance(s) / scaleX_));
    }
    int fontHeight() const { return static_cast<int>(std::lround(metrics().height() / scaleY_)); }

    // Text with its top at y; x is its left edge, centre or right edge.
    void text(int x, int y, const QString& s, Qt::Alignment horizontal) {
        const QPointF at = toDevice_.map(QPointF(x, y));
        const QFontMetricsF fm = metrics();
        double left = at.x();
        if (horizontal & Qt::AlignRight)
            left -= fm.horizontalAdvance(s);
        else if (horizontal & Qt::AlignHCenter)
            left -= fm.horizontalAdvance(s) / 2;
        p_.save();
        p_.resetTransform();
        p_.setFont(font_);
        p_.setPen(Qt::black);
        p_.drawText(QPointF(left, at.y() + fm.ascent()), s);
        p_.restore();
    }

private:
    QFontMetricsF metrics() const { return QFontMetricsF(font_, p_.device()); }

    QPainter& p_;
    QTransform toDevice_;
    QFont font_;
    double scaleX_ = 1;
    double scaleY_ = 1;
};

QRectF unitRect(int x1, int y1, int x2, int y2) {
    return QRectF(QPointF(x1, y1), QPointF(x2, y2)).normalized();
}

using PlotArea = ReportPlotArea;

PlotArea plotArea(ReportCanvas& c, int left, int top, int height, int width) {
    PlotArea a;
    a.left = left + c.textWidth(QStringLiteral("+24")) + 50;
    a.right = left + width + 10 - 50;
    a.top = top - 50;
    a.bottom = top + height + 100 + c.fontHeight() + 50;
    a.unitsPerDb = (a.top - a.bottom) / 54;
    a.top = a.bottom + 54 * a.unitsPerDb;
    a.zeroRow = a.bottom + 36 * a.unitsPerDb;
    a.unitsPerPoint = (a.right - a.left) / kGridPoints;
    a.left = a.right - kGridPoints * a.unitsPerPoint;
    return a;
}

void drawGrid(ReportCanvas& c, const PlotArea& a) {
    QPainter& p = c.painter();
    p.setPen(c.pen(10));
    p.setBrush(kLightGrey);
    p.drawRect(unitRect(a.left - 5, a.bottom - 5, a.right + 5, a.top + 5));

    p.setPen(c.pen(1));
    for (int j = 0; j <= 17; ++j) {
        const int y = a.bottom + 3 * a.unitsPerDb * j;
        p.drawLine(QPointF(a.left, y), QPointF(a.right, y));
    }
    p.setPen(c.pen(6));
    p.drawLine(QPointF(a.left, a.zeroRow), QPointF(a.right, a.zeroRow));

    p.setPen(c.pen(1));
    const auto vertical = [&](int x) {
        p.drawLine(QPointF(a.left + a.unitsPerPoint * x, a.bottom),
                   QPointF(a.left + a.unitsPerPoint * x, a.top));
    };
    for (const int d : {120, 240, 360}) vertical(d);
    for (const int d : {0, 120, 240, 360}) {
        for (const int offset : {36, 57}) vertical(d + offset);
    }
    for (const int d : {0, 120, 240}) {
        for (const int offset : {72, 84, 93, 101, 108, 114}) vertical(d + offset);
    }
}

void drawLabels(ReportCanvas& c, const PlotArea& a) {
    const int halfFont = c.fontHeight() / 2;
    for (std::size_t i = 0; i < kDbLabels.size(); ++i) {
        c.text(a.left - 30, a.top + halfFont - static_cast<int>(i) * 6 * a.unitsPerDb,
               QString::fromLatin1(kDbLabels[i]), Qt::AlignRight);
    }
    const int y = a.bottom - 20;
    c.text(a.left, y, QStringLiteral("10Hz"), Qt::AlignLeft);
    c.text(a.left + 119 * a.unitsPerPoint, y, QStringLiteral("100Hz"), Qt::AlignHCenter);
    c.text(a.left + 239 * a.unitsPerPoint, y, QStringLiteral("1kHz"), Qt::AlignHCenter);
    c.text(a.left + 359 * a.unitsPerPoint, y, QStringLiteral("10k"), Qt::AlignHCenter);
    c.text(a.left + 396 * a.unitsPerPoint, y, QStringLiteral("20k"), Qt::AlignHCenter);
}

QPolygonF curveLine(const PlotArea& a, const auto& values) {
    QPolygonF line;
    line.reserve(kGridPoints);
    for (int k = 0; k < kGridPoints; ++k) {
        line.append(QPointF(a.left + a.unitsPerPoint * k,
                            ReportCurveY(values[static_cast<std::size_t>(k)], a.zeroRow, a.unitsPerDb)));
    }
    return line;
}

void drawOutputCurve(ReportCanvas& c, const PlotArea& a, const CKorvaliserDoc& doc, ResponseCurveTable& table,
                     int output, const QColor& colour) {
    ComputeOutputResponse(table, CurveSlots::report, doc, output);
    c.painter().setPen(c.pen(20, colour));
    c.painter().drawPolyline(curveLine(a, table.slot(CurveSlots::report).values));
}

// Computed afresh like the model curve: the report is drawn seldom, and never from the
// page's kept curves, which belong to the output being edited.
void drawDspCurve(ReportCanvas& c, const PlotArea& a, const CKorvaliserDoc& doc, int output,
                  const QColor& colour) {
    if (output < 0 || output >= kOutputSlots) return;
    const GridCurve dsp = magnitudeDb(
        totalResponse(doc.outputChannel(output), doc.activeBandCount(), ResponseModel::Dsp, doc.unitType()));
    QPen dashed = c.pen(20, colour);
    dashed.setStyle(Qt::DashLine);
    dashed.setCapStyle(Qt::FlatCap);  // square caps would close the gaps on steep slopes
    c.painter().setPen(dashed);
    c.painter().drawPolyline(curveLine(a, dsp));
}

// One output's curves: where the two agree the dashes lie on the model's own line.
void drawOutput(ReportCanvas& c, const PlotArea& a, const CKorvaliserDoc& doc, ResponseCurveTable& table,
                int output, const QColor& colour, ReportCurves curves) {
    drawOutputCurve(c, a, doc, table, output, colour);
    if (curves == ReportCurves::ModelAndDsp) drawDspCurve(c, a, doc, output, colour);
}

}  // namespace

ReportPlotArea LayoutReportGraph(QPainter& painter, const QTransform& reportToDevice, int left, int top,
                                 int height, int graphWidth) {
    ReportCanvas c(painter, reportToDevice);
    return plotArea(c, left, top, height, graphWidth);
}

int ReportGraphWidth(int viewWidthUnits) {
    return std::max(kReportGraphMinWidth, static_cast<int>(0.9 * viewWidthUnits));
}

int ReportCurveY(double db, int zeroRow, int unitsPerDb) {
    // Minus infinity (a notch on the grid) and NaN sit at -100 dB, below the plot; the
    // upper cap only keeps the integer arithmetic in range, far above any plot.
    double d = std::isnan(db) ? -100.0 : std::max(db, -100.0);
    d = std::min(d, 100000.0);
    const long long n = static_cast<long long>(-100.0 * d);
    return zeroRow - static_cast<int>(n * unitsPerDb / 100);
}

int DrawReportGraph(QPainter& painter, const QTransform& reportToDevice, const CKorvaliserDoc& doc,
                    ResponseCurveTable& table, int left, int top, int height, int bothOutputs, int output,
                    int graphWidth, ReportCurves curves) {
    ReportCanvas c(painter, reportToDevice);
    QPainter& p = c.painter();
    p.setRenderHint(QPainter::Antialiasing, false);

    p.setPen(c.pen(10));
    p.setBrush(Qt::white);
    p.drawRoundedRect(unitRect(left, top, left + graphWidth + 10, top + height + 100), 50, 50);

    const PlotArea a = plotArea(c, left, top, height, graphWidth);
    drawGrid(c, a);
    drawLabels(c, a);

    p.setClipRect(unitRect(a.left, a.bottom, a.right, a.top));
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setBrush(Qt::NoBrush);
    drawOutput(c, a, doc, table, bothOutputs == 1 ? 0 : output, kCurveRed, curves);
    if (bothOutputs == 1) drawOutput(c, a, doc, table, 1, kCurveGreen, curves);
    return top + height;
}

}  // namespace kv
