#pragma once
// The one road of the settings report to paper and to PDF: the File menu's Print, the
// print preview, Export PDF, `-p` and `--pdf` all draw through it, so the page and the
// messages about a failure are the same whoever asked.

#include <QString>

#include "ui/report/SettingsReport.h"

class QPageLayout;
class QPrinter;

namespace kv {

class CKorvaliserDoc;
class ResponseCurveTable;
struct Prompts;

class ReportPrinter {
public:
    // settings.printing is set by the printer itself.
    ReportPrinter(const CKorvaliserDoc& document, ResponseCurveTable* curves, ReportSettings settings,
                  const Prompts& prompts);

    // Prints the current preset's report as one page. A printer that cannot start or
    // finish the job is reported ("Cannot print to …", "Printing to … did not finish").
    bool print(QPrinter& printer) const;

    // Writes the report, as the printer gets it, to a PDF at path with the page layout.
    // The file's folder and permissions are checked first, so the drawing library has
    // nothing to complain about on standard error; an existing file is replaced only by
    // a finished report. A failure is reported as "Cannot write …".
    bool writePdf(const QString& path, const QPageLayout& layout) const;

private:
    void draw(QPainter& painter, double dpiX, double dpiY) const;

    const CKorvaliserDoc& document_;
    ResponseCurveTable* curves_;
    ReportSettings settings_;
    const Prompts& prompts_;
};

}  // namespace kv
