#pragma once
// The response graph of the settings report: both outputs (or one) in report units of
// 0.001 inch with y growing upwards, drawn through a transform so the same call serves
// the screen view, the print preview, the printer and PDF.
//
// Call from the report, after the output tables, with y the top of the graph:
//   y = DrawReportGraph(painter, reportToDevice, doc, curves, x0 + 200, y, -4500, 1, 0,
//                       ReportGraphWidth(viewWidthUnits));
// reportToDevice maps report units to the painter's device pixels in full (the
// painter's own transform is replaced while drawing and restored afterwards).

#include <QTransform>

class QPainter;

namespace kv {

class CKorvaliserDoc;
class ResponseCurveTable;

inline constexpr int kReportGraphMinWidth = 6200;

// The curves of each output: its model alone, as the report always shows it, or also the
// response of the words the unit receives (the DSP total), dashed in the same colour.
enum class ReportCurves { Model, ModelAndDsp };

// Width of the graph for a view window `viewWidthUnits` wide: 0.9 of it, at least 6200.
int ReportGraphWidth(int viewWidthUnits);

// Draws the box, grid, labels and curves with the upper left corner at (left, top) and
// the given (negative) height; bothOutputs = 1 draws output 0 in red and output 1 in
// green, otherwise only `output` in red. Computes the curves in the table's report slot
// (10), never in a page's slots. Returns top + height, the y just below the graph.
int DrawReportGraph(QPainter& painter, const QTransform& reportToDevice, const CKorvaliserDoc& doc,
                    ResponseCurveTable& table, int left, int top, int height, int bothOutputs, int output,
                    int graphWidth = kReportGraphMinWidth, ReportCurves curves = ReportCurves::Model);

// The plot inside the graph's box, in report units, as DrawReportGraph lays it out for
// this painter's device (the label column depends on the font's metrics).
struct ReportPlotArea {
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
    int unitsPerDb = 0;     // the plot spans 54 of them, +18 to -36 dB
    int unitsPerPoint = 0;  // per grid point, 420 across
    int zeroRow = 0;
};
ReportPlotArea LayoutReportGraph(QPainter& painter, const QTransform& reportToDevice, int left, int top,
                                 int height, int graphWidth = kReportGraphMinWidth);

// Where a curve value (dB) lands, in report units: 0 dB row minus trunc(n o / 100) with
// n = trunc(-100 max(dB, -100)), o the report's units per dB. NaN counts as -100 dB.
int ReportCurveY(double db, int zeroRow, int unitsPerDb);

}  // namespace kv
