// Small things a user of the main window notices: the wheel over the unit type selector,
// the Remote menu's marks, the lock panes of the status bar, the RS232 dialog under
// --simulate, the report's DSP option.

#include <gtest/gtest.h>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>
#include <QWheelEvent>

#include "AppTestSupport.h"
#include "app/KorvaliserApp.h"
#include "app/frame/MainFrame.h"
#include "document/KorvaliserDoc.h"
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

}  // namespace
}  // namespace kv
