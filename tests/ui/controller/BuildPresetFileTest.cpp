#include <gtest/gtest.h>

#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTemporaryDir>
#include <QTest>

#include "document/KorvaliserDoc.h"
#include "ui/Prompts.h"
#include "ui/controller/BuildPresetFile.h"

namespace kv {
namespace {

class BuildPresetFileTest : public ::testing::Test {
protected:
    BuildPresetFileTest() {
        prompts.saveFile = [this](const QString&, const QString& proposed, const QString& filter) {
            proposals.append(proposed);
            filters.append(filter);
            return answer;
        };
        prompts.message = [this](QMessageBox::Icon, const QString&, const QString& text,
                                 QMessageBox::StandardButtons) {
            messages.append(text);
            return QMessageBox::Ok;
        };
    }

    QByteArray readFile(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    CKorvaliserDoc doc;
    Prompts prompts;
    QString answer;
    QStringList proposals, filters, messages;
};

TEST_F(BuildPresetFileTest, StartsUntickedWithTheBuildButtonDisabled) {
    CBuildPresetFile dialog(doc, prompts);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Select Presets for Build File"));
    ASSERT_EQ(dialog.list().count(), kPresetCount);
    for (int p = 0; p < kPresetCount; ++p) {
        EXPECT_EQ(dialog.list().item(p)->text(), QStringLiteral("P%1 : Preset %1").arg(p));
        EXPECT_EQ(dialog.list().item(p)->checkState(), Qt::Unchecked);
    }
    EXPECT_FALSE(dialog.buildButton().isEnabled());
    dialog.selectAll();
    EXPECT_TRUE(dialog.buildButton().isEnabled());
    EXPECT_EQ(dialog.selection(), 0x03FF);
    dialog.clearAll();
    EXPECT_FALSE(dialog.buildButton().isEnabled());
    dialog.setTicked(6, true);  // a tick of the user's also updates the button
    EXPECT_TRUE(dialog.buildButton().isEnabled());
}

TEST_F(BuildPresetFileTest, UserTicksWithTheMouseAndTheKeyboard) {
    CBuildPresetFile dialog(doc, prompts);
    dialog.resize(420, 360);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QListWidget& list = dialog.list();
    // A click on the tick box of item 3.
    const QRect row = list.visualItemRect(list.item(3));
    QStyleOptionViewItem option;
    option.initFrom(&list);
    option.rect = row;
    option.features |= QStyleOptionViewItem::HasCheckIndicator;
    const QRect box = list.style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, &list);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, box.center());
    EXPECT_EQ(dialog.selection(), 0x0008);
    EXPECT_TRUE(dialog.buildButton().isEnabled());
    // The space bar ticks the entry that has the keyboard, and unticks it again.
    list.setFocus();
    list.setCurrentRow(5);
    QTest::keyClick(&list, Qt::Key_Space);
    EXPECT_EQ(dialog.selection(), 0x0028);
    QTest::keyClick(&list, Qt::Key_Space);
    EXPECT_EQ(dialog.selection(), 0x0008);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, box.center());
    EXPECT_EQ(dialog.selection(), 0);
    EXPECT_FALSE(dialog.buildButton().isEnabled());
}

TEST_F(BuildPresetFileTest, TheTickBoxesOfNeighbouringRowsDoNotTouch) {
    CBuildPresetFile dialog(doc, prompts);
    dialog.resize(420, 360);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    const QListWidget& list = dialog.list();
    for (int p = 1; p < kPresetCount; ++p) {
        const int gap =
            list.visualItemRect(list.item(p)).top() - list.visualItemRect(list.item(p - 1)).bottom() - 1;
        EXPECT_GE(gap, 2) << "between rows " << p - 1 << " and " << p;
    }
}

TEST_F(BuildPresetFileTest, OnePresetMakesA781ByteFileAndCloses) {
    doc.selectPreset(7);
    CBuildPresetFile dialog(doc, prompts);
    dialog.show();
    dialog.setTicked(3, true);
    answer = dir.filePath(QStringLiteral("one"));
    QTest::mouseClick(&dialog.buildButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(proposals, QStringList{QStringLiteral("Preset_0001.bin")});
    EXPECT_EQ(filters, QStringList{QStringLiteral("Binaries (*.bin)")});
    const QByteArray bytes = readFile(dir.filePath(QStringLiteral("one.bin")));
    ASSERT_EQ(bytes.size(), 781);
    EXPECT_EQ(static_cast<unsigned char>(bytes[16]), 0x08);
    EXPECT_EQ(static_cast<unsigned char>(bytes[17]), 0x00);
    EXPECT_EQ(bytes.mid(8, 4), QByteArray("QKA4"));
    EXPECT_EQ(bytes.right(8), QByteArray(8, '\xFF'));
    EXPECT_EQ(doc.currentPreset(), 7);
}

TEST_F(BuildPresetFileTest, AllPresetsMakeA7450ByteFile) {
    doc.setUnitType(kUnitKV520);
    CBuildPresetFile dialog(doc, prompts);
    dialog.selectAll();
    answer = dir.filePath(QStringLiteral("all.bin"));
    ASSERT_TRUE(dialog.build());
    const QByteArray bytes = readFile(answer);
    ASSERT_EQ(bytes.size(), 7450);
    EXPECT_EQ(static_cast<unsigned char>(bytes[16]), 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(bytes[17]), 0x03);
    EXPECT_EQ(bytes.mid(8, 4), QByteArray("QKA6"));
    EXPECT_EQ(static_cast<unsigned char>(bytes[12]), 0x32);
}

TEST_F(BuildPresetFileTest, CancelledFileDialogKeepsTheSelectionOpen) {
    CBuildPresetFile dialog(doc, prompts);
    dialog.show();
    dialog.setTicked(1, true);
    answer.clear();
    QTest::mouseClick(&dialog.buildButton(), Qt::LeftButton);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.selection(), 0x0002);
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(BuildPresetFileTest, UnwritableFileIsReportedAndKeepsTheDialogOpen) {
    CBuildPresetFile dialog(doc, prompts);
    dialog.show();
    dialog.setTicked(0, true);
    answer = dir.filePath(QStringLiteral("no/such/folder/out.bin"));
    QTest::mouseClick(&dialog.buildButton(), Qt::LeftButton);
    EXPECT_TRUE(dialog.isVisible());
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("out.bin")));
}

TEST_F(BuildPresetFileTest, ItemsFollowTheTreeOrder) {
    doc.setPresetOrder({4, 0, 1, 2, 3, 5, 6, 7, 8, 9});
    doc.setPresetName(4, u"Front Fill");
    CBuildPresetFile dialog(doc, prompts);
    EXPECT_EQ(dialog.list().item(0)->text(), QStringLiteral("P0 : Front Fill"));
    EXPECT_EQ(dialog.list().item(1)->text(), QStringLiteral("P1 : Preset 0"));
}

}  // namespace
}  // namespace kv
