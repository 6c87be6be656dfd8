#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QProcess>
#include <QSplitter>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include "AppTestSupport.h"
#include "app/DocumentHost.h"
#include "app/KorvaliserApp.h"
#include "app/frame/MainFrame.h"
#include "connection/UnitConnection.h"
#include "document/KorvaliserDoc.h"
#include "document/file/OvkFile.h"
#include "link/UnitLink.h"
#include "sim/SimulatedAmplifier.h"
#include "ui/remote/RS232PortDialog.h"
#include "ui/report/KorvaliserView.h"
#include "ui/tree/PearTree.h"

namespace kv {
namespace {

class StartupTest : public ::testing::Test {
protected:
    // A saved bank whose first preset is called `name`.
    QString saveBank(const QString& fileName, const QString& name = QStringLiteral("Stage Left")) {
        CKorvaliserDoc doc;
        doc.setPresetName(0, name.toStdU16String());
        const QString path = temp.dir(fileName);
        EXPECT_TRUE(saveDocument(doc, QFile::encodeName(path).toStdString()).ok);
        return path;
    }

    void writeSettings(const std::function<void(AppSettings&)>& change) {
        auto store = temp.open();
        AppSettings s = readAppSettings(*store);
        change(s);
        writeAppSettings(*store, s);
    }

    std::unique_ptr<CKorvaliserApp> start(StartupOptions options = {}, bool splash = false) {
        options.splash = splash;
        auto app = std::make_unique<CKorvaliserApp>(temp.open(), script.prompts());
        started = app->initInstance(options);
        return app;
    }

    QString firstName(CKorvaliserApp& app) {
        return QString::fromStdU16String(app.document().presetNameText(app.document().slotAtPosition(0)));
    }

