#include "ui/report/KorvaliserView.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScrollBar>

#include "document/KorvaliserDoc.h"
#include "ui/Prompts.h"
#include "ui/report/ReportGraph.h"

namespace kv {

CKorvaliserView::CKorvaliserView(CKorvaliserDoc& document, ResponseCurveTable* curves, const Prompts& prompts,
                                 QWidget* parent)
    : QAbstractScrollArea(parent), document_(document), curves_(curves), prompts_(prompts) {
    setObjectName(QStringLiteral("reportView"));
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    QPalette pal = viewport()->palette();
    pal.setColor(QPalette::Base, Qt::white);
    viewport()->setPalette(pal);
    updateScrollRange();
}

CKorvaliserView::~CKorvaliserView() = default;

QPrinter& CKorvaliserView::printer() {
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

void CKorvaliserView::setShowQ(bool showQ) {
    shown_.showQ = showQ;
    viewport()->update();
}

void CKorvaliserView::setShowDsp(bool showDsp) {
    shown_.showDsp = showDsp;
    viewport()->update();
}

double CKorvaliserView::screenDpiX() const { return logicalDpiX(); }
double CKorvaliserView::screenDpiY() const { return logicalDpiY(); }

int CKorvaliserView::graphWidthUnits(double dpiX) const {
    // 0.9 of the window's width, never narrower than the tables.
    return ReportGraphWidth(static_cast<int>(viewport()->width() * 1000.0 / dpiX));
}

void CKorvaliserView::renderPage(QPainter& painter, double dpiX, double dpiY, bool printing) {
    ReportSettings settings = shown_;
    settings.printing = printing;
    settings.graphWidth = printing ? 6200 : graphWidthUnits(dpiX);
    SettingsReport report(document_, curves_, settings);
    report.drawSettingsReport(painter, reportTransform(dpiX, dpiY));
}

void CKorvaliserView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    ReportSettings settings = shown_;
    settings.graphWidth = graphWidthUnits(screenDpiX());
    SettingsReport report(document_, curves_, settings);
    const QPointF scrolled(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
    const int bottom =
        report.drawSettingsReport(painter, reportTransform(screenDpiX(), screenDpiY(), scrolled));
    // The scroll range follows the report's length (down to the end of the notes).
    const int height = -bottom;
    if (height != pageHeight_) {
        pageHeight_ = height;
        updateScrollRange();
    }
}

void CKorvaliserView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollRange();
}

void CKorvaliserView::updateScrollRange() {
    const int pageWidthPx = static_cast<int>(SettingsReport::kPageWidth * screenDpiX() / 1000.0);
    const int pageHeightPx = static_cast<int>(pageHeight_ * screenDpiY() / 1000.0);
    const QSize view = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, pageWidthPx - view.width()));
    horizontalScrollBar()->setPageStep(view.width());
    horizontalScrollBar()->setSingleStep(std::max(1, pageWidthPx / 100));
    verticalScrollBar()->setRange(0, std::max(0, pageHeightPx - view.height()));
    verticalScrollBar()->setPageStep(view.height());
    verticalScrollBar()->setSingleStep(std::max(1, pageHeightPx / 100));
}

void CKorvaliserView::refresh() { viewport()->update(); }

ReportPrinter CKorvaliserView::reportPrinter() const {
    return ReportPrinter(document_, curves_, shown_, prompts_);  // the page's own graph width
}

void CKorvaliserView::printTo(QPrinter& target) { reportPrinter().print(target); }

void CKorvaliserView::print() {
    QPrintDialog dialog(&printer(), this);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    if (dialog.exec() == QDialog::Accepted) printTo(printer());
}

void CKorvaliserView::printPreview() {
    QPrintPreviewDialog dialog(&printer(), this);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* target) { printTo(*target); });
    dialog.exec();
}

void CKorvaliserView::printSetup() {
    QPageSetupDialog dialog(&printer(), this);
    dialog.exec();
}

bool CKorvaliserView::exportPdf(const QString& path) {
    return reportPrinter().writePdf(path, printer().pageLayout());
}

void CKorvaliserView::exportPdfAsked() {
    if (!prompts_.saveFile) return;
    const QString proposed =
        QString::fromStdU16String(document_.presetNameText(-1)).trimmed() + QStringLiteral(".pdf");
    QString path =
        prompts_.saveFile(QStringLiteral("Export PDF"), proposed, QStringLiteral("PDF Files (*.pdf)"));
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".pdf");
    exportPdf(path);
}

}  // namespace kv
