#include <gtest/gtest.h>

#include <QImage>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "document/KorvaliserDoc.h"
#include "document/ValueText.h"
#include "response/ResponseCurveTable.h"
#include "ui/Prompts.h"
#include "ui/report/KorvaliserView.h"
#include "ui/report/SettingsReport.h"

namespace kv {
namespace {

QString pdfText(const QString& path) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    if (!process.waitForFinished(20000) || process.exitCode() != 0) return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

class ReportTest : public ::testing::Test {
protected:
    ReportTest() {
        doc.setPresetName(0, u"Kick Drum");
        doc.setInvert(0, true);
        doc.setBandFlat(0, 2, 1);
        doc.setBandGain(0, 2, -45);
        doc.setBandGain(1, 0, 35);
        doc.setBandType(1, 5, 10);
    }

    // The section drawn on a 96-dpi image: report units map to 0.096 pixel.
    QImage sectionImage(bool printing, int* next = nullptr) {
        QImage image(800, 300, QImage::Format_ARGB32_Premultiplied);
        image.setDotsPerMeterX(3780);
        image.setDotsPerMeterY(3780);
        image.fill(Qt::white);
        QPainter painter(&image);
        ReportSettings settings;
        settings.printing = printing;
        SettingsReport report(doc, &curves, settings);
        const int result = report.drawOutputSection(painter, reportTransform(96, 96), 200, -540, 0);
        if (next) *next = result;
        return image;
    }

    static QPoint pixelOf(double x, double y) { return reportTransform(96, 96).map(QPointF(x, y)).toPoint(); }

