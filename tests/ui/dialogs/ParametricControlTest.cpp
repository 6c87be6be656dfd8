#include "ui/dialogs/ParametricControl.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QTest>
#include <QWheelEvent>

#include <memory>
#include <string>
#include <vector>

#include "RecordingSender.h"
#include "document/ValueText.h"
#include "ui/DspWarningChecks.h"
#include "ui/ScrollBarClick.h"
#include "ui/widgets/DialogUnits.h"
#include "ui/widgets/ImageSlider.h"

namespace kv {
namespace {

using test::clickScrollBar;
using test::RecordingSender;
using test::SentMessage;

// The output page opens the dialog for output 1 (index 0) on a band; tests look at what
// the document holds and what it sent to the unit.
class ParametricControlTest : public ::testing::Test {
protected:
    ParametricControlTest() { doc.setSender(&sender); }

    void open(int band, bool showQ = true) {
        sender.sent.clear();
        dialog = std::make_unique<CParametricControl>(doc, kOutput, band, showQ);
        dialog->show();
        dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    }

    template <typename T>
    T* control(const char* name) {
        T* found = dialog->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    // Types into an edit as a user does and leaves it with Enter.
    void enter(const char* editName, const QString& text) {
        auto* edit = control<QLineEdit>(editName);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }

    static constexpr int kOutput = 0;
    CKorvaliserDoc doc;
    RecordingSender sender{/*isOnlineNow=*/true};
    std::unique_ptr<CParametricControl> dialog;
};

TEST_F(ParametricControlTest, FrequencyTextIsReadCommittedAndShownAgain) {
    const struct {
        const char* typed;
        int stored;
    } cases[] = {{"1k", 252},  {"20000", 408}, {"40k", 432}, {"0", 48},
                 {"1k5", 273}, {"2K", 288},    {"160", 157}};
    open(2);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        doc.setBandFrequency(kOutput, 2, 100);
        sender.sent.clear();
        enter("frequencyEdit", QString::fromLatin1(c.typed));
        EXPECT_EQ(doc.bandFrequency(kOutput, 2), c.stored);
        EXPECT_EQ(sender.sent, (std::vector<SentMessage>{{MsgPeqBand, 1, 3}}));
        EXPECT_EQ(control<QLineEdit>("frequencyEdit")->text().toStdString(), frequencyText(c.stored));
        EXPECT_EQ(control<QScrollBar>("frequencyBar")->value(), c.stored);
    }
}

TEST_F(ParametricControlTest, UnreadableTextChangesNothingAndShowsTheStoredValueAgain) {
    open(0);
    for (const char* edit : {"frequencyEdit", "gainEdit", "qEdit"}) {
        SCOPED_TRACE(edit);
        enter(edit, QStringLiteral("abc"));
        EXPECT_TRUE(sender.sent.empty());
        EXPECT_NE(control<QLineEdit>(edit)->text(), QStringLiteral("abc"));
    }
    EXPECT_EQ(doc.bandFrequency(kOutput, 0), 252);
    EXPECT_EQ(doc.bandGain(kOutput, 0), 0);
    EXPECT_EQ(doc.bandQ(kOutput, 0), 65);
    EXPECT_FALSE(doc.isModified());
}

TEST_F(ParametricControlTest, LeavingAnUntouchedFieldSendsNothing) {
    open(0);
    for (const char* edit : {"frequencyEdit", "gainEdit", "qEdit"}) {
        control<QLineEdit>(edit)->setFocus();
        QTest::keyClick(control<QLineEdit>(edit), Qt::Key_Return);
    }
    EXPECT_TRUE(sender.sent.empty());
}

TEST_F(ParametricControlTest, EnterMovesTheFocusOnInsteadOfClosing) {
    open(0);
    enter("frequencyEdit", QStringLiteral("2k"));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), control<QScrollBar>("frequencyBar"));
    EXPECT_EQ(doc.bandFrequency(kOutput, 0), 288);
}

TEST_F(ParametricControlTest, ClosingCommitsWhatWasTypedAndUndoesNothing) {
    open(0);
    auto* edit = control<QLineEdit>("gainEdit");
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("-6.5"));
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(doc.bandGain(kOutput, 0), -65);
}