    test::TempSettings temp;
    test::ScriptedPrompts script;
    bool started = false;
};

TEST_F(StartupTest, LinkTypeOneStillStartsUnconnected) {
    writeSettings([](AppSettings& s) {
        s.linkMode = 1;
        s.comNumber = 3;
        s.speedIndex = 4;
    });
    auto app = start();
    ASSERT_TRUE(started);
    EXPECT_EQ(app->link().connectionMode(), ConnectionMode::NoConnection);
    EXPECT_EQ(app->link().comPortIndex(), 3);
    EXPECT_EQ(app->link().baudIndex(), 4);
    EXPECT_TRUE(app->mainFrame()->actions().noConnection->isChecked());
    EXPECT_FALSE(app->mainFrame()->actions().rs232->isChecked());
    app->exitInstance();
    const AppSettings after = readAppSettings(*temp.open());
    EXPECT_EQ(after.linkMode, 0);
    EXPECT_EQ(after.comNumber, 3);
}

TEST_F(StartupTest, ExitWritesKeptValuesAndDropsHighExpandBits) {
    writeSettings([](AppSettings& s) {
        s.globalGain = 5;
        s.globalPeq = 0;
    });
    {
        QSettings raw(temp.path(), QSettings::IniFormat);
        raw.setValue(QStringLiteral("Options/Expand"), 256);
    }
    auto app = start();
    app->exitInstance();
    QSettings raw(temp.path(), QSettings::IniFormat);
    EXPECT_EQ(raw.value(QStringLiteral("Options/Expand")).toInt(), 0);
    EXPECT_EQ(raw.value(QStringLiteral("Options/Global Gain")).toInt(), 5);
    EXPECT_EQ(raw.value(QStringLiteral("Options/Global Peq")).toInt(), 0);
}

TEST_F(StartupTest, SplitPositionComesBackAndGoesOut) {
    writeSettings([](AppSettings& s) { s.splitPos = 233; });
    auto app = start();
    CMainFrame& frame = *app->mainFrame();
    EXPECT_EQ(frame.splitPosition(), 233);
    frame.applySplitPosition(150);
    app->exitInstance();
    EXPECT_EQ(readAppSettings(*temp.open()).splitPos, 150);
}

TEST_F(StartupTest, MissingRecentFileRetryOpensItOnceRestored) {
    const QString path = saveBank(QStringLiteral("show.ovk"));
    const QString aside = path + QStringLiteral(".moved");
    ASSERT_TRUE(QFile::rename(path, aside));
    writeSettings([&](AppSettings& s) { s.recentFiles = {path}; });
    script.answers = {QMessageBox::Retry, QMessageBox::Retry};
    int asks = 0;
    script.onAsk = [&](const test::Asked&) {
        if (++asks == 2) QFile::rename(aside, path);  // restored while the second box is up
    };
    auto app = start();
    ASSERT_TRUE(started);
    ASSERT_EQ(script.asked.size(), 2u);
    EXPECT_EQ(script.asked[0].text, QStringLiteral("File ") + path + QStringLiteral(" not Found"));
    EXPECT_EQ(script.asked[0].buttons, QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore);
    EXPECT_EQ(script.asked[0].icon, QMessageBox::Warning);
    EXPECT_EQ(app->host().pathName(), path);
    EXPECT_EQ(firstName(*app), QStringLiteral("Stage Left"));
}

TEST_F(StartupTest, MissingRecentFileIgnoreOrAbortKeepsTheNewBank) {
    for (const auto answer : {QMessageBox::Ignore, QMessageBox::Abort}) {
        script.asked.clear();
        writeSettings([&](AppSettings& s) { s.recentFiles = {temp.dir(QStringLiteral("gone.ovk"))}; });
        script.answers = {answer};
        auto app = start();
        ASSERT_TRUE(started);
        EXPECT_EQ(script.asked.size(), 1u);
        EXPECT_TRUE(app->host().pathName().isEmpty());
        EXPECT_EQ(firstName(*app), QStringLiteral("Preset 0"));
        EXPECT_EQ(app->mainFrame()->windowTitle(),
                  QStringLiteral("Untitled[*] - Korvalis Preset Manager V1.10"));
    }
}

// After a unit type switch renamed the bank to bank(2).ovk and the program was left
// without saving, the next start asks about the missing file with the splash up. The
// user answers after the splash has gone (a click on it, or its time ran out), inside
// the question's own event loop, which also deletes the splash.
TEST_F(StartupTest, MissingRecentFileAnsweredAfterTheSplashClosedStartsNormally) {
    writeSettings([&](AppSettings& s) { s.recentFiles = {temp.dir(QStringLiteral("bank(2).ovk"))}; });
    QPointer<QWidget> splashSeen;
    bool splashWasUp = false;
    script.answers = {QMessageBox::Ignore};
    script.onAsk = [&](const test::Asked&) {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->objectName() == QStringLiteral("splash") && widget->isVisible()) splashSeen = widget;
        splashWasUp = !splashSeen.isNull();
        if (!splashWasUp) return;
        QEventLoop questionLoop;
        QTimer::singleShot(0, &questionLoop, [&] { QTest::mouseClick(splashSeen.data(), Qt::LeftButton); });
        QTimer::singleShot(100, &questionLoop, &QEventLoop::quit);
        questionLoop.exec();
    };
    auto app = start({}, /*splash=*/true);
    EXPECT_TRUE(started);
    EXPECT_EQ(script.asked.size(), 1u);
    EXPECT_TRUE(script.asked.empty() || script.asked[0].text.contains(QStringLiteral("bank(2).ovk")));
    EXPECT_TRUE(splashWasUp);
    EXPECT_TRUE(splashSeen.isNull()) << "the splash has gone";
    EXPECT_TRUE(app->mainFrame()->isVisible());
}

TEST_F(StartupTest, FileOnCommandLineIgnoresTheRecentList) {
    const QString path = saveBank(QStringLiteral("given.ovk"), QStringLiteral("Given"));
    writeSettings([&](AppSettings& s) { s.recentFiles = {temp.dir(QStringLiteral("gone.ovk"))}; });
    StartupOptions options;
    options.file = path;
    auto app = start(options);
    ASSERT_TRUE(started);
    EXPECT_TRUE(script.asked.empty());
    EXPECT_EQ(firstName(*app), QStringLiteral("Given"));
    EXPECT_EQ(app->host().recentFiles().first(), path);
}

TEST_F(StartupTest, DamagedFileOnCommandLineFailsStartUpWithAClearMessage) {
    const QString path = temp.dir(QStringLiteral("broken.ovk"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a bank");
    file.close();
    StartupOptions options;
    options.file = path;
    auto app = start(options);
    EXPECT_FALSE(started);
    ASSERT_EQ(script.asked.size(), 1u);
    EXPECT_TRUE(script.asked[0].text.contains(QStringLiteral("broken.ovk")));
}

// Rewrites the preset count of a saved bank and keeps only the records it promises.
void keepFirstPresets(const QString& path, int presets, qint64 cutBytes = 0) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    bytes[4] = static_cast<char>(presets);
    bytes.truncate(12 + presets * 1018 - cutBytes);
    file.resize(0);
    file.write(bytes);
}

TEST_F(StartupTest, AFileOfFewerPresetsLeavesTheOthersAsTheyWere) {
    const QString path = saveBank(QStringLiteral("three.ovk"), QStringLiteral("From File"));
    keepFirstPresets(path, 3);
    auto app = start();
    app->document().setPresetName(5, u"Kept");
    app->document().setModified(false);
    EXPECT_TRUE(app->openDocumentFile(path));
    EXPECT_EQ(firstName(*app), QStringLiteral("From File"));
    EXPECT_EQ(app->document().presetNameText(5), u"Kept");
    EXPECT_EQ(app->host().pathName(), path);
}

TEST_F(StartupTest, AFileCutShortResetsTheDocumentAsForNew) {
    const QString path = saveBank(QStringLiteral("cut.ovk"), QStringLiteral("From File"));
    keepFirstPresets(path, 10, 100);
    const QString other = saveBank(QStringLiteral("other.ovk"), QStringLiteral("Open Bank"));
    StartupOptions options;
    options.file = other;
    auto app = start(options);
    ASSERT_EQ(firstName(*app), QStringLiteral("Open Bank"));
    EXPECT_FALSE(app->openDocumentFile(path));
    ASSERT_EQ(script.asked.size(), 1u);
    EXPECT_TRUE(script.asked[0].text.contains(QStringLiteral("cut.ovk")));
    EXPECT_EQ(firstName(*app), QStringLiteral("Preset 0"));
    EXPECT_TRUE(app->host().pathName().isEmpty());
    EXPECT_FALSE(app->host().isModified());
}

TEST_F(StartupTest, ReloadQuestionOkDiscardsEditsWithoutSaveQuestion) {
    const QString path = saveBank(QStringLiteral("bank.ovk"));
    StartupOptions options;
    options.file = path;
    auto app = start(options);
    app->document().setPresetName(0, u"Edited");
    ASSERT_TRUE(app->host().isModified());
    script.answers = {QMessageBox::Ok};
    EXPECT_TRUE(app->openDocumentFile(path));
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("Reload Original Settings ?")});
    EXPECT_EQ(script.asked[0].buttons, QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(script.asked[0].icon, QMessageBox::Question);
    EXPECT_EQ(firstName(*app), QStringLiteral("Stage Left"));
    EXPECT_FALSE(app->host().isModified());
}

TEST_F(StartupTest, ReloadQuestionCancelKeepsTheEditedBank) {
    const QString path = saveBank(QStringLiteral("bank.ovk"));
    StartupOptions options;
    options.file = path;
    auto app = start(options);
    app->document().setPresetName(0, u"Edited");
    script.answers = {QMessageBox::Cancel};
    app->openDocumentFile(path);
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("Reload Original Settings ?")});
    EXPECT_EQ(firstName(*app), QStringLiteral("Edited"));
    EXPECT_TRUE(app->host().isModified());
}

