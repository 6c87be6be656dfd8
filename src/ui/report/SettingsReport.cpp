#include "ui/report/SettingsReport.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QTextOption>
#include <cstdio>
#include <memory>

#include "document/KorvaliserDoc.h"
#include "document/ValueText.h"
#include "response/ResponseCurveTable.h"
#include "ui/report/ReportGraph.h"

namespace kv {

QTransform reportTransform(double dpiX, double dpiY, QPointF topLeft) {
    QTransform t;
    t.translate(topLeft.x(), topLeft.y());
    t.scale(dpiX / 1000.0, -dpiY / 1000.0);
    return t;
}

namespace {

QString text(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QFont reportFont(int pointSize, bool bold) {
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(pointSize);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

}  // namespace

// Drawing in report units: lines and areas go through the painter's transform, texts
// are placed at mapped points with the painter untransformed so they stay upright.
class SettingsReport::Canvas {
public:
    Canvas(QPainter& painter, const QTransform& toDevice) : painter_(painter), toDevice_(toDevice) {
        painter_.save();
        painter_.setRenderHint(QPainter::Antialiasing, true);
        painter_.setRenderHint(QPainter::TextAntialiasing, true);
    }
    ~Canvas() { painter_.restore(); }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    QPainter& painter() { return painter_; }
    const QTransform& toDevice() const { return toDevice_; }
    double unitsPerPixelX() const { return 1.0 / toDevice_.m11(); }

    void setFont(const QFont& font) { font_ = font; }

    // Width of a text in report units in the current font.
    double width(const QString& s) const {
        return QFontMetricsF(font_, painter_.device()).horizontalAdvance(s) * unitsPerPixelX();
    }

    void textBaseline(double x, double y, const QString& s) {
        const QPointF at = toDevice_.map(QPointF(x, y));
        untransformed([&] { painter_.drawText(at, s); });
    }

    void textTop(double x, double yTop, const QString& s, bool centred = false) {
        const QPointF at = toDevice_.map(QPointF(x, yTop));
        const QFontMetricsF metrics(font_, painter_.device());
        const double w = metrics.horizontalAdvance(s);
        const QRectF box(centred ? at.x() - w / 2 : at.x(), at.y(), w + 1, metrics.height());
        untransformed([&] { painter_.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, s); });
    }

    void line(double x1, double y1, double x2, double y2, double penUnits) {
        transformed([&] {
            painter_.setPen(pen(penUnits));
            painter_.drawLine(QPointF(x1, y1), QPointF(x2, y2));
        });
    }

    void fill(const QRectF& rect, const QColor& colour) {
        transformed([&] { painter_.fillRect(rect.normalized(), colour); });
    }

    void roundedFrame(const QRectF& rect, double radius, double penUnits, const QColor& fillColour) {
        transformed([&] {
            painter_.setPen(pen(penUnits));
            painter_.setBrush(fillColour);
            painter_.drawRoundedRect(rect.normalized(), radius, radius);
            painter_.setBrush(Qt::NoBrush);
        });
    }

    template <typename F>
    void transformed(F&& draw) {
        painter_.save();
        painter_.setWorldTransform(toDevice_, true);
        draw();
        painter_.restore();
    }

    template <typename F>
    void untransformed(F&& draw) {
        painter_.save();
        painter_.setFont(font_);
        painter_.setPen(Qt::black);
        draw();
        painter_.restore();
    }

private:
    // A pen of the given width in report units, never thinner than one device pixel. The
    // thinnest rules are hairlines, one pixel wherever they are shown: a print preview
    // replays the printer's page scaled down, where one printer pixel would fade away.
    QPen pen(double units) const {
        QPen p(Qt::black, units <= 1.0 ? 0.0 : std::max(units, unitsPerPixelX()));
        p.setCapStyle(Qt::FlatCap);
        return p;
    }

    QPainter& painter_;
    QTransform toDevice_;
    QFont font_;
};

SettingsReport::SettingsReport(const CKorvaliserDoc& document, ResponseCurveTable* curves,
                               ReportSettings settings)
    : document_(document), curves_(curves), settings_(settings) {}

int SettingsReport::fontHeightUnits(int pointSize) { return -(pointSize * 1000 + 36) / 72; }

int SettingsReport::drawSettingsReport(QPainter& painter, const QTransform& toDevice, int x0, int y0) {
    Canvas canvas(painter, toDevice);
    const QFont regular = reportFont(8, false);
    const QFont bold = reportFont(8, true);
    const QString name = QString::fromStdU16String(document_.presetNameText(-1));

    canvas.setFont(bold);
    canvas.textBaseline(x0 + 200, y0 - 180, name);
    canvas.textBaseline(x0 + 200, y0 - 360, QStringLiteral("Format:  "));
    const QString nameLabel = QStringLiteral("Name:  ");
    canvas.textBaseline(x0 + 2850, y0 - 360, nameLabel);
    const double nameLabelWidth = canvas.width(nameLabel);
    canvas.setFont(regular);
    canvas.textBaseline(x0 + 2850 + nameLabelWidth, y0 - 360, name);

    int y = y0 - 540;
    for (int output = 0; output < document_.outputCount(); ++output)
        y = drawOutputSection(painter, toDevice, x0 + 200, y, output);
    y = drawGraph(canvas, x0 + 200, y);
    return drawNotes(canvas, x0 + 200, y);
}

int SettingsReport::drawGraph(Canvas& canvas, int left, int top) {
    // Both outputs, output 1 red and output 2 green, computed in the table's report slot.
    std::unique_ptr<ResponseCurveTable> own;
    ResponseCurveTable* table = curves_;
    if (!table) {
        own = std::make_unique<ResponseCurveTable>();
        table = own.get();
    }
    return DrawReportGraph(canvas.painter(), canvas.toDevice(), document_, *table, left, top, -kGraphHeight,
                           1, 0, settings_.graphWidth,
                           settings_.showDsp ? ReportCurves::ModelAndDsp : ReportCurves::Model);
}

int SettingsReport::drawNotes(Canvas& canvas, int left, int top) {
    const QFont regular = reportFont(8, false);
    canvas.setFont(regular);
    QString notes = QString::fromStdU16String(document_.notesText());
    notes.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    notes.replace(QLatin1Char('\r'), QLatin1Char('\n'));

    // Measure first: the rectangle's bottom becomes the text's bottom, cut at 18000 units.
    // Lines break between words; a word too long for a line breaks inside it rather than
    // being cut off at the right edge.
    QTextOption wrapping(Qt::AlignLeft | Qt::AlignTop);
    wrapping.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    const QTransform& t = canvas.toDevice();
    const QRectF box = t.mapRect(QRectF(QPointF(left, top), QPointF(left + 5300, top - kNotesHeight)));
    double usedUnits = 0;
    canvas.untransformed([&] {
        QPainter& p = canvas.painter();
        const QRectF used = p.boundingRect(QRectF(box.topLeft(), QSizeF(box.width(), 1e9)), notes, wrapping);
        usedUnits = std::min<double>(used.height() / -t.m22(), kNotesHeight);
        const QRectF drawn(box.topLeft(), QSizeF(box.width(), usedUnits * -t.m22()));
        p.setClipRect(drawn, Qt::IntersectClip);
        p.drawText(drawn, notes, wrapping);
    });
    return top - static_cast<int>(std::ceil(usedUnits));
}

int SettingsReport::drawOutputSection(QPainter& painter, const QTransform& toDevice, int left, int top,
                                      int output) {
    Canvas canvas(painter, toDevice);
    const int R = rowHeight();
    const int bands = document_.activeBandCount();
    const int w = 6200 / (bands + 1);
    const QFont regular = reportFont(tablePointSize(), false);
    const QFont bold = reportFont(tablePointSize(), true);
    const int fontHeight = fontHeightUnits(tablePointSize());
    const auto rowTextTop = [&](int row) { return top - (row - 1) * R - (R + fontHeight) / 2; };
    const auto bandCentre = [&](int band) { return left + w + w / 2 + band * w; };

    // Frame, shaded rows, rules.
    canvas.roundedFrame(QRectF(QPointF(left, top), QPointF(left + 6210, top - 9 * R - 10)), 50, 20,
                        Qt::white);
    const QColor grey(192, 192, 192);
    canvas.fill(QRectF(QPointF(left - 2, top - 4 * R), QPointF(left + 6200, top - 5 * R)), grey);
    canvas.fill(QRectF(QPointF(left - 2, top - 5 * R), QPointF(left + w, top - 9 * R)), grey);
    for (const int r : {1, 4}) canvas.line(left, top - r * R, left + 6200, top - r * R, 20);
    for (const int r : {2, 3, 5, 6, 7, 8}) canvas.line(left, top - r * R, left + 6200, top - r * R, 1);
    for (int k = 1; k <= bands; ++k) canvas.line(left + k * w, top - 4 * R, left + k * w, top - 9 * R, 1);
    canvas.line(left + 3100, top - R, left + 3100, top - 4 * R, 1);

    // Labels.
    canvas.setFont(bold);
    const QString highpass = QStringLiteral("Highpass: ");
    const QString lowpass = QStringLiteral("Lowpass: ");
    canvas.textTop(left + 85, rowTextTop(1),
                   QStringLiteral("Output [%1").arg(output + 1) + QStringLiteral("] "));
    canvas.textTop(left + 85, rowTextTop(2), highpass);
    canvas.textTop(left + 85, rowTextTop(3), QStringLiteral("Gain:"));
    canvas.textTop(left + 85, rowTextTop(4), QStringLiteral("Limiter:"));
    canvas.textTop(left + 3185, rowTextTop(2), lowpass);
    canvas.textTop(left + 3185, rowTextTop(3), QStringLiteral("Delay:"));
    canvas.textTop(left + 85, rowTextTop(6), QStringLiteral("Freq."));
    canvas.textTop(left + 85, rowTextTop(7),
                   settings_.showQ ? QStringLiteral("Q") : QStringLiteral("BandWd"));
    canvas.textTop(left + 85, rowTextTop(8), QStringLiteral("Gain"));
    canvas.textTop(left + 85, rowTextTop(9), QStringLiteral("Type"));
    for (int b = 0; b < bands; ++b)
        canvas.textTop(bandCentre(b), rowTextTop(5), QStringLiteral("PEQ %1").arg(b + 1), true);
    const double leftValues = left + 85 + canvas.width(highpass);
    const double rightValues = left + 3185 + canvas.width(lowpass);

    // Values.
    canvas.setFont(regular);
    const CKorvaliserDoc& d = document_;
    canvas.textTop(
        leftValues, rowTextTop(2),
        text(frequencyText(d.highPassFrequency(output)) + "  " + slopeText(d.highPassSlope(output))));
    canvas.textTop(
        rightValues, rowTextTop(2),
        text(frequencyText(d.lowPassFrequency(output)) + "  " + slopeText(d.lowPassSlope(output))));
    std::string gain = outputGainText(d.gain(output));
    if (d.invert(output)) gain += "   (-180')";
    canvas.textTop(leftValues, rowTextTop(3), text(gain));
    canvas.textTop(rightValues, rowTextTop(3), text(delayText(d.delay(output))));
    char level[16];
    std::snprintf(level, sizeof level, "%+ddB", -d.limiterLevel(output));
    canvas.textTop(leftValues, rowTextTop(4),
                   text("Attack: " + limiterTimeText(d.limiterAttack(output)) +
                        "  Release: " + releaseMultiplierText(d.limiterRelease(output)) + "  at " + level));

    for (int b = 0; b < bands; ++b) {
        const int type = d.bandType(output, b);
        const int x = bandCentre(b);
        canvas.textTop(x, rowTextTop(6), text(frequencyText(d.bandFrequency(output, b))), true);
        canvas.textTop(x, rowTextTop(7), text(bandWidthText(d.bandQ(output, b), type, settings_.showQ)),
                       true);
        const std::string bandGain =
            d.bandFlat(output, b) ? std::string("Bypassed") : bandGainText(d.bandGain(output, b), type);
        canvas.textTop(x, rowTextTop(8), text(bandGain), true);
        canvas.textTop(x, rowTextTop(9), text(typeText(type, true)), true);
    }
    return top - R / 2 - 9 * R;
}

}  // namespace kv
