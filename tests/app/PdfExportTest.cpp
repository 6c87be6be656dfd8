// The report as a PDF, asked for on the command line or from the File menu: the same
// failures in the same words, and nothing from the drawing library on standard error.

#include <gtest/gtest.h>

#include <QFile>
#include <QPointer>
#include <QStringList>

#include "AppTestSupport.h"
#include "app/KorvaliserApp.h"
#include "app/frame/MainFrame.h"
#include "document/KorvaliserDoc.h"
#include "document/file/OvkFile.h"
#include "ui/report/KorvaliserView.h"

namespace kv {
namespace {

QStringList* capturedWarnings = nullptr;

void captureWarning(QtMsgType, const QMessageLogContext&, const QString& message) {
    if (capturedWarnings) capturedWarnings->append(message);
}

TEST(PdfExport, AnUnwritablePathIsReportedAlikeFromTheCommandLineAndTheMenu) {
    test::TempSettings temp;
    const QString bank = temp.dir(QStringLiteral("bank.ovk"));
    ASSERT_TRUE(saveDocument(CKorvaliserDoc{}, QFile::encodeName(bank).toStdString()).ok);
    QStringList warnings;
    capturedWarnings = &warnings;
    const QtMessageHandler previous = qInstallMessageHandler(captureWarning);

    const QStringList targets{temp.dir(QStringLiteral("no-such-folder/out.pdf")), temp.dir(QString())};
    for (const QString& target : targets) {
        SCOPED_TRACE(target.toStdString());
        test::ScriptedPrompts headless;
        StartupOptions options;
        options.action = StartupOptions::Action::Pdf;
        options.file = bank;
        options.pdfPath = target;
        CKorvaliserApp commandLine(temp.open(), headless.prompts());
        EXPECT_FALSE(commandLine.initInstance(options));

        test::ScriptedPrompts menu;
        CKorvaliserApp window(temp.open(), menu.prompts());
        StartupOptions run;
        run.splash = false;
        run.file = bank;
        ASSERT_TRUE(window.initInstance(run));
        EXPECT_FALSE(window.mainFrame()->view().exportPdf(target));

        ASSERT_EQ(headless.asked.size(), 1u);
        EXPECT_TRUE(headless.asked[0].text.startsWith(QStringLiteral("Cannot write %1: ").arg(target)))
            << headless.asked[0].text.toStdString();
        EXPECT_EQ(menu.texts(), headless.texts());
    }
    qInstallMessageHandler(previous);
    capturedWarnings = nullptr;
    EXPECT_TRUE(warnings.filter(QStringLiteral("QPainter")).isEmpty()) << warnings.join('\n').toStdString();
    EXPECT_FALSE(QFile::exists(targets.front()));
}

}  // namespace
}  // namespace kv
