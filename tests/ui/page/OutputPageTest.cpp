#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <functional>

#include "PageTestSupport.h"
#include "document/ValueText.h"
#include "response/CurveSlots.h"
#include "ui/dialogs/FilterSlope.h"
#include "ui/dialogs/ParametricControl.h"
#include "ui/page/PageButton.h"
#include "ui/widgets/ImageSlider.h"

namespace kv::test {
namespace {

class OutputPageTest : public SheetFixture {
protected:
    void SetUp() override {
        // Distinct bands, so each row's texts tell which band it shows.
        for (int b = 0; b < doc.activeBandCount(); ++b)
            doc.setBandFrequencyAndGain(0, b, 100 + 30 * b, 10 * b);
        openSheet();
    }
    template <typename T>
    T* control(const QString& name, int output = 0) {
        return findIn<T>(page(output), name);
    }
    // Types text into an edit as a user would: focus, select all, type.
    void typeInto(QLineEdit* edit, const QString& text) {
        edit->setFocus(Qt::MouseFocusReason);
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    std::vector<std::string> rowLabels() {
        std::vector<std::string> labels;
        for (int r = 0; r < kVisibleRows; ++r)
            labels.push_back(control<QLabel>(QStringLiteral("bandNumber%1").arg(r))->text().toStdString());
        return labels;
    }
};

TEST_F(OutputPageTest, ScrollingShowsBandsFourToEight) {
    auto* scroll = control<QScrollBar>(QStringLiteral("bandScrollBar"));
    EXPECT_EQ(scroll->minimum(), 0);
    EXPECT_EQ(scroll->maximum(), 3);
    EXPECT_TRUE(scroll->isVisible());
    EXPECT_EQ(rowLabels(), (std::vector<std::string>{"1", "2", "3", "4", "5"}));

    QTest::keyClick(scroll, Qt::Key_End);
    EXPECT_EQ(page()->pageState().firstVisibleBand, 3);
    EXPECT_EQ(rowLabels(), (std::vector<std::string>{"4", "5", "6", "7", "8"}));
    for (int r = 0; r < kVisibleRows; ++r) {
        const int band = 3 + r;
        EXPECT_EQ(control<PageButton>(QStringLiteral("bandFrequency%1").arg(r))->text().toStdString(),
                  frequencyText(doc.bandFrequency(0, band)));
        EXPECT_EQ(control<PageButton>(QStringLiteral("bandGain%1").arg(r))->text().toStdString(),
                  bandGainText(doc.bandGain(0, band), 0));
    }
    QTest::keyClick(scroll, Qt::Key_Up);
    EXPECT_EQ(rowLabels(), (std::vector<std::string>{"3", "4", "5", "6", "7"}));
}

TEST_F(OutputPageTest, RowScrollBarRangeFollowsTheBandsInUse) {
    struct Case {
        int bands;
        bool visible;
        int maximum;
    };
    for (const Case& c : {Case{5, false, 0}, Case{6, true, 1}, Case{8, true, 3}}) {
        sheet.reset();
        doc.setActiveBandCount(c.bands);
        openSheet();
        auto* scroll = control<QScrollBar>(QStringLiteral("bandScrollBar"));
        EXPECT_EQ(scroll->isVisible(), c.visible) << c.bands << " bands";
        EXPECT_EQ(scroll->maximum(), c.maximum) << c.bands << " bands";
    }
}

TEST_F(OutputPageTest, ClickingARowButtonLightsThatRowOnly) {
    QTest::mouseClick(control<PageButton>(QStringLiteral("bandFrequency1")), Qt::LeftButton);
    EXPECT_EQ(page()->pageState().selectedElement, bandElement(1));
    for (int r = 0; r < kVisibleRows; ++r) {
        for (const char* column : {"bandFrequency", "bandQ", "bandGain", "bandType"}) {
            auto* button = control<PageButton>(QString::fromLatin1(column) + QString::number(r));
            EXPECT_EQ(button->isLit(), r == 1) << column << r;
            EXPECT_EQ(button->textColour(),
                      r == 1 ? QColor(255, 0, 0) : button->palette().color(QPalette::ButtonText));
        }
    }
    // Scrolling band 2 out of the rows leaves no row lit.
    control<QScrollBar>(QStringLiteral("bandScrollBar"))->setValue(3);
    for (int r = 0; r < kVisibleRows; ++r)
        EXPECT_FALSE(control<PageButton>(QStringLiteral("bandGain%1").arg(r))->isLit()) << r;
}

TEST_F(OutputPageTest, GainTextCommitsWhenTheFocusLeaves) {
    struct Case {
        QString typed;
        int output;
        bool byEnter;
        int storedCode;
    };
    const std::vector<Case> cases = {
        {"3", 0, true, 120},    {"1.25", 1, false, 138}, {"-30.1", 0, false, 450},
        {"-30", 1, true, 450},  {"+12.5", 0, true, 30},  {"20", 1, true, 30},
        {"-45", 0, false, 450}, {"-6", 0, true, 210},    {"rubbish", 0, true, 210},
    };
    for (const Case& c : cases) {
        const QString n = QString::number(c.output + 1);
        auto* edit = control<QLineEdit>(QStringLiteral("gainEdit") + n);
        auto* slider = control<CImageSlider>(QStringLiteral("gainSlider") + n);
        typeInto(edit, c.typed);
        if (c.byEnter) {
            QTest::keyClick(edit, Qt::Key_Return);
            EXPECT_TRUE(slider->hasFocus()) << "Enter moves on to the output's slider";
        } else {
            control<QLineEdit>(QStringLiteral("delayEdit"))->setFocus(Qt::TabFocusReason);
        }
        EXPECT_EQ(doc.gain(c.output), c.storedCode) << c.typed.toStdString();
        EXPECT_EQ(slider->pos(), c.storedCode - 30) << c.typed.toStdString();
        EXPECT_EQ(edit->text().toStdString(), outputGainText(c.storedCode)) << c.typed.toStdString();
    }
    // The other page shows both outputs' gains once it becomes the current page.
    sheet->tabs()->setCurrentIndex(1);
    for (int o = 0; o < 2; ++o) {
        EXPECT_EQ(findIn<QLineEdit>(page(1), QStringLiteral("gainEdit%1").arg(o + 1))->text().toStdString(),
                  outputGainText(doc.gain(o)));
    }
}

TEST_F(OutputPageTest, SwitchingPagesCommitsATypedGainAndTheOtherPageShowsIt) {
    auto* edit = control<QLineEdit>(QStringLiteral("gainEdit2"));
    typeInto(edit, QStringLiteral("-7.5"));
    QTest::mouseClick(sheet->tabs()->tabBar(), Qt::LeftButton, Qt::NoModifier,
                      sheet->tabs()->tabBar()->tabRect(1).center());
    ASSERT_EQ(sheet->tabs()->currentIndex(), 1);
    EXPECT_EQ(doc.gain(1), 225);
    EXPECT_EQ(findIn<QLineEdit>(page(1), QStringLiteral("gainEdit2"))->text().toStdString(),
              outputGainText(225));
    EXPECT_EQ(findIn<CImageSlider>(page(1), QStringLiteral("gainSlider2"))->pos(), 225 - 30);
}

TEST_F(OutputPageTest, FocusLeavingAnUntouchedEditWritesNothing) {
    doc.setModified(false);
    auto* edit = control<QLineEdit>(QStringLiteral("gainEdit1"));
    edit->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(edit, Qt::Key_Return);
    auto* delay = control<QLineEdit>(QStringLiteral("delayEdit"));
    delay->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(delay, Qt::Key_Return);
    EXPECT_FALSE(doc.isModified());
}

TEST_F(OutputPageTest, DelayTextCommitsAndLimitsAgainstTheOtherOutput) {
    struct Case {
        int otherDelay;
        QString typed;
        int stored;
    };
    const std::vector<Case> cases = {
        {0, "21.3", 2038}, {0, "1", 96}, {1000, "21.3", 1038}, {0, "-4", 0}, {0, "x", 0}, {0, "0.5 mS", 48},
    };
    auto* edit = control<QLineEdit>(QStringLiteral("delayEdit"));
    auto* trackbar = control<QSlider>(QStringLiteral("delayTrackbar"));
    for (const Case& c : cases) {
        doc.setDelay(0, 0);
        doc.setDelay(1, c.otherDelay);
        page()->refreshAllControls();
        typeInto(edit, c.typed);
        QTest::keyClick(edit, Qt::Key_Enter);
        EXPECT_TRUE(trackbar->hasFocus());
        EXPECT_EQ(doc.delay(0), c.stored) << c.typed.toStdString();
        EXPECT_EQ(trackbar->value(), c.stored);
        EXPECT_EQ(edit->text().toStdString(), delayText(c.stored));
    }
    EXPECT_EQ(delayText(2038), "21.2292 mS");
}

TEST_F(OutputPageTest, DelayTrackbarStepsFromTheStoredDelay) {
    auto* trackbar = control<QSlider>(QStringLiteral("delayTrackbar"));
    struct Case {
        int start, other;
        Qt::Key key;
        int stored;
    };
    const std::vector<Case> cases = {
        {2030, 0, Qt::Key_PageDown, 2038},  // asks for 2040
        {2030, 5, Qt::Key_PageDown, 2033},  // 2038 minus the other output's 5
        {100, 0, Qt::Key_PageUp, 90},      {5, 0, Qt::Key_PageUp, 0},   {100, 0, Qt::Key_Right, 101},
        {100, 0, Qt::Key_Left, 99},        {0, 0, Qt::Key_Left, 0},     {100, 0, Qt::Key_Home, 100},
        {100, 0, Qt::Key_End, 100},        {100, 0, Qt::Key_Down, 101}, {100, 0, Qt::Key_Up, 99},
    };
    for (const Case& c : cases) {
        doc.setDelay(1, 0);
        doc.setDelay(0, c.start);
        doc.setDelay(1, c.other);
        page()->refreshAllControls();
        trackbar->setFocus();
        QTest::keyClick(trackbar, c.key);
        EXPECT_EQ(doc.delay(0), c.stored) << c.start << " key " << c.key;
        EXPECT_EQ(trackbar->value(), c.stored) << c.start << " key " << c.key;
        EXPECT_EQ(control<QLineEdit>(QStringLiteral("delayEdit"))->text().toStdString(), delayText(c.stored));
    }
}

TEST_F(OutputPageTest, MuteAndPolarityToggleOnClickAndTwiceOnDoubleClick) {
    for (int o = 0; o < 2; ++o) {
        const QString n = QString::number(o + 1);
        auto* mute = control<PageButton>(QStringLiteral("muteButton") + n);
        auto* polarity = control<PageButton>(QStringLiteral("polarityButton") + n);
        EXPECT_EQ(mute->text(), QStringLiteral("Mute"));
        EXPECT_EQ(polarity->text(), QString::fromUtf8("\u00D8 180\u00B0"));

        QTest::mouseClick(mute, Qt::LeftButton);
        EXPECT_TRUE(doc.mute(o));
        EXPECT_TRUE(mute->isLit());
        EXPECT_EQ(mute->backgroundColour(), QColor(255, 0, 0));
        QTest::mouseDClick(mute, Qt::LeftButton);
        EXPECT_TRUE(doc.mute(o)) << "a double-click toggles twice";
        QTest::mouseClick(mute, Qt::LeftButton);
        EXPECT_FALSE(doc.mute(o));
        EXPECT_EQ(mute->backgroundColour(), QColor(128, 0, 0));

        QTest::mouseClick(polarity, Qt::LeftButton);
        EXPECT_TRUE(doc.invert(o));
        EXPECT_EQ(polarity->backgroundColour(), QColor(255, 225, 87));
        QTest::mouseDClick(polarity, Qt::LeftButton);
        EXPECT_TRUE(doc.invert(o));
        QTest::mouseClick(polarity, Qt::LeftButton);
        EXPECT_FALSE(doc.invert(o));
        EXPECT_EQ(polarity->backgroundColour(), QColor(127, 103, 1));
        EXPECT_FALSE(doc.mute(1 - o)) << "each button acts on its own output";
    }
}

TEST_F(OutputPageTest, GainSliderWritesTheGainAndShowsIt) {
    auto* slider = control<CImageSlider>(QStringLiteral("gainSlider2"));
    auto* edit = control<QLineEdit>(QStringLiteral("gainEdit2"));
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Home);  // home: 0 dB
    QTRY_COMPARE(doc.gain(1), 150);
    EXPECT_EQ(edit->text().toStdString(), outputGainText(150));
    QTest::keyClick(slider, Qt::Key_PageDown);
    QTRY_COMPARE(doc.gain(1), 160);
    doc.setGain(1, 31);
    page()->refreshAllControls();
    QTest::keyClick(slider, Qt::Key_Up);
    QTest::keyClick(slider, Qt::Key_Up);
    QTRY_COMPARE(doc.gain(1), 30);
    EXPECT_EQ(slider->pos(), 0) << "the slider returns to the stored gain";
}

TEST_F(OutputPageTest, LimiterLevelIsEditableAttackAndReleaseFollowTheBank) {
    auto* level = control<QComboBox>(QStringLiteral("limiterLevel"));
    auto* attack = control<QComboBox>(QStringLiteral("limiterAttack"));
    auto* release = control<QComboBox>(QStringLiteral("limiterRelease"));
    ASSERT_EQ(level->count(), 21);
    EXPECT_EQ(level->itemText(0), QStringLiteral(" +0dB"));
    EXPECT_EQ(level->itemText(20), QStringLiteral(" -20dB"));
    EXPECT_EQ(attack->count(), 20);
    EXPECT_EQ(release->itemText(3), QStringLiteral("Atk x16"));
    EXPECT_FALSE(attack->isEnabled());
    EXPECT_FALSE(release->isEnabled());

    level->setFocus();
    QTest::keyClick(level, Qt::Key_Down);
    QTest::keyClick(level, Qt::Key_Down);
    EXPECT_EQ(doc.limiterLevel(0), 2);
    EXPECT_EQ(attack->currentIndex(), doc.limiterAttack(0));
    EXPECT_EQ(release->currentIndex(), 3);
}

TEST_F(OutputPageTest, ShownBoxHidesTheBandAndFlatBoxSetsFlat) {
    auto* shown = control<QToolButton>(QStringLiteral("bandShown2"));
    EXPECT_TRUE(shown->isChecked());
    EXPECT_FALSE(shown->icon().isNull()) << "bands 1..8 carry their icon";
    QTest::mouseClick(shown, Qt::LeftButton);
    EXPECT_FALSE(page()->pageState().bandShown[2]);

    auto* flat = control<QCheckBox>(QStringLiteral("bandFlat4"));
    QTest::mouseClick(flat, Qt::LeftButton);
    EXPECT_TRUE(doc.bandFlat(0, 4));
    EXPECT_EQ(curves.state(CurveSlots::band(4)), CurveState::Valid) << "recomputed by the redraw";
}

TEST_F(OutputPageTest, LabelsAndTemperatureColours) {
    for (const char* name :
         {"frequencyHeader", "qHeader", "outputCaption1", "temperatureLabel", "bandNumber0"}) {
        auto* label = control<QLabel>(QString::fromLatin1(name));
        EXPECT_EQ(label->palette().color(QPalette::Window), QColor(21, 141, 243)) << name;
        EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(Qt::white)) << name;
    }
    auto* text = control<QLabel>(QStringLiteral("temperatureText"));
    auto* status = control<QLabel>(QStringLiteral("temperatureStatus"));
    EXPECT_EQ(text->text(), QString::fromUtf8("---\u00B0C"));
    EXPECT_EQ(status->text(), QStringLiteral("xxxx"));
    EXPECT_EQ(status->palette().color(QPalette::Window), QColor(192, 192, 192));
    EXPECT_EQ(control<QLabel>(QStringLiteral("qHeader"))->text(), QStringLiteral("Q"));
}

// While the modal dialog that a click opens is up: check it, change the bank behind it as
// the dialog would, and close it.
template <typename Dialog>
void whileModal(const std::function<void(Dialog*)>& inside) {
    QTimer::singleShot(0, [inside] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        EXPECT_NE(dialog, nullptr) << "no dialog opened";
        if (dialog == nullptr) return;
        inside(dialog);
        dialog->accept();
    });
}

