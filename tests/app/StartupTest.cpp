#include "AppStartFixture.h"

namespace kv {
namespace {

// Start-up, settings, the files it opens and the unit type.
class StartupTest : public test::AppStartFixture {};
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
}  // namespace
}  // namespace kv
