#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "connection/UnitConnection.h"
#include "document/KorvaliserDoc.h"
#include "link/OnlineSender.h"
#include "link/UnitLink.h"
#include "sim/SimulatedAmplifier.h"
#include "ui/Prompts.h"
#include "ui/controller/PresetControl.h"
#include "ui/controller/RecallPresets.h"
#include "ui/controller/StorePresets.h"
#include "ui/controller/Wait.h"
#include "ui/remote/PromptLinkNotifier.h"

namespace kv {
namespace {

class PresetControlTest : public ::testing::Test {
protected:
    PresetControlTest() {
        prompts.message = [this](QMessageBox::Icon, const QString&, const QString& text,
                                 QMessageBox::StandardButtons) {
            messages.append(text);
            return QMessageBox::Ok;
        };
        link.setDevicePath(sim.devicePath());
        doc.setSender(&sender);
    }

    std::vector<SimFrame> framesOfKind(std::initializer_list<SimFrameKind> kinds) const {
        std::vector<SimFrame> result;
        for (const SimFrame& f : sim.frames())
            for (const SimFrameKind k : kinds)
                if (f.kind == k) result.push_back(f);
        return result;
    }

    SimulatedAmplifier sim;
    CKorvaliserDoc doc;
    Prompts prompts;
    QStringList messages;
    PromptLinkNotifier notifier{prompts};
    UnitConnection connection{doc, &notifier};
    UnitLink& link = connection.link();
    OnlineSender& sender = connection.sender();
};

TEST_F(PresetControlTest, SheetHasTheTwoPagesAndOnlyOk) {
    CPresetControl sheet(doc, link, sender);
    EXPECT_EQ(sheet.windowTitle(), QStringLiteral("Preset Controller"));
    ASSERT_EQ(sheet.tabs().count(), 2);
    EXPECT_EQ(sheet.tabs().tabText(0), QStringLiteral("Send Presets to Unit"));
    EXPECT_EQ(sheet.tabs().tabText(1), QStringLiteral("Recall Unit Presets"));
    QStringList buttons;
    for (auto* b : sheet.findChildren<QPushButton*>())
        if (!b->text().isEmpty() && b->parentWidget() && b->parentWidget()->inherits("QDialogButtonBox"))
            buttons.append(b->text().remove(QLatin1Char('&')));
    EXPECT_EQ(buttons, QStringList{QStringLiteral("OK")});
}

TEST_F(PresetControlTest, StoreButtonNeedsATick) {
    CPresetControl sheet(doc, link, sender);
    CStorePresets& page = sheet.storePage();
    EXPECT_FALSE(page.storeButton().isEnabled());
    page.list().item(4)->setCheckState(Qt::Checked);  // as the user's tick does
    EXPECT_TRUE(page.storeButton().isEnabled());
    page.clearAll();
    EXPECT_FALSE(page.storeButton().isEnabled());
    page.selectAll();
    EXPECT_EQ(page.selection(), kAllPresets);
}

TEST_F(PresetControlTest, StoringPositionsTwoAndFiveIdentifiesBeforeEach) {
    doc.setPresetOrder({9, 8, 7, 6, 5, 4, 3, 2, 1, 0});
    doc.setPresetName(7, u"Slot Seven");
    doc.selectPreset(4);
    doc.setModified(false);
    CPresetControl sheet(doc, link, sender);
    sheet.show();
    CStorePresets& page = sheet.storePage();
    EXPECT_EQ(page.list().item(2)->text(), QStringLiteral("P2 : Slot Seven"));
    page.setTicked(2, true);
    page.setTicked(5, true);
    QTest::mouseClick(&page.storeButton(), Qt::LeftButton);

    const auto frames = framesOfKind({SimFrameKind::Identify, SimFrameKind::Data});
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(frames[0].kind, SimFrameKind::Identify);
    EXPECT_EQ(frames[1].code, MsgPresetImage);
    EXPECT_EQ(frames[1].slot, 2);
    EXPECT_EQ(frames[2].kind, SimFrameKind::Identify);
    EXPECT_EQ(frames[3].code, MsgPresetImage);
    EXPECT_EQ(frames[3].slot, 5);
    EXPECT_EQ(sim.storedPresetName(2).substr(0, 10), "Slot Seven");  // built from presetOrder[2]
    EXPECT_EQ(page.lastProgress(), (QStringList{QStringLiteral("Sending Preset 2 Data"),
                                                QStringLiteral("Sending Preset 5 Data")}));
    EXPECT_EQ(doc.currentPreset(), 4);
    EXPECT_FALSE(link.online());  // the next edit sends nothing until "On Line"
    EXPECT_TRUE(link.portOpen());
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(sheet.findChild<CWait*>(), nullptr);  // the wait window is gone
}

TEST_F(PresetControlTest, RecallOfP0SendsPresetNumberOne) {
    CPresetControl sheet(doc, link, sender);
    sheet.show();
    CRecallPresets& page = sheet.recallPage();
    EXPECT_EQ(page.lastRecalled(), -1);
    EXPECT_EQ(page.button(0).text(), QStringLiteral("P0 : Preset 0"));
    EXPECT_EQ(page.button(9).text(), QStringLiteral("P9 : Preset 9"));
    QTest::mouseClick(&page.button(0), Qt::LeftButton);
    EXPECT_EQ(sim.recalledPreset(), 1);
    EXPECT_EQ(page.lastRecalled(), 0);
    EXPECT_FALSE(link.online());
    EXPECT_FALSE(doc.isModified());
}

TEST_F(PresetControlTest, DoubleClickOnARecallButtonRecallsAgain) {
    CPresetControl sheet(doc, link, sender);
    sheet.show();
    sheet.tabs().setCurrentIndex(1);
    CRecallPresets& page = sheet.recallPage();
    QAbstractButton& button = page.button(6);
    const QPoint at = button.rect().center();
    // The first click of the pair recalls, and so does the double-click itself.
    QTest::mouseClick(&button, Qt::LeftButton, {}, at);
    QTest::mouseDClick(&button, Qt::LeftButton, {}, at);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, at);  // the window system's closing release
    std::vector<int> recalled;
    for (const SimFrame& f : framesOfKind({SimFrameKind::Data}))
        if (f.code == MsgRecall) recalled.push_back(f.presetNumber);
    EXPECT_EQ(recalled, (std::vector<int>{7, 7}));
    EXPECT_EQ(page.lastRecalled(), 6);
}

TEST_F(PresetControlTest, RecallButtonsPaintBlueAndTheLastOneBright) {
    CPresetControl sheet(doc, link, sender);
    sheet.resize(520, 360);
    sheet.show();
    CRecallPresets& page = sheet.recallPage();
    sheet.tabs().setCurrentIndex(1);
    page.recall(3);
    const auto colourInside = [&](int position) {
        QAbstractButton& b = page.button(position);
        return b.grab().toImage().pixelColor(8, b.height() / 2);
    };
    EXPECT_EQ(colourInside(3), QColor(0, 0, 255));
    EXPECT_EQ(colourInside(4), QColor(0, 0, 128));
}

TEST_F(PresetControlTest, FailingToGoOnlineIsToldOnceAndSendsNothing) {
    link.setDevicePath("/nonexistent/korvaliser-tty");
    CPresetControl sheet(doc, link, sender);
    CStorePresets& page = sheet.storePage();
    page.selectAll();
    page.storeSelections();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith(QStringLiteral("Cannot Open this COM port !")));
    EXPECT_TRUE(page.lastProgress().isEmpty());
    EXPECT_EQ(sim.frameCount(), 0u);
}

TEST(Wait, ShowsTheTextOfThePresetBeingSent) {
    CWait wait;
    EXPECT_EQ(wait.windowTitle(), QStringLiteral("Please Wait"));
    wait.setText(QStringLiteral("Sending Preset 3 Data"));
    EXPECT_TRUE(wait.isVisible());
    EXPECT_EQ(wait.text(), QStringLiteral("Sending Preset 3 Data"));
    EXPECT_FALSE(wait.windowFlags().testFlag(Qt::WindowCloseButtonHint));
}

}  // namespace
}  // namespace kv
