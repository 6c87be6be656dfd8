// Edit > Undo and Redo in the main window: named after the step, restoring the bank with
// the tree, the unit type selector and the title's modified mark following.

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>

#include "AppTestSupport.h"
#include "app/DocumentHost.h"
#include "app/KorvaliserApp.h"
#include "app/frame/MainFrame.h"
#include "document/KorvaliserDoc.h"
#include "ui/tree/PearTree.h"

namespace kv {
namespace {

class HistoryCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        StartupOptions options;
        options.splash = false;
        app = std::make_unique<CKorvaliserApp>(temp.open(), script.prompts());
        ASSERT_TRUE(app->initInstance(options));
    }
    const FrameActions& actions() const { return app->mainFrame()->actions(); }

    test::TempSettings temp;
    test::ScriptedPrompts script;
    std::unique_ptr<CKorvaliserApp> app;
};

TEST_F(HistoryCommandsTest, UndoAndRedoNameTheStepAndTheViewsFollow) {
    EXPECT_FALSE(actions().undo->isEnabled());
    app->document().setPresetName(3, u"Fills");
    app->host().updateAllViews(nullptr);
    EXPECT_TRUE(actions().undo->isEnabled());
    EXPECT_EQ(actions().undo->text(), QStringLiteral("&Undo Rename Preset 4"));
    EXPECT_TRUE(app->mainFrame()->isWindowModified());

    actions().undo->trigger();
    EXPECT_EQ(app->document().presetNameText(3), u"Preset 3");
    EXPECT_FALSE(app->mainFrame()->isWindowModified()) << "back at the state of the new bank";
    EXPECT_EQ(actions().redo->text(), QStringLiteral("&Redo Rename Preset 4"));
    EXPECT_FALSE(
        app->mainFrame()->tree().findItems(QStringLiteral("Preset 3"), Qt::MatchRecursive).isEmpty());

    actions().redo->trigger();
    EXPECT_FALSE(app->mainFrame()->tree().findItems(QStringLiteral("Fills"), Qt::MatchRecursive).isEmpty());
    EXPECT_FALSE(actions().redo->isEnabled());
    EXPECT_EQ(actions().redo->text(), QStringLiteral("&Redo"));
}

TEST_F(HistoryCommandsTest, UndoOfAUnitTypeSwitchPutsTheSelectorBack) {
    QComboBox& selector = app->mainFrame()->unitTypeSelector();
    script.answers = {QMessageBox::Ok};
    app->mainFrame()->changeUnitType(1);
    ASSERT_EQ(app->document().unitType(), kUnitKV520);
    actions().undo->trigger();
    EXPECT_EQ(app->document().unitType(), kUnitKV420);
    EXPECT_EQ(selector.currentIndex(), 0);
}

}  // namespace
}  // namespace kv