TEST_F(StartupTest, ReloadOfAFileGoneFromDiskKeepsTheEditsUnsaved) {
    const QString path = saveBank(QStringLiteral("bank.ovk"));
    StartupOptions options;
    options.file = path;
    auto app = start(options);
    app->document().setPresetName(0, u"Edited");
    ASSERT_TRUE(QFile::remove(path));
    script.answers = {QMessageBox::Ok};
    EXPECT_FALSE(app->openDocumentFile(path));
    ASSERT_EQ(script.asked.size(), 2u);  // the question, then why the file could not be read
    EXPECT_EQ(script.asked[0].text, QStringLiteral("Reload Original Settings ?"));
    EXPECT_EQ(firstName(*app), QStringLiteral("Edited"));
    EXPECT_TRUE(app->host().isModified());
    EXPECT_TRUE(app->mainFrame()->isWindowModified());
    // Closing still offers to save the edits.
    script.answers = {QMessageBox::Cancel};
    EXPECT_FALSE(app->mainFrame()->close());
    EXPECT_EQ(script.asked.back().text, QStringLiteral("Save changes to bank.ovk?"));
}

TEST_F(StartupTest, NewAsksToSaveAModifiedBank) {
    auto app = start();
    app->document().setPresetName(0, u"Edited");
    script.answers = {QMessageBox::Cancel};
    EXPECT_FALSE(app->host().newDocument());
    EXPECT_EQ(firstName(*app), QStringLiteral("Edited"));
    ASSERT_EQ(script.asked.size(), 1u);
    EXPECT_EQ(script.asked[0].text, QStringLiteral("Save changes to Untitled?"));
    script.answers = {QMessageBox::No};
    EXPECT_TRUE(app->host().newDocument());
    EXPECT_EQ(firstName(*app), QStringLiteral("Preset 0"));
    EXPECT_FALSE(app->host().isModified());
}

