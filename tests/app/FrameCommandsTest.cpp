#include "AppStartFixture.h"

namespace kv {
namespace {

// The main window's menus, panes, port dialog, closing and report commands.
class FrameCommandsTest : public test::AppStartFixture {};
QStringList menuEntries(const QMenu& menu) {
    QStringList entries;
    for (const QAction* action : menu.actions()) {
        if (action->isSeparator()) {
            entries.append(QStringLiteral("-"));
            continue;
        }
        if (!action->isVisible()) continue;
        QStringList keys;
        for (const QKeySequence& key : action->shortcuts()) keys.append(key.toString());
        entries.append(action->text() + QLatin1Char('|') + keys.join(QLatin1Char(',')));
    }
    return entries;
}

TEST_F(FrameCommandsTest, MenusToolBarAndStatusBarAsListed) {
    auto app = start();
    CMainFrame& frame = *app->mainFrame();
    struct MenuCase {
        const char* title;
        QStringList entries;
    };
    const MenuCase menus[] = {
        {"&File",
         {"&New|Ctrl+N", "&Open...|Ctrl+O", "&Save|Ctrl+S", "Save &As...|", "-", "&Print...|Ctrl+P",
          "Print Pre&view|", "P&rint Setup...|", "&Export PDF...|", "-", "&Import Filters...|",
          "Export &Filters...|", "-", "-", "E&xit|"}},
        {"&Edit",
         {"&Undo|Ctrl+Z,Alt+Backspace", "&Redo|Ctrl+Y,Ctrl+Shift+Z", "-", "Cu&t|Ctrl+X,Shift+Del",
          "&Copy|Ctrl+C,Ctrl+Ins", "&Paste|Ctrl+V,Shift+Ins"}},
        {"&View", {"&Toolbar|", "&Status Bar|", "-", "Report Shows &DSP Response|"}},
        {"Remote", {"No Connection|", "RS232|"}},
        {"Build", {"Build Preset File|"}},
        {"&Help", {"&About Korvaliser...|"}},
    };
    const QList<QAction*> bar = frame.menuBar()->actions();
    ASSERT_EQ(bar.size(), static_cast<qsizetype>(std::size(menus)));
    for (std::size_t i = 0; i < std::size(menus); ++i) {
        EXPECT_EQ(bar[static_cast<qsizetype>(i)]->text(), QString::fromLatin1(menus[i].title));
        ASSERT_NE(bar[static_cast<qsizetype>(i)]->menu(), nullptr);
        EXPECT_EQ(menuEntries(*bar[static_cast<qsizetype>(i)]->menu()), menus[i].entries) << menus[i].title;
    }

    // The tool bar: thirteen places, the last one the unit type selector.
    const FrameActions& a = frame.actions();
    QStringList tools;
    for (QAction* action : a.toolBar->actions()) {
        if (action->isSeparator())
            tools.append(QStringLiteral("-"));
        else if (QWidget* widget = a.toolBar->widgetForAction(action); widget == &frame.unitTypeSelector())
            tools.append(QStringLiteral("selector"));
        else
            tools.append(action->objectName());
    }
    EXPECT_EQ(
        tools,
        (QStringList{QStringLiteral("actionNew"), QStringLiteral("actionOpen"), QStringLiteral("actionSave"),
                     QStringLiteral("-"), QStringLiteral("actionCut"), QStringLiteral("actionCopy"),
                     QStringLiteral("actionPaste"), QStringLiteral("-"), QStringLiteral("actionPrint"),
                     QStringLiteral("actionAbout"), QStringLiteral("actionPresetController"),
                     QStringLiteral("-"), QStringLiteral("selector")}));
    for (QAction* action : a.toolBar->actions()) {
        const bool button =
            !action->isSeparator() && a.toolBar->widgetForAction(action) != &frame.unitTypeSelector();
        if (button) {
            EXPECT_FALSE(action->icon().isNull()) << qPrintable(action->objectName());
        }
    }
    EXPECT_EQ(a.presetController->statusTip(), QStringLiteral("Preset Controller"));
    EXPECT_EQ(a.buildPresetFile->statusTip(), QStringLiteral("Build a Preset File"));

    // The status bar: the message pane and the three lock indicators.
    EXPECT_EQ(frame.statusBar()->currentMessage(), QStringLiteral("Ready"));
    for (const char* name : {"indicatorCAP", "indicatorNUM", "indicatorSCRL"})
        EXPECT_NE(frame.statusBar()->findChild<QLabel*>(QString::fromLatin1(name)), nullptr) << name;
}

TEST_F(FrameCommandsTest, F6AndShiftF6MoveBetweenThePanes) {
    auto app = start();
    CMainFrame& frame = *app->mainFrame();
    frame.show();
    frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    QWidget& tree = frame.tree();
    QWidget& view = frame.view();
    view.setFocus();
    for (const auto modifier : {Qt::NoModifier, Qt::ShiftModifier}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6, modifier);
        EXPECT_TRUE(tree.hasFocus()) << "modifier " << modifier;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6, modifier);
        EXPECT_TRUE(view.hasFocus()) << "modifier " << modifier;
    }
}

// Answers the next modal dialog once it is up.
void whenDialogOpens(std::function<void(QDialog&)> answer) {
    QTimer::singleShot(0, [answer = std::move(answer)] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) answer(*dialog);
    });
}