TEST_F(OutputPageTest, BandDialogOpensForTheRowsBandAndTheRowsFollowIt) {
    control<QScrollBar>(QStringLiteral("bandScrollBar"))->setValue(3);
    int openedFor = -1;
    whileModal<CParametricControl>([&](CParametricControl* dialog) {
        openedFor = dialog->band();
        doc.setBandFrequencyAndGain(0, 5, 300, -45);
    });
    QTest::mouseDClick(control<PageButton>(QStringLiteral("bandGain2")), Qt::LeftButton);
    EXPECT_EQ(openedFor, 5) << "row 2 shows band 6 after scrolling to 3";
    EXPECT_EQ(control<PageButton>(QStringLiteral("bandFrequency2"))->text().toStdString(),
              frequencyText(300));
    EXPECT_EQ(control<PageButton>(QStringLiteral("bandGain2"))->text().toStdString(), bandGainText(-45, 0));
    EXPECT_EQ(curves.state(CurveSlots::band(5)), CurveState::Valid) << "recomputed by the redraw";
}

TEST_F(OutputPageTest, CrossoverButtonsSelectTheFilterAndShowItAfterTheDialog) {
    struct Case {
        const char* button;
        SelectedElement target;
    };
    for (const Case& c : {Case{"highPassButton", SelectedElement::HighPass},
                          Case{"lowPassButton", SelectedElement::LowPass}}) {
        whileModal<CFilterSlope>([&](CFilterSlope*) {
            EXPECT_EQ(page()->pageState().selectedElement, c.target) << c.button;
            doc.setHighPassFrequency(0, 60);
            doc.setLowPassFrequency(0, 400);
        });
        QTest::mouseClick(control<PageButton>(QString::fromLatin1(c.button)), Qt::LeftButton);
        const bool high = c.target == SelectedElement::HighPass;
        const int frequency = high ? doc.highPassFrequency(0) : doc.lowPassFrequency(0);
        const int slope = high ? doc.highPassSlope(0) : doc.lowPassSlope(0);
        EXPECT_EQ(control<PageButton>(QString::fromLatin1(c.button))->text().toStdString(),
                  frequencyText(frequency) + "  " + slopeText(slope))
            << c.button;
    }
}