    CKorvaliserDoc doc;
    ResponseCurveTable curves;
    Prompts prompts;
};

TEST_F(ReportTest, SectionHeightFollowsTheRowHeight) {
    struct Case {
        bool printing;
        int next;
    };
    for (const Case c : {Case{false, -540 - 90 - 9 * 180}, Case{true, -540 - 62 - 9 * 125}}) {
        int next = 0;
        sectionImage(c.printing, &next);
        EXPECT_EQ(next, c.next) << (c.printing ? "printing" : "screen");
    }
    EXPECT_EQ(SettingsReport::fontHeightUnits(8), -111);
    EXPECT_EQ(SettingsReport::fontHeightUnits(6), -83);
}

// The View menu's DSP option reaches both drawings of the report: the screen's and the
// page's that the printer, the preview and the PDF get. A 48 dB high-pass travels as a
// 24 dB one, so the unit's curve leaves the model's.
TEST_F(ReportTest, TheDspOptionReachesTheScreenAndThePage) {
    doc.setHighPassFrequency(0, 150);
    doc.setHighPassSlope(0, 10);
    CKorvaliserView view(doc, &curves, prompts);
    view.resize(900, 1200);
    const auto page = [&] {
        QImage image(900, 1400, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        view.renderPage(painter, 96, 96, true);
        return image;
    };
    const auto screen = [&] { return view.viewport()->grab().toImage(); };
    const QImage pageAsDescribed = page();
    const QImage screenAsDescribed = screen();
    view.setShowDsp(true);
    EXPECT_NE(page(), pageAsDescribed);
    EXPECT_NE(screen(), screenAsDescribed);
    view.setShowDsp(false);
    EXPECT_EQ(page(), pageAsDescribed);
    EXPECT_EQ(screen(), screenAsDescribed);
}

// Paper only shortens the two output tables: the header, the graph and the notes keep
// their size, so the page ends exactly the tables' difference higher.
TEST_F(ReportTest, PrintingShortensOnlyTheTables) {
    const auto bottomOfNotes = [&](bool printing) {
        QImage image(900, 1400, QImage::Format_ARGB32_Premultiplied);
        image.setDotsPerMeterX(3780);
        image.setDotsPerMeterY(3780);
        QPainter painter(&image);
        ReportSettings settings;
        settings.printing = printing;
        return SettingsReport(doc, &curves, settings).drawSettingsReport(painter, reportTransform(96, 96));
    };
    const int screenSection = 180 / 2 + 9 * 180;
    const int printSection = 125 / 2 + 9 * 125;
    EXPECT_EQ(bottomOfNotes(true) - bottomOfNotes(false), 2 * (screenSection - printSection));
}

// Every label sits in the middle of its own row, clear of its rules, at both row heights (300 dpi, so a
// 125-unit row is 37 pixels).
TEST_F(ReportTest, LabelsAreCentredInTheirRows) {
    const int left = 200, top = -540;
    const QTransform toDevice = reportTransform(300, 300);
    for (const bool printing : {false, true}) {
        QImage image(2100, 700, QImage::Format_ARGB32_Premultiplied);
        image.setDotsPerMeterX(11811);
        image.setDotsPerMeterY(11811);
        image.fill(Qt::white);
        QPainter painter(&image);
        ReportSettings settings;
        settings.printing = printing;
        SettingsReport report(doc, &curves, settings);
        report.drawOutputSection(painter, toDevice, left, top, 0);
        painter.end();
        const int R = report.rowHeight();
        for (const int row : {1, 2, 3, 4, 6, 7, 8, 9}) {
            const int upper = toDevice.map(QPointF(left, top - (row - 1) * R)).toPoint().y();
            const int lower = toDevice.map(QPointF(left, top - row * R)).toPoint().y();
            const int x0 = toDevice.map(QPointF(left + 85, 0)).toPoint().x();
            const int x1 = toDevice.map(QPointF(left + 500, 0)).toPoint().x();
            SCOPED_TRACE(testing::Message() << (printing ? "printing" : "screen") << " row " << row);
            // Ink between the rules (each at most three pixels either side of its line).
            int inkTop = -1, inkBottom = -1;
            for (int y = upper + 4; y <= lower - 4; ++y) {
                for (int x = x0; x < x1; ++x) {
                    if (qGray(image.pixel(x, y)) >= 100) continue;
                    if (inkTop < 0) inkTop = y;
                    inkBottom = y;
                    break;
                }
            }
            ASSERT_GE(inkTop, 0) << "no label text inside the row";
            // White space between the text and both rules: no text spills over a rule.
            EXPECT_GT(inkTop, upper + 4);
            EXPECT_LT(inkBottom, lower - 4);
            const double rowMiddle = (upper + lower) / 2.0;
            EXPECT_NEAR((inkTop + inkBottom) / 2.0, rowMiddle, (lower - upper) / 5.0);
        }
    }
}

TEST_F(ReportTest, ShadedRowsSitWhereTheTableSaysOnScreen) {
    const QImage image = sectionImage(false);
    const int R = 180, top = -540, left = 200, w = 688;
    // Row 5 (the PEQ header) and the label column of rows 6..9 are light grey.
    EXPECT_EQ(image.pixelColor(pixelOf(left + 4 * w + 40, top - 4 * R - R / 2)), QColor(192, 192, 192));
    EXPECT_EQ(image.pixelColor(pixelOf(left + w / 2, top - 7 * R + 40)), QColor(192, 192, 192));
    // A band cell next to it is white, and outside the frame stays white.
    EXPECT_EQ(image.pixelColor(pixelOf(left + 2 * w + 30, top - 6 * R - R / 2)), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(pixelOf(left + 3000, top - 9 * R - 200)), QColor(Qt::white));
    // The heavy rule under row 1 is black.
    EXPECT_EQ(image.pixelColor(pixelOf(left + 1500, top - R)), QColor(Qt::black));
}

TEST_F(ReportTest, PrintedRowsAreShorter) {
    const QImage image = sectionImage(true);
    const int R = 125, top = -540, left = 200, w = 688;
    EXPECT_EQ(image.pixelColor(pixelOf(left + 4 * w + 40, top - 4 * R - R / 2)), QColor(192, 192, 192));
    EXPECT_EQ(image.pixelColor(pixelOf(left + 3000, top - 9 * 180 + 40)),
              QColor(Qt::white));  // screen's last row
}

TEST_F(ReportTest, PdfHoldsNameTablesAndBandTexts) {
    QTemporaryDir dir;
    CKorvaliserView view(doc, &curves, prompts);
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    ASSERT_TRUE(view.exportPdf(path));
    const QString text = pdfText(path);
    ASSERT_FALSE(text.isEmpty()) << "pdftotext gave nothing";
    for (const QString& expected :
         {QStringLiteral("Kick Drum"), QStringLiteral("Format:"), QStringLiteral("Name:"),
          QStringLiteral("Output [1]"), QStringLiteral("Output [2]"), QStringLiteral("Highpass:"),
          QStringLiteral("Lowpass:"), QStringLiteral("Limiter:"), QStringLiteral("Delay:"),
          QStringLiteral("Bypassed"), QStringLiteral("(-180')"), QStringLiteral("PEQ 8"),
          QStringLiteral("Freq."), QString::fromStdString(bandGainText(35, 0)).trimmed(),
          QString::fromStdString(frequencyText(doc.bandFrequency(0, 0))).trimmed(),
          QString::fromStdString(typeText(10, true)).trimmed(), QStringLiteral("(None)")})
        EXPECT_TRUE(text.contains(expected)) << qPrintable(expected);
    EXPECT_FALSE(text.contains(QString::fromStdString(bandGainText(-45, 0)).trimmed()));  // flat band's gain
    EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("\\bQ\\b"))));
}