TEST_F(ParametricControlTest, GainTextAndSliderAgree) {
    const struct {
        int type;
        const char* typed;
        int stored;
    } cases[] = {{0, "-4.5", -45}, {0, "20", 150},   {0, "-45", -300},
                 {0, "4000", 150}, {1, "-20", -150}, {2, "3", 30}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        doc.setBandType(kOutput, 1, c.type);
        open(1);
        enter("gainEdit", QString::fromLatin1(c.typed));
        EXPECT_EQ(doc.bandGain(kOutput, 1), c.stored);
        EXPECT_EQ(control<CImageSlider>("gainSlider")->pos(), 150 - c.stored);
        EXPECT_EQ(control<QLineEdit>("gainEdit")->text().toStdString(), bandGainText(c.stored, c.type));
    }
}

TEST_F(ParametricControlTest, SliderKeysSetTheGainAndHomeIsZeroDecibels) {
    doc.setBandGain(kOutput, 0, 60);
    open(0);
    auto* slider = control<CImageSlider>("gainSlider");
    EXPECT_EQ(slider->pos(), 90);
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_PageDown);
    QCoreApplication::processEvents();
    EXPECT_EQ(doc.bandGain(kOutput, 0), 50);
    EXPECT_EQ(sender.sent, (std::vector<SentMessage>{{MsgPeqBand, 1, 1}}));
    QTest::keyClick(slider, Qt::Key_Home);
    QCoreApplication::processEvents();
    EXPECT_EQ(doc.bandGain(kOutput, 0), 0);
    QTest::keyClick(slider, Qt::Key_End);
    QCoreApplication::processEvents();
    EXPECT_EQ(doc.bandGain(kOutput, 0), 0);
    EXPECT_EQ(slider->pos(), 150);

    // A shelf stops at -15 dB and the thumb goes back to where that gain sits.
    doc.setBandType(kOutput, 0, 1);
    doc.setBandGain(kOutput, 0, -150);
    dialog.reset();
    open(0);
    slider = control<CImageSlider>("gainSlider");
    EXPECT_EQ(slider->pos(), 300);
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_PageDown);
    QCoreApplication::processEvents();
    EXPECT_EQ(doc.bandGain(kOutput, 0), -150);
    EXPECT_EQ(slider->pos(), 300);
}

TEST_F(ParametricControlTest, SetZeroAndFixedRangesDisableTheirControls) {
    doc.setBandGain(kOutput, 0, -120);
    open(0);
    QTest::mouseClick(control<QPushButton>("setZeroButton"), Qt::LeftButton);
    EXPECT_EQ(doc.bandGain(kOutput, 0), 0);

    doc.setBandType(kOutput, 3, 11);  // Elliptic: gain 0..0, Q 72..72
    open(3);
    EXPECT_FALSE(control<CImageSlider>("gainSlider")->isSliderEnabled());
    EXPECT_FALSE(control<QLineEdit>("gainEdit")->isEnabled());
    EXPECT_FALSE(control<QPushButton>("setZeroButton")->isEnabled());
    EXPECT_FALSE(control<QLineEdit>("qEdit")->isEnabled());
    EXPECT_FALSE(control<QScrollBar>("qBar")->isEnabled());
    EXPECT_EQ(control<QLineEdit>("gainEdit")->text(), QStringLiteral("N/A"));
    EXPECT_EQ(control<QLineEdit>("qEdit")->text(), QStringLiteral("N/A"));
}

// A type without gain greys the slider out; the gain the band keeps for another type
// must survive a wheel turned over it.
TEST_F(ParametricControlTest, TheWheelOverAGreyedGainSliderChangesNothing) {
    doc.setBandGain(kOutput, 3, -45);
    doc.setBandType(kOutput, 3, 11);
    open(3);
    auto* slider = control<CImageSlider>("gainSlider");
    ASSERT_FALSE(slider->isSliderEnabled());
    const QPointF at(slider->width() / 2.0, slider->height() / 2.0);
    for (const int delta : {120, -360}) {
        QWheelEvent event(at, slider->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(slider, &event);
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(doc.bandGain(kOutput, 3), -45);
    EXPECT_TRUE(sender.sent.empty());
}

TEST_F(ParametricControlTest, QInQAndBandwidthModes) {
    const struct {
        bool showQ;
        const char* typed;
        int stored;
    } cases[] = {{true, "1", 84}, {true, "2", 72}, {true, "0.1", 100}, {false, "1", 84}, {false, "0.5", 72}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.showQ ? "Q " : "BW ") + c.typed);
        open(0, c.showQ);
        EXPECT_EQ(control<QGroupBox>("qGroup")->title(),
                  c.showQ ? QStringLiteral("Q") : QStringLiteral("BandWd"));
        enter("qEdit", QString::fromLatin1(c.typed));
        EXPECT_EQ(doc.bandQ(kOutput, 0), c.stored);
        EXPECT_EQ(control<QLineEdit>("qEdit")->text().toStdString(), bandWidthText(c.stored, 0, c.showQ));
    }
}