TEST_F(StartupTest, SaveAsWritesTheFileAndRetitles) {
    auto app = start();
    app->document().setPresetName(0, u"Saved");
    const QString path = temp.dir(QStringLiteral("fresh"));
    script.files = {path};
    ASSERT_TRUE(app->host().saveAs());
    EXPECT_TRUE(QFileInfo::exists(path + QStringLiteral(".ovk")));
    EXPECT_EQ(app->mainFrame()->windowTitle(),
              QStringLiteral("fresh.ovk[*] - Korvalis Preset Manager V1.10"));
    EXPECT_FALSE(app->mainFrame()->isWindowModified());
    CKorvaliserDoc reread;
    ASSERT_TRUE(loadDocument(reread, QFile::encodeName(path + QStringLiteral(".ovk")).toStdString()).ok);
    EXPECT_EQ(reread.presetNameText(0), u"Saved");
}

TEST_F(StartupTest, UnitTypeCancelChangesNothing) {
    const QString path = saveBank(QStringLiteral("bank.ovk"));
    StartupOptions options;
    options.file = path;
    auto app = start(options);
    CMainFrame& frame = *app->mainFrame();
    ASSERT_EQ(frame.unitTypeSelector().currentIndex(), 0);
    script.answers = {QMessageBox::Cancel};
    frame.unitTypeSelector().setCurrentIndex(1);  // what the user's pick does first
    frame.changeUnitType(1);
    ASSERT_EQ(script.asked.size(), 1u);
    EXPECT_EQ(script.asked[0].text,
              QStringLiteral("Switch Unit Type?\n\nLimter settings may need to be changed."));
    EXPECT_EQ(app->document().unitType(), kUnitKV420);
    EXPECT_EQ(app->host().pathName(), path);
    EXPECT_FALSE(app->host().isModified());
    EXPECT_EQ(frame.unitTypeSelector().currentIndex(), 0);
}

TEST_F(StartupTest, UnitTypeOkRenamesTheBankEachTime) {
    const QString path = saveBank(QStringLiteral("bank.ovk"));
    StartupOptions options;
    options.file = path;
    auto app = start(options);
    CMainFrame& frame = *app->mainFrame();
    script.answers = {QMessageBox::Ok, QMessageBox::Ok};
    frame.changeUnitType(1);
    EXPECT_EQ(app->document().unitType(), kUnitKV520);
    EXPECT_EQ(app->host().pathName(), temp.dir(QStringLiteral("bank(2).ovk")));
    EXPECT_FALSE(QFileInfo::exists(app->host().pathName()));  // not yet on disk
    EXPECT_TRUE(app->host().isModified());
    EXPECT_EQ(app->host().recentFiles().first(), temp.dir(QStringLiteral("bank(2).ovk")));
    EXPECT_EQ(frame.unitTypeSelector().currentIndex(), 1);
    frame.changeUnitType(0);
    EXPECT_EQ(app->document().unitType(), kUnitKV420);
    EXPECT_EQ(app->host().pathName(), temp.dir(QStringLiteral("bank(2)(2).ovk")));
    EXPECT_TRUE(frame.windowTitle().startsWith(QStringLiteral("bank(2)(2).ovk")));
}

TEST_F(StartupTest, UnitTypeOkRenamesOnlyTheFileNotItsFolder) {
    ASSERT_TRUE(QDir(temp.dir(QString())).mkpath(QStringLiteral("tour.ovk.d")));
    StartupOptions options;
    options.file = saveBank(QStringLiteral("tour.ovk.d/Mains.OVK"));
    auto app = start(options);
    script.answers = {QMessageBox::Ok};
    app->mainFrame()->changeUnitType(1);
    const QString renamed = temp.dir(QStringLiteral("tour.ovk.d/Mains(2).OVK"));
    EXPECT_EQ(app->host().pathName(), renamed);
    EXPECT_EQ(app->host().recentFiles().first(), renamed);
    EXPECT_TRUE(app->host().save());
    EXPECT_TRUE(QFileInfo::exists(renamed));
}