// The page as the print preview shows it: the real preview widget, its page cut out of
// the view's grey surround (the page is the one pure white area).
QImage previewPage(CKorvaliserView& view) {
    QPrintPreviewWidget preview(&view.printer());
    QObject::connect(&preview, &QPrintPreviewWidget::paintRequested, &view,
                     [&view](QPrinter* target) { view.printTo(*target); });
    preview.resize(640, 860);
    preview.setZoomMode(QPrintPreviewWidget::FitInView);
    preview.show();
    if (!QTest::qWaitForWindowExposed(&preview)) return {};
    preview.updatePreview();
    QCoreApplication::processEvents();
    const QImage shot = preview.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QRect page;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if (shot.pixel(x, y) == qRgb(255, 255, 255)) page |= QRect(x, y, 1, 1);
    return shot.copy(page);
}

// The PDF's page rendered at the given pixel size.
QImage pdfPage(const QString& pdf, QSize size) {
    const QString stem = pdf + QStringLiteral(".page");
    QProcess process;
    process.start(QStringLiteral("pdftoppm"),
                  {QStringLiteral("-png"), QStringLiteral("-singlefile"), QStringLiteral("-scale-to-x"),
                   QString::number(size.width()), QStringLiteral("-scale-to-y"),
                   QString::number(size.height()), pdf, stem});
    if (!process.waitForFinished(20000) || process.exitCode() != 0) return {};
    return QImage(stem + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}

// Share of the dark pixels of `page` that have no dark pixel of `other` within two
// pixels: ink that one drawing has and the other lacks (a line drawn far wider, a label
// or a row hidden under it), while the renderers' small differences in text and
// smoothing stay inside the two pixels.
double unmatchedInk(const QImage& page, const QImage& other) {
    const auto dark = [](const QImage& image, int x, int y, int level) {
        return qGray(image.pixel(x, y)) < level;
    };
    constexpr int kReach = 2;
    int ink = 0;
    int unmatched = 0;
    for (int y = kReach; y < page.height() - kReach; ++y) {
        for (int x = kReach; x < page.width() - kReach; ++x) {
            if (!dark(page, x, y, 128)) continue;
            ++ink;
            bool matched = false;
            for (int dy = -kReach; dy <= kReach && !matched; ++dy)
                for (int dx = -kReach; dx <= kReach && !matched; ++dx)
                    matched = dark(other, x + dx, y + dy, 192);
            unmatched += matched ? 0 : 1;
        }
    }
    return ink == 0 ? 1.0 : static_cast<double>(unmatched) / ink;
}

// One drawing on paper and in the preview: the preview page and the PDF page, at the same
// size, carry the same ink (lines as thin, nothing hidden, nothing missing).
TEST_F(ReportTest, PrintPreviewShowsThePageAsThePdfHasIt) {
    QTemporaryDir dir;
    CKorvaliserView view(doc, &curves, prompts);
    const QString pdf = dir.filePath(QStringLiteral("page.pdf"));
    ASSERT_TRUE(view.exportPdf(pdf));
    const QImage preview = previewPage(view);
    ASSERT_GT(preview.width(), 300);
    const QImage paper = pdfPage(pdf, preview.size());
    ASSERT_EQ(paper.size(), preview.size()) << "pdftoppm gave no page";
    EXPECT_LT(unmatchedInk(preview, paper), 0.03) << "ink in the preview that the PDF page lacks";
    EXPECT_LT(unmatchedInk(paper, preview), 0.03) << "ink on the PDF page that the preview lacks";
}

TEST_F(ReportTest, BandWidthLabelFollowsTheDisplaySwitch) {
    QTemporaryDir dir;
    CKorvaliserView view(doc, &curves, prompts);
    view.setShowQ(false);
    const QString path = dir.filePath(QStringLiteral("bw.pdf"));
    ASSERT_TRUE(view.exportPdf(path));
    EXPECT_TRUE(pdfText(path).contains(QStringLiteral("BandWd")));
}

TEST_F(ReportTest, ScrollHeightFollowsTheNotes) {
    CKorvaliserView view(doc, &curves, prompts);
    EXPECT_EQ(view.pageHeightUnits(), 14000);  // before the first paint
    view.resize(700, 300);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    view.viewport()->repaint();
    const int shortNotes = view.pageHeightUnits();
    EXPECT_GT(shortNotes, 540 + 2 * 1710 + 4500);
    EXPECT_LT(shortNotes, 540 + 2 * 1710 + 4500 + 400);

    PresetBank bank = doc.bank();
    Preset& preset = bank.presets[0];
    const std::u16string words = u"Line array with two subs per side, cardioid; check the delay again. ";
    for (std::size_t i = 0; i + 1 < preset.notes.size(); ++i) preset.notes[i] = words[i % words.size()];
    doc.loadBank(bank, doc.unitType(), doc.activeBandCount());
    view.viewport()->repaint();
    EXPECT_GT(view.pageHeightUnits(), shortNotes + 150);
    EXPECT_GT(view.verticalScrollBar()->maximum(), 0);
}

// Notes wrap inside their 5.3-inch column: between words, and inside a word that is too
// long for one line, so nothing is cut off at the right edge.
TEST_F(ReportTest, NotesWrapInsideTheirColumn) {
    const auto drawNotes = [&](const std::u16string& notes, int* inkRight) {
        PresetBank bank = doc.bank();
        Preset& preset = bank.presets[0];
        preset.notes.fill(u'\0');
        std::copy(notes.begin(), notes.end(), preset.notes.begin());
        doc.loadBank(bank, doc.unitType(), doc.activeBandCount());
        QImage image(760, 1300, QImage::Format_ARGB32_Premultiplied);
        image.setDotsPerMeterX(3780);
        image.setDotsPerMeterY(3780);
        image.fill(Qt::white);
        QPainter painter(&image);
        const int bottom =
            SettingsReport(doc, &curves, {}).drawSettingsReport(painter, reportTransform(96, 96));
        painter.end();
        // Right-most ink below the graph (the notes begin 540 + 2 x 1710 + 4500 units down).
        *inkRight = -1;
        for (int y = 8460 * 96 / 1000 + 2; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qGray(image.pixel(x, y)) < 128) *inkRight = std::max(*inkRight, x);
        return bottom;
    };
    const int columnRight = 5500 * 96 / 1000;
    int inkRight = 0;
    const int oneLine = drawNotes(u"Short note.", &inkRight);
    EXPECT_GT(inkRight, 0);
    struct Case {
        const char* what;
        std::u16string notes;
    };
    const Case cases[] = {
        {"words",
         [] {
             std::u16string s;
             while (s.size() < 230) s += u"cardioid subs ";
             return s;
         }()},
        {"one long word", std::u16string(230, u'W')},
    };
    for (const Case& c : cases) {
        const int bottom = drawNotes(c.notes, &inkRight);
        EXPECT_LE(inkRight, columnRight) << c.what;
        EXPECT_GT(inkRight, columnRight - 60) << c.what;  // the lines are filled out to the column's width
        EXPECT_LT(bottom, oneLine - 2 * (-8460 - oneLine)) << c.what;  // three lines or more
    }
    // 240 line breaks would run 30000 units down: the notes stop at their 18000-unit box.
    EXPECT_EQ(drawNotes(std::u16string(240, u'\n'), &inkRight), -8460 - 18000);
}

TEST_F(ReportTest, ScreenPaintShowsTheName) {
    CKorvaliserView view(doc, &curves, prompts);
    view.resize(720, 500);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    const QImage shot = view.viewport()->grab().toImage();
    // Dark title text lies on the baseline row of the name (y = -180 units).
    int dark = 0;
    for (int x = 19; x < 120; ++x)
        for (int y = 8; y < 18; ++y)
            if (qGray(shot.pixel(x, y)) < 100) ++dark;
    EXPECT_GT(dark, 20);
}

}  // namespace
}  // namespace kv