TEST_F(ParametricControlTest, PhaseIsEnteredInDegrees) {
    doc.setBandType(kOutput, 4, 8);
    open(4);
    enter("qEdit", QStringLiteral("90"));
    EXPECT_EQ(doc.bandQ(kOutput, 4), 45);
    EXPECT_EQ(control<QLineEdit>("qEdit")->text(), QString::fromUtf8("90°"));
    enter("qEdit", QStringLiteral("200"));
    EXPECT_EQ(doc.bandQ(kOutput, 4), 89);
    EXPECT_EQ(control<QScrollBar>("qBar")->value(), 89);  // not reversed for Phase
    EXPECT_EQ(control<QLabel>("lowLabel")->text().toStdString(), frequencyText(78));
    EXPECT_EQ(control<QLabel>("highLabel")->text().toStdString(), frequencyText(396));
}

TEST_F(ParametricControlTest, ScrollBarsStepAndTheQBarRunsReversed) {
    open(0);  // PEQ, frequency 252, Q 65
    auto* frequencyBar = control<QScrollBar>("frequencyBar");
    clickScrollBar(frequencyBar, QStyle::SC_ScrollBarAddLine);
    EXPECT_EQ(doc.bandFrequency(kOutput, 0), 253);
    clickScrollBar(frequencyBar, QStyle::SC_ScrollBarSubLine);
    clickScrollBar(frequencyBar, QStyle::SC_ScrollBarSubLine);
    EXPECT_EQ(doc.bandFrequency(kOutput, 0), 251);
    clickScrollBar(frequencyBar, QStyle::SC_ScrollBarAddPage);
    EXPECT_EQ(doc.bandFrequency(kOutput, 0), 287);
    EXPECT_EQ(control<QLineEdit>("frequencyEdit")->text().toStdString(), frequencyText(287));

    auto* qBar = control<QScrollBar>("qBar");
    EXPECT_EQ(qBar->value(), 100 - 65);
    clickScrollBar(qBar, QStyle::SC_ScrollBarAddLine);
    EXPECT_EQ(doc.bandQ(kOutput, 0), 64);  // right raises the Q
    clickScrollBar(qBar, QStyle::SC_ScrollBarSubPage);
    EXPECT_EQ(doc.bandQ(kOutput, 0), 74);
    EXPECT_EQ(qBar->value(), 100 - 74);
    EXPECT_EQ(control<QLineEdit>("qEdit")->text().toStdString(), bandWidthText(74, 0, true));
}

