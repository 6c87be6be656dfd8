// Small things a user of the main window notices: the wheel over the unit type selector,
// the Remote menu's marks, the lock panes of the status bar, the RS232 dialog under
// --simulate, filter import and export from the File menu, the report's DSP option.

#include <gtest/gtest.h>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include "AppTestSupport.h"
#include "app/KorvaliserApp.h"
#include "app/frame/MainFrame.h"
#include "document/KorvaliserDoc.h"
#include "exchange/EqFileParser.h"
#include "response/analog/FilterCurve.h"
#include "ui/exchange/FilterExportDialog.h"
#include "ui/exchange/FilterImportDialog.h"
#include "ui/remote/RS232PortDialog.h"
#include "ui/report/KorvaliserView.h"

namespace kv {
namespace {

class MainFrameTest : public ::testing::Test {
protected:
    std::unique_ptr<CKorvaliserApp> start(bool simulate = false) {
        StartupOptions options;
        options.splash = false;
        options.simulate = simulate;
        auto app = std::make_unique<CKorvaliserApp>(temp.open(), script.prompts());
        EXPECT_TRUE(app->initInstance(options));
        return app;
    }

    test::TempSettings temp;
    test::ScriptedPrompts script;
};

TEST_F(MainFrameTest, TheWheelOverTheUnitTypeSelectorAsksNothing) {
    auto app = start();
    QComboBox& selector = app->mainFrame()->unitTypeSelector();
    for (const int delta : {-120, 120, -120}) {
        const QPointF at(selector.width() / 2.0, selector.height() / 2.0);
        QWheelEvent wheel(at, selector.mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&selector, &wheel);
    }
    EXPECT_TRUE(script.asked.empty());
    EXPECT_EQ(selector.currentIndex(), 0);
    EXPECT_EQ(app->document().unitType(), kUnitKV420);
    EXPECT_FALSE(app->document().isModified());
}

TEST_F(MainFrameTest, TheTwoLinkModesAreExclusiveItems) {
    auto app = start();
    const FrameActions& a = app->mainFrame()->actions();
    QActionGroup* group = a.noConnection->actionGroup();
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(a.rs232->actionGroup(), group);
    EXPECT_TRUE(group->isExclusive());  // what makes the menu draw radio marks
    EXPECT_TRUE(a.noConnection->isChecked());
    EXPECT_FALSE(a.rs232->isChecked());
}

// Off in a first run; the View menu's choice reaches the report and the next run.
TEST_F(MainFrameTest, TheReportsDspOptionIsKeptForTheNextRun) {
    for (const bool chosen : {true, false}) {
        {
            auto app = start();
            QAction* option = app->mainFrame()->actions().viewReportDsp;
            EXPECT_EQ(option->isChecked(), !chosen);
            EXPECT_EQ(app->mainFrame()->view().showDsp(), !chosen);
            option->trigger();
            EXPECT_EQ(app->mainFrame()->view().showDsp(), chosen);
            app->exitInstance();
        }
        auto app = start();
        EXPECT_EQ(app->mainFrame()->actions().viewReportDsp->isChecked(), chosen);
        EXPECT_EQ(app->mainFrame()->view().showDsp(), chosen);
    }
}

TEST_F(MainFrameTest, LockPanesAreHiddenWhereTheStatesCannotBeRead) {
    auto app = start();
    app->mainFrame()->show();
    // The suites run offscreen, where no keyboard state can be read.
    for (const char* name : {"indicatorCAP", "indicatorNUM", "indicatorSCRL"}) {
        auto* pane = app->mainFrame()->statusBar()->findChild<QLabel*>(QString::fromLatin1(name));
        ASSERT_NE(pane, nullptr) << name;
        EXPECT_FALSE(pane->isVisible()) << name;
    }
}

TEST_F(MainFrameTest, UnderSimulateTheRs232DialogSaysTheSimulatedUnitIsConnected) {
    for (const bool simulate : {false, true}) {
        auto app = start(simulate);
        bool noteShown = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<RS232PortDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            auto* note = dialog->findChild<QLabel*>(QStringLiteral("simulatedUnitNote"));
            noteShown = note != nullptr && note->isVisible();
            if (note) {
                EXPECT_EQ(
                    note->text(),
                    QStringLiteral("The simulated unit is connected instead of this device (--simulate)."));
            }
            dialog->reject();
        });
        app->chooseRs232();
        EXPECT_EQ(noteShown, simulate);
    }
}

// The modal dialog of type T that opens next, handed to `act` once it shows.
template <typename T>
void whenShown(const std::function<void(T&)>& act) {
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        act(*dialog);
    });
}

TEST_F(MainFrameTest, TheFileMenuImportsIntoAndExportsFromTheCurrentPreset) {
    auto app = start();
    CKorvaliserDoc& doc = app->document();
    doc.selectPreset(3);
    const Preset current = doc.preset(3), first = doc.preset(0);
    const QString eqFile = temp.dir(QStringLiteral("eq.txt"));
    QFile file(eqFile);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Filter 1: ON PK Fc 1000 Hz Gain -3.5 dB Q 2.00\n");
    file.close();

    script.files = {eqFile};
    whenShown<FilterImportDialog>([](FilterImportDialog& dialog) {
        dialog.findChild<QComboBox*>(QStringLiteral("outputChoice"))->setCurrentIndex(1);
        QTest::mouseClick(&dialog.okButton(), Qt::LeftButton);
    });
    app->mainFrame()->actions().importFilters->trigger();
    EXPECT_EQ(doc.outputChannel(1).bands[0].gain, -35);
    EXPECT_EQ(doc.outputChannel(0), current.outputs[0]);
    EXPECT_EQ(doc.preset(0), first);
    EXPECT_TRUE(app->mainFrame()->isWindowModified());

    // Back out again, as REW text, with a band the format cannot express named.
    doc.setBandType(1, 4, PeqPhase);
    const QString written = temp.dir(QStringLiteral("out"));
    script.files = {written};
    bool leftOutShown = false;
    whenShown<FilterExportDialog>([&](FilterExportDialog& dialog) {
        dialog.findChild<QComboBox*>(QStringLiteral("outputChoice"))->setCurrentIndex(1);
        dialog.findChild<QComboBox*>(QStringLiteral("formatChoice"))->setCurrentIndex(1);
        const QLabel* leftOut = dialog.findChild<QLabel*>(QStringLiteral("leftOutLabel"));
        leftOutShown = leftOut->isVisible() && leftOut->text().contains(QStringLiteral("Band 5: Phase"));
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("saveButton")), Qt::LeftButton);
    });
    app->mainFrame()->actions().exportFilters->trigger();
    EXPECT_TRUE(leftOutShown);
    QFile out(written + QStringLiteral(".txt"));
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    const QByteArray text = out.readAll();
    EXPECT_TRUE(text.startsWith("Filter Settings file"));
    const EqFile readBack = parseEqFile(text.toStdString());
    ASSERT_EQ(readBack.filters.size(), 1u);
    EXPECT_EQ(readBack.filters[0].gainDb, -3.5);
}

}  // namespace
}  // namespace kv
