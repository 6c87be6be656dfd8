#pragma once
// The one-page settings report of the current preset: name, a table per output, the
// response graph of both outputs and the notes. It is drawn in report units (0.001 inch,
// y growing upwards, the page's top at y = 0) through one transform to device pixels,
// so the screen, the print preview, the printer and PDF export share every line of it.

#include <QFont>
#include <QPainter>
#include <QString>
#include <QTransform>

namespace kv {

class CKorvaliserDoc;
class ResponseCurveTable;

// Report units to the pixels of a device of the given resolution, the page's top left
// corner at `topLeft` (device pixels).
QTransform reportTransform(double dpiX, double dpiY, QPointF topLeft = {});

struct ReportSettings {
    bool printing = false;  // 6-point tables and 125-unit rows on paper
    bool showQ = true;      // "Q / BW": label row 7 "Q" or "BandWd"
    int graphWidth = 6200;  // width of the response graph in report units
    bool showDsp = false;   // the graph adds each output's DSP total, dashed (View menu)
};

class SettingsReport {
public:
    static constexpr int kScreenRowHeight = 180;
    static constexpr int kPrintRowHeight = 125;
    static constexpr int kGraphHeight = 4500;
    static constexpr int kNotesHeight = 18000;
    static constexpr int kPageWidth = 7000;

    SettingsReport(const CKorvaliserDoc& document, ResponseCurveTable* curves, ReportSettings settings);

    // Draws the whole report with its top left corner at (x0, y0); returns the bottom of
    // the notes, from which the view takes its scroll height.
    int drawSettingsReport(QPainter& painter, const QTransform& toDevice, int x0 = 0, int y0 = 0);
    // One output's table with its upper left corner at (left, top); returns the top of
    // the next part of the page.
    int drawOutputSection(QPainter& painter, const QTransform& toDevice, int left, int top, int output);

    int rowHeight() const { return settings_.printing ? kPrintRowHeight : kScreenRowHeight; }
    int tablePointSize() const { return settings_.printing ? 6 : 8; }

    // The font height the table rows centre their text with, in report units (negative,
    // as a character height is given).
    static int fontHeightUnits(int pointSize);

private:
    class Canvas;
    int drawGraph(Canvas& canvas, int left, int top);
    int drawNotes(Canvas& canvas, int left, int top);

    const CKorvaliserDoc& document_;
    ResponseCurveTable* curves_;
    ReportSettings settings_;
};

}  // namespace kv