TEST_F(StartupTest, UnitTypeSelectorAsksOnlyWhenTheModelChanges) {
    const QString path = saveBank(QStringLiteral("bank.ovk"));
    StartupOptions options;
    options.file = path;
    auto app = start(options);
    QComboBox& selector = app->mainFrame()->unitTypeSelector();
    // The user opens the list and picks the model already shown.
    emit selector.activated(0);
    EXPECT_TRUE(script.asked.empty());
    EXPECT_EQ(app->host().pathName(), path);
    EXPECT_FALSE(app->host().isModified());
    // The arrow key moves to the other model, which is a change.
    script.answers = {QMessageBox::Ok};
    selector.setFocus();
    QTest::keyClick(&selector, Qt::Key_Down);
    ASSERT_EQ(script.asked.size(), 1u);
    EXPECT_EQ(app->document().unitType(), kUnitKV520);
    EXPECT_EQ(app->host().pathName(), temp.dir(QStringLiteral("bank(2).ovk")));
    emit selector.activated(1);
    EXPECT_EQ(script.asked.size(), 1u);
    EXPECT_EQ(app->host().pathName(), temp.dir(QStringLiteral("bank(2).ovk")));
}

TEST_F(StartupTest, UnitTypeOkOnANewBankKeepsItUntitled) {
    auto app = start();
    script.answers = {QMessageBox::Ok};
    app->mainFrame()->changeUnitType(1);
    EXPECT_EQ(app->document().unitType(), kUnitKV520);
    EXPECT_TRUE(app->host().pathName().isEmpty());
    EXPECT_TRUE(app->host().isModified());
}

TEST_F(StartupTest, LoadingAFileShowsItsUnitType) {
    CKorvaliserDoc doc;
    doc.setUnitType(kUnitKV520);
    const QString path = temp.dir(QStringLiteral("kv520.ovk"));
    ASSERT_TRUE(saveDocument(doc, QFile::encodeName(path).toStdString()).ok);
    auto app = start();
    ASSERT_EQ(app->mainFrame()->unitTypeSelector().currentIndex(), 0);
    ASSERT_TRUE(app->openDocumentFile(path));
    EXPECT_EQ(app->mainFrame()->unitTypeSelector().currentIndex(), 1);
    app->document().setUnitType(0x33);
    app->mainFrame()->showUnitType();
    EXPECT_EQ(app->mainFrame()->unitTypeSelector().currentIndex(), -1);
}

TEST_F(StartupTest, AboutBoxNamesTheVersion) {
    auto app = start();
    std::unique_ptr<QDialog> box(app->createAboutBox(app->mainFrame()));
    EXPECT_EQ(box->windowTitle(), QStringLiteral("About Korvaliser"));
    auto* text = box->findChild<QLabel*>(QStringLiteral("aboutText"));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text(), QStringLiteral("Korvaliser Version 1.10"));
}

TEST_F(StartupTest, EditCommandsStayDisabled) {
    auto app = start();
    const FrameActions& a = app->mainFrame()->actions();
    for (QAction* action : {a.undo, a.cut, a.copy, a.paste}) EXPECT_FALSE(action->isEnabled());
    EXPECT_EQ(a.fileNew->shortcut(), QKeySequence(QStringLiteral("Ctrl+N")));
    EXPECT_EQ(a.undo->shortcuts().size(), 2);
    EXPECT_EQ(app->mainFrame()->unitTypeSelector().itemText(0), QStringLiteral("Unit Type KV420"));
    EXPECT_EQ(app->mainFrame()->unitTypeSelector().itemText(1), QStringLiteral("Unit Type KV520"));
}

// Each menu's visible items in order, "text|shortcuts" ("-" for a separator).
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

TEST_F(StartupTest, MenusToolBarAndStatusBarAsListed) {
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

TEST_F(StartupTest, F6AndShiftF6MoveBetweenThePanes) {
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

TEST_F(StartupTest, Rs232CancelKeepsTheLinkAndOkOpensTheChosenDevice) {
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

TEST_F(StartupTest, Rs232OkOnAMissingDeviceSaysWhyAndStaysUnconnected) {
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

TEST_F(StartupTest, SimulateOptionLeadsTheChosenEntryToTheSimulator) {
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

TEST_F(StartupTest, ClosingWithUnsavedChangesCanBeCancelled) {
    auto app = start();
    app->document().setPresetName(0, u"Edited");
    script.answers = {QMessageBox::Cancel};
    EXPECT_FALSE(app->mainFrame()->close());
    EXPECT_TRUE(app->mainFrame()->isVisible());
    script.answers = {QMessageBox::No};
    EXPECT_TRUE(app->mainFrame()->close());
}

TEST_F(StartupTest, PdfCommandWritesTheReportWithoutAWindow) {
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

TEST_F(StartupTest, GoingOnlineInTheEditorLeavesTheBankUnmodified) {
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