TEST_F(OutputPageTest, BandwidthDisplayNamesTheColumnAndShowsWidths) {
    sheet.reset();
    context.display.showQ = false;
    doc.setBandQ(0, 1, 72);
    openSheet();
    EXPECT_EQ(control<QLabel>(QStringLiteral("qHeader"))->text(), QStringLiteral("BandWd"));
    EXPECT_EQ(control<PageButton>(QStringLiteral("bandQ1"))->text().toStdString(),
              bandWidthText(72, 0, false));
    EXPECT_NE(bandWidthText(72, 0, false), bandWidthText(72, 0, true));
}

TEST_F(OutputPageTest, TabGoesThroughCrossoversRowsLimiterAndBothOutputs) {
    std::vector<std::string> expected{"highPassButton", "lowPassButton", "delayEdit", "delayTrackbar"};
    for (int r = 0; r < kVisibleRows; ++r) {
        for (const char* column : {"bandShown", "bandFrequency", "bandQ", "bandGain", "bandType", "bandFlat"})
            expected.push_back(column + std::to_string(r));
    }
    for (const char* name : {"limiterLevel", "limiterAttack", "limiterRelease"}) expected.emplace_back(name);
    for (const char* n : {"1", "2"}) {
        for (const char* name : {"gainEdit", "gainSlider", "muteButton", "polarityButton"})
            expected.push_back(std::string(name) + n);
    }
    std::vector<std::string> order;
    for (QWidget* w = page()->nextInFocusChain(); w != page(); w = w->nextInFocusChain()) {
        if (page()->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) != 0)
            order.push_back(w->objectName().toStdString());
    }
    EXPECT_EQ(order, expected);
}

TEST_F(OutputPageTest, PollingRunsOnlyOnTheActivePage) {
    EXPECT_TRUE(page(0)->isPolling());
    EXPECT_EQ(page(0)->pollInterval(), 500);
    EXPECT_FALSE(page(1)->isPolling());
    QTRY_COMPARE_WITH_TIMEOUT(page(0)->pollInterval(), 15, 2000);
    sheet->tabs()->setCurrentIndex(1);
    EXPECT_FALSE(page(0)->isPolling());
    EXPECT_TRUE(page(1)->isPolling());
    EXPECT_EQ(page(1)->pollInterval(), 500);
    EXPECT_EQ(page(0)->meterValue(0), 60) << "no reading offline: the meters keep their values";
}

}  // namespace
}  // namespace kv::test
