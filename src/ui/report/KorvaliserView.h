#pragma once
// The settings report in the main window's right pane: a scrolling view of one page
// whose scroll height follows the report's length. Printing, print preview, print
// set-up and PDF export draw the very same report on the printer.

#include <QAbstractScrollArea>
#include <QString>
#include <memory>

#include "ui/report/ReportPrinter.h"
#include "ui/report/SettingsReport.h"

class QPageLayout;
class QPrinter;

namespace kv {

class CKorvaliserDoc;
class ResponseCurveTable;
struct Prompts;

class CKorvaliserView : public QAbstractScrollArea {
    Q_OBJECT
public:
    CKorvaliserView(CKorvaliserDoc& document, ResponseCurveTable* curves, const Prompts& prompts,
                    QWidget* parent = nullptr);
    ~CKorvaliserView() override;

    void setShowQ(bool showQ);
    // The View menu's option: the graph adds the DSP totals, dashed, here and on paper.
    void setShowDsp(bool showDsp);
    bool showDsp() const { return shown_.showDsp; }
    // Height of the scrollable page in report units (7000 wide, 14000 high at first).
    int pageHeightUnits() const { return pageHeight_; }

    // Draws the report on any paint device the way the printer gets it.
    void renderPage(QPainter& painter, double dpiX, double dpiY, bool printing);
    void printTo(QPrinter& printer);
    bool exportPdf(const QString& path);
    QPrinter& printer();

public slots:
    void refresh();         // repaint after a document change
    void print();           // "&Print..."
    void printPreview();    // "Print Pre&view"
    void printSetup();      // "P&rint Setup..."
    void exportPdfAsked();  // "Export PDF..."

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    double screenDpiX() const;
    double screenDpiY() const;
    void updateScrollRange();
    int graphWidthUnits(double dpiX) const;
    ReportPrinter reportPrinter() const;

    CKorvaliserDoc& document_;
    ResponseCurveTable* curves_;
    const Prompts& prompts_;
    ReportSettings shown_;  // the options of every drawing: showQ and showDsp
    int pageHeight_ = 14000;
    std::unique_ptr<QPrinter> printer_;
};

}  // namespace kv