TEST_F(ParametricControlTest, TypeChangesOnlyWhileFlatAndSetsTheTypesQ) {
    open(0);
    auto* combo = control<QComboBox>("typeCombo");
    auto* flat = control<QCheckBox>("flatCheck");
    EXPECT_FALSE(combo->isEnabled());
    EXPECT_EQ(combo->palette().color(QPalette::Disabled, QPalette::ButtonText),
              combo->palette().color(QPalette::Active, QPalette::ButtonText))
        << "the stored type stays legible while the list is locked";
    EXPECT_TRUE(control<QLabel>("flatHint")->isEnabled());
    EXPECT_EQ(combo->count(), 11);
    EXPECT_EQ(combo->findText(QStringLiteral("HighPass")), -1);

    // Should a choice arrive while the band is active, nothing is written and the list
    // shows the stored type again.
    combo->setCurrentIndex(1);
    emit combo->activated(1);
    EXPECT_EQ(doc.bandType(kOutput, 0), 0);
    EXPECT_EQ(combo->currentText(), QStringLiteral("PEQ"));
    EXPECT_TRUE(sender.sent.empty());

    QTest::mouseClick(flat, Qt::LeftButton);
    EXPECT_TRUE(doc.bandFlat(kOutput, 0));
    EXPECT_TRUE(combo->isEnabled());
    EXPECT_FALSE(control<QLabel>("flatHint")->isEnabled());
    sender.sent.clear();
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);  // PEQ -> Low Shelf
    EXPECT_EQ(doc.bandType(kOutput, 0), 1);
    EXPECT_EQ(doc.bandQ(kOutput, 0), 90);
    EXPECT_EQ(sender.sent, (std::vector<SentMessage>{{MsgPeqBand, 1, 1}, {MsgPeqBand, 1, 1}}));
    EXPECT_EQ(control<QLabel>("lowLabel")->text().toStdString(), frequencyText(48));
    EXPECT_EQ(control<QLabel>("highLabel")->text().toStdString(), frequencyText(396));

    QTest::keyClick(combo, Qt::Key_Up);  // back to PEQ: Q 65
    EXPECT_EQ(doc.bandType(kOutput, 0), 0);
    EXPECT_EQ(doc.bandQ(kOutput, 0), 65);
    combo->setCurrentIndex(combo->findData(7));
    emit combo->activated(combo->findData(7));  // Notch keeps its Q
    EXPECT_EQ(doc.bandType(kOutput, 0), 7);
    EXPECT_EQ(doc.bandQ(kOutput, 0), 65);
}

TEST_F(ParametricControlTest, UpAndDnStepThroughTheBandsWithoutTouchingTheDocument) {
    doc.setBandFrequency(kOutput, 7, 300);
    doc.setModified(false);
    open(0);
    auto* down = control<QPushButton>("downButton");
    auto* up = control<QPushButton>("upButton");
    EXPECT_FALSE(down->isEnabled());
    EXPECT_TRUE(up->isEnabled());
    for (int i = 0; i < 7; ++i) QTest::mouseClick(up, Qt::LeftButton);
    EXPECT_EQ(dialog->band(), 7);
    EXPECT_FALSE(up->isEnabled());
    EXPECT_TRUE(down->isEnabled());
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("PEQ 8 filter settings"));
    EXPECT_EQ(control<QLabel>("bandLabel")->text(), QStringLiteral("PEQ 8"));
    EXPECT_EQ(control<QLineEdit>("frequencyEdit")->text().toStdString(), frequencyText(300));
    QTest::mouseClick(down, Qt::LeftButton);
    EXPECT_EQ(dialog->band(), 6);
    EXPECT_TRUE(sender.sent.empty());
    EXPECT_FALSE(doc.isModified());
}

TEST_F(ParametricControlTest, DoneClosesTheDialog) {
    open(2);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("PEQ 3 filter settings"));
    QTest::mouseClick(control<QPushButton>("doneButton"), Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
}

// A narrow boost at 20 Hz is where rounding the words to 5.23 moves a band audibly; the
// line says so for the band on show and follows it through edits and band steps.
TEST_F(ParametricControlTest, TheDspWarningFollowsTheBandOnShow) {
    doc.setBandFrequencyAndGain(kOutput, 2, 48, 150);
    doc.setBandQ(kOutput, 2, 20);
    open(2);
    auto* warning = control<QLabel>("dspWarning");
    EXPECT_GT(test::warnedDecibels(*warning), 1.0);
    test::expectWarningFitsAFreePlace(*dialog, *warning);
    EXPECT_EQ(dialog->size(), dialogSize(289, 217));  // the template's own size

    QTest::mouseClick(control<QPushButton>("downButton"), Qt::LeftButton);
    EXPECT_FALSE(warning->isVisible());  // a new bank's band: nothing to warn about
    QTest::mouseClick(control<QPushButton>("upButton"), Qt::LeftButton);
    EXPECT_TRUE(warning->isVisible());
    enter("gainEdit", QStringLiteral("0"));
    ASSERT_EQ(doc.bandGain(kOutput, 2), 0);
    EXPECT_FALSE(warning->isVisible());
}

}  // namespace
}  // namespace kv
