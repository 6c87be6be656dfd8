// `korvaliser --edit FILE --preset N`: the editor sheet on its own keeps what the user
// did to the file only when asked to, and never closes over unsaved changes silently.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QTest>
#include <QTimer>
#include <functional>

#include "AppTestSupport.h"
#include "app/EditorLaunch.h"
#include "document/KorvaliserDoc.h"
#include "document/file/OvkFile.h"
#include "ui/editor/UnitSheet.h"
#include "ui/page/OutputPage.h"

namespace kv {
namespace {

class EditorLaunchTest : public ::testing::Test {
protected:
    EditorLaunchTest() : path(temp.dir(QStringLiteral("show.ovk"))) {
        CKorvaliserDoc doc;
        doc.setPresetName(doc.slotAtPosition(2), u"Mains");
        EXPECT_TRUE(saveDocument(doc, QFile::encodeName(path).toStdString()).ok);
    }

    // Runs the editor for preset 3; `drive` works the sheet once it is up.
    int run(std::function<void(CUnitSheet&)> drive) {
        QTimer::singleShot(0, [this, drive = std::move(drive)] {
            auto* sheet = qobject_cast<CUnitSheet*>(QApplication::activeModalWidget());
            ASSERT_NE(sheet, nullptr);
            drive(*sheet);
            if (sheet->isVisible()) {  // a failed step must not leave the test waiting
                script.answers = {QMessageBox::No};
                sheet->close();
            }
        });
        auto settings = temp.open();
        return runEditorStandalone(path, 3, false, script.prompts(), *settings);
    }

    static void mute(CUnitSheet& sheet) {
        auto* button = sheet.page(0)->findChild<QAbstractButton*>(QStringLiteral("muteButton1"));
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton);
    }

    bool savedMute() const {
        CKorvaliserDoc doc;
        EXPECT_TRUE(loadDocument(doc, QFile::encodeName(path).toStdString()).ok);
        doc.selectPreset(doc.slotAtPosition(2));
        return doc.mute(0);
    }

    test::TempSettings temp;
    test::ScriptedPrompts script;
    QString path;
};

TEST_F(EditorLaunchTest, ClosingWithChangesAsksAndCancelKeepsTheEditorOpen) {
    const int status = run([&](CUnitSheet& sheet) {
        EXPECT_EQ(sheet.windowTitle(), QStringLiteral("show.ovk[*] - Settings for Preset 3 : Mains"));
        EXPECT_FALSE(sheet.isWindowModified());
        mute(sheet);
        EXPECT_TRUE(sheet.isWindowModified());
        script.answers = {QMessageBox::Cancel};
        sheet.close();
        EXPECT_TRUE(sheet.isVisible()) << "Cancel keeps the editor open";
        script.answers = {QMessageBox::Yes};
        sheet.close();
        EXPECT_FALSE(sheet.isVisible());
    });
    EXPECT_EQ(status, 0);
    const test::Asked expected{QMessageBox::Warning, QStringLiteral("Save changes to show.ovk?"),
                               QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel};
    ASSERT_EQ(script.asked.size(), 2u);
    for (const test::Asked& asked : script.asked) {
        EXPECT_EQ(asked.text, expected.text);
        EXPECT_EQ(asked.buttons, expected.buttons);
    }
    EXPECT_TRUE(savedMute());
}

TEST_F(EditorLaunchTest, NoLeavesTheFileAndAnUnchangedPresetClosesWithoutAQuestion) {
    run([&](CUnitSheet& sheet) {
        sheet.close();
        EXPECT_FALSE(sheet.isVisible());
    });
    EXPECT_TRUE(script.asked.empty());
    run([&](CUnitSheet& sheet) {
        mute(sheet);
        script.answers = {QMessageBox::No};
        sheet.close();
        EXPECT_FALSE(sheet.isVisible());
    });
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("Save changes to show.ovk?")});
    EXPECT_FALSE(savedMute());
}

TEST_F(EditorLaunchTest, AFailedSaveIsReportedAndKeepsTheEditorOpen) {
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0444), 0);
    run([&](CUnitSheet& sheet) {
        mute(sheet);
        script.answers = {QMessageBox::Yes, QMessageBox::Ok};
        sheet.close();
        EXPECT_TRUE(sheet.isVisible());
    });
    ASSERT_GE(script.asked.size(), 2u);
    EXPECT_EQ(script.asked[1].text, QStringLiteral("Cannot save \"%1\": Permission denied.").arg(path));
    EXPECT_FALSE(savedMute());
}

}  // namespace
}  // namespace kv