TEST_F(FrameCommandsTest, Rs232CancelKeepsTheLinkAndOkOpensTheChosenDevice) {
    SimulatedAmplifier sim;
    auto app = start();
    const FrameActions& a = app->mainFrame()->actions();

    whenDialogOpens([](QDialog& dialog) { dialog.reject(); });
    app->chooseRs232();
    EXPECT_EQ(app->link().connectionMode(), ConnectionMode::NoConnection);
    EXPECT_FALSE(app->link().portOpen());
    EXPECT_TRUE(a.noConnection->isChecked());
    EXPECT_FALSE(a.rs232->isChecked());

    const QString device = QString::fromStdString(sim.devicePath());
    whenDialogOpens([&](QDialog& dialog) {
        auto& rs232 = static_cast<RS232PortDialog&>(dialog);
        rs232.portList().setCurrentIndex(4);
        rs232.deviceList().setEditText(device);
        rs232.baudList().setCurrentIndex(5);
        dialog.accept();
    });
    app->chooseRs232();
    EXPECT_TRUE(script.asked.empty());
    EXPECT_EQ(app->link().connectionMode(), ConnectionMode::Rs232);
    EXPECT_TRUE(app->link().portOpen());
    EXPECT_TRUE(a.rs232->isChecked());
    EXPECT_FALSE(a.noConnection->isChecked());
    EXPECT_TRUE(app->link().goOnline());

    app->chooseNoConnection();
    EXPECT_FALSE(app->link().portOpen());
    EXPECT_FALSE(app->link().online());
    EXPECT_TRUE(a.noConnection->isChecked());
    app->exitInstance();
    const AppSettings after = readAppSettings(*temp.open());
    EXPECT_EQ(after.comNumber, 4);
    EXPECT_EQ(after.speedIndex, 5);
    EXPECT_EQ(after.comDevices[4], device);
}

TEST_F(FrameCommandsTest, Rs232OkOnAMissingDeviceSaysWhyAndStaysUnconnected) {
    auto app = start();
    whenDialogOpens([&](QDialog& dialog) {
        static_cast<RS232PortDialog&>(dialog).deviceList().setEditText(temp.dir(QStringLiteral("ttyNone")));
        dialog.accept();
    });
    app->chooseRs232();
    ASSERT_EQ(script.asked.size(), 1u);
    EXPECT_TRUE(script.asked[0].text.startsWith(QStringLiteral("Cannot Open this COM port !\n")));
    EXPECT_TRUE(script.asked[0].text.contains(QStringLiteral("ttyNone")));
    EXPECT_EQ(script.asked[0].icon, QMessageBox::Warning);
    EXPECT_EQ(app->link().connectionMode(), ConnectionMode::NoConnection);
    EXPECT_TRUE(app->mainFrame()->actions().noConnection->isChecked());
}

TEST_F(FrameCommandsTest, SimulateOptionLeadsTheChosenEntryToTheSimulator) {
    writeSettings([](AppSettings& s) { s.comDevices[1] = QStringLiteral("/dev/ttyUSB7"); });
    StartupOptions options;
    options.simulate = true;
    auto app = start(options);
    ASSERT_TRUE(started);
    ASSERT_NE(app->simulator(), nullptr);
    EXPECT_EQ(app->link().effectiveDevicePath(), app->simulator()->devicePath());
    EXPECT_TRUE(app->connection().goOnline());
    EXPECT_EQ(app->document().unitType(), kUnitKV520);  // the simulated unit's model
    app->exitInstance();
    EXPECT_EQ(readAppSettings(*temp.open()).comDevices[1],
              QStringLiteral("/dev/ttyUSB7"));  // not overwritten
}

TEST_F(FrameCommandsTest, ClosingWithUnsavedChangesCanBeCancelled) {
    auto app = start();
    app->document().setPresetName(0, u"Edited");
    script.answers = {QMessageBox::Cancel};
    EXPECT_FALSE(app->mainFrame()->close());
    EXPECT_TRUE(app->mainFrame()->isVisible());
    script.answers = {QMessageBox::No};
    EXPECT_TRUE(app->mainFrame()->close());
}

TEST_F(FrameCommandsTest, PdfCommandWritesTheReportWithoutAWindow) {
    const QString bank = saveBank(QStringLiteral("bank.ovk"), QStringLiteral("Night Show"));
    StartupOptions options;
    options.action = StartupOptions::Action::Pdf;
    options.file = bank;
    options.pdfPath = temp.dir(QStringLiteral("out.pdf"));
    auto app = start(options);
    ASSERT_TRUE(started);
    EXPECT_EQ(app->mainFrame(), nullptr);
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {options.pdfPath, QStringLiteral("-")});
    ASSERT_TRUE(pdftotext.waitForFinished(20000));
    const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
    EXPECT_TRUE(text.contains(QStringLiteral("Night Show")));
    EXPECT_TRUE(text.contains(QStringLiteral("Output [2]")));

    options.file = temp.dir(QStringLiteral("missing.ovk"));
    auto failing = start(options);
    EXPECT_FALSE(started);
}

TEST_F(FrameCommandsTest, GoingOnlineInTheEditorLeavesTheBankUnmodified) {
    StartupOptions options;
    options.simulate = true;
    options.file = saveBank(QStringLiteral("show.ovk"));
    auto app = start(options);
    ASSERT_TRUE(started);
    ASSERT_FALSE(app->document().isModified());
    whenDialogOpens([](QDialog& dialog) {
        auto* onLine = dialog.findChild<QAbstractButton*>(QStringLiteral("onLineButton"));
        ASSERT_NE(onLine, nullptr);
        onLine->click();
        dialog.accept();
    });
    app->openEditor();
    EXPECT_GE(app->simulator()->frames().size(), 30u) << "identification and the whole preset";
    EXPECT_FALSE(app->document().isModified());
}

}  // namespace
}  // namespace kv
