#include "ui/report/ReportPrinter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>

#include "document/KorvaliserDoc.h"
#include "ui/Prompts.h"

namespace kv {

ReportPrinter::ReportPrinter(const CKorvaliserDoc& document, ResponseCurveTable* curves,
                             ReportSettings settings, const Prompts& prompts)
    : document_(document), curves_(curves), settings_(settings), prompts_(prompts) {
    settings_.printing = true;
}

void ReportPrinter::draw(QPainter& painter, double dpiX, double dpiY) const {
    // The report is one page; (0, 0) is the top left corner of the printable area.
    SettingsReport(document_, curves_, settings_).drawSettingsReport(painter, reportTransform(dpiX, dpiY));
}

bool ReportPrinter::print(QPrinter& printer) const {
    const QString where = printer.outputFileName().isEmpty()
                              ? printer.printerName()
                              : QDir::toNativeSeparators(printer.outputFileName());
    QPainter painter;
    if (!painter.begin(&printer)) {
        prompts_.tell(QMessageBox::Warning, QStringLiteral("Cannot print to %1.").arg(where));
        return false;
    }
    draw(painter, printer.logicalDpiX(), printer.logicalDpiY());
    // Ending the page hands the job to the printing system, which may still refuse it.
    if (!painter.end()) {
        prompts_.tell(QMessageBox::Warning, QStringLiteral("Printing to %1 did not finish.").arg(where));
        return false;
    }
    return true;
}

bool ReportPrinter::writePdf(const QString& path, const QPageLayout& layout) const {
    const QString shown = QDir::toNativeSeparators(path);
    const auto cannotWrite = [&](const QString& reason) {
        prompts_.tell(QMessageBox::Warning, reason.isEmpty()
                                                ? QStringLiteral("Cannot write %1.").arg(shown)
                                                : QStringLiteral("Cannot write %1: %2.").arg(shown, reason));
        return false;
    };
    // Opened for appending, so an existing file keeps its content until the report
    // replaces it; a file made only for this check goes again if the export fails.
    const bool existed = QFileInfo::exists(path);
    {
        QFile probe(path);
        if (!probe.open(QIODevice::WriteOnly | QIODevice::Append)) return cannotWrite(probe.errorString());
    }
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(path);
    pdf.setPageLayout(layout);
    pdf.setDocName(QString::fromStdU16String(document_.presetNameText(-1)));
    pdf.setCreator(QStringLiteral("Korvaliser"));
    QPainter painter;
    if (!painter.begin(&pdf)) {
        if (!existed) QFile::remove(path);
        return cannotWrite({});
    }
    draw(painter, pdf.logicalDpiX(), pdf.logicalDpiY());
    if (!painter.end()) return cannotWrite({});
    return true;
}

}  // namespace kv
