// The tuning dialogs, driven as the user drives them: a measurement that cannot be read
// keeps the dialog open with its lines named, and auto-EQ changes the bank only on OK,
// as one undoable step that reaches the unit. From the output page's menu, a loaded
// measurement appears on the graph and the page follows an auto-EQ and its undo.

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <functional>

#include "PageTestSupport.h"
#include "RecordingSender.h"
#include "measurement/tuning/BankTuning.h"
#include "ui/graph/ResponseGraph.h"
#include "ui/graph/tuning/TuningOverlay.h"
#include "ui/tuning/AutoEqDialog.h"
#include "ui/tuning/LoadMeasurementDialog.h"
#include "ui/tuning/TuningCommands.h"

namespace kv::test {
namespace {

// A loudspeaker 6 dB too loud around 1 kHz and 4 dB short around 150 Hz.
std::vector<FrequencyPoint> bumpyMeasurement() {
    std::vector<FrequencyPoint> points;
    for (int i = 0; i <= 200; ++i) {
        const double octaves = 10.0 * i / 200.0;  // 20 Hz .. 20.5 kHz
        const double hz = 20.0 * std::exp2(octaves);
        const auto bump = [&](double centre, double db) {
            const double distance = std::log2(hz / centre) / 0.4;
            return db * std::exp(-distance * distance / 2.0);
        };
        points.push_back({hz, 80.0 + bump(1000.0, 6.0) + bump(150.0, -4.0)});
    }
    return points;
}

class TuningDialogsTest : public SheetFixture {
protected:
    // Drives the next dialog of type Dialog by `drive` once it is up.
    template <typename Dialog>
    static void whenUp(const std::function<void(Dialog&)>& drive) {
        QTimer::singleShot(0, [drive] {
            auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            drive(*dialog);
            if (dialog->isVisible()) dialog->reject();  // a failed step must not leave the test waiting
        });
    }

    // Runs `command` with its dialog driven by `drive` once it is up.
    template <typename Dialog>
    bool run(const std::function<bool(TuningCommands&)>& command, const std::function<void(Dialog&)>& drive) {
        whenUp(drive);
        TuningCommands commands(context, 0, nullptr);
        return command(commands);
    }

    static void click(QDialog& dialog, QDialogButtonBox::StandardButton which) {
        auto* buttons = findIn<QDialogButtonBox>(&dialog, QStringLiteral("buttons"));
        QTest::mouseClick(buttons->button(which), Qt::LeftButton);
    }

    bool runAutoEq(const std::function<void(AutoEqDialog&)>& drive) {
        return run<AutoEqDialog>(&TuningCommands::autoEq, drive);
    }

    static void fit(AutoEqDialog& dialog) {
        QTest::mouseClick(findIn<QPushButton>(&dialog, QStringLiteral("fit")), Qt::LeftButton);
        ASSERT_TRUE(dialog.result() && dialog.result()->ok());
    }

    // A full-range loudspeaker on output 1: its crossovers are off, as a new bank's are
    // not, so every deviation is the bands' to fix.
    void loadBumpyMeasurement() {
        PresetBank bank = doc.bank();
        OutputChannel& channel = bank.presets[static_cast<std::size_t>(doc.currentPreset())].outputs[0];
        channel.highPass = CrossoverFilter{};
        channel.lowPass.frequency = 433;
        doc.loadBank(bank, doc.unitType(), doc.activeBandCount());
        OutputTuning measured;
        measured.measurementName = "bumpy.txt";
        measured.measurement = bumpyMeasurement();
        tuning.setTuning(doc.currentPreset(), 0, measured);
    }

    RecordingSender recorder{true};
};

TEST_F(TuningDialogsTest, AnUnreadableMeasurementKeepsTheDialogOpenUntilAGoodOneIsChosen) {
    QTemporaryDir dir;
    const QString bad = dir.filePath(QStringLiteral("bad.txt"));
    const QString good = dir.filePath(QStringLiteral("good.frd"));
    for (const auto& [path, text] : {std::pair{bad, "20 80\n40 81\n80 eighty\n"},
                                     std::pair{good, "* from the test\n20 80\n1000 84\n20000 79\n"}}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    const bool changed =
        run<LoadMeasurementDialog>(&TuningCommands::loadMeasurement, [&](LoadMeasurementDialog& d) {
            auto* file = findIn<QLineEdit>(&d, QStringLiteral("measurementFile"));
            QTest::keyClicks(file, bad);
            click(d, QDialogButtonBox::Ok);
            ASSERT_TRUE(d.isVisible());
            const QString errors = findIn<QPlainTextEdit>(&d, QStringLiteral("importErrors"))->toPlainText();
            EXPECT_TRUE(errors.startsWith(QStringLiteral("Measurement: ")) &&
                        errors.contains(QStringLiteral("line 3:")))
                << errors.toStdString();

            file->clear();
            QTest::keyClicks(file, good);
            findIn<QComboBox>(&d, QStringLiteral("smoothing"))->setCurrentIndex(3);
            click(d, QDialogButtonBox::Ok);
            EXPECT_FALSE(d.isVisible());
        });
    EXPECT_TRUE(changed);
    const OutputTuning& set = tuning.tuning(doc.currentPreset(), 0);
    EXPECT_EQ(set.measurement, (std::vector<FrequencyPoint>{{20, 80}, {1000, 84}, {20000, 79}}));
    EXPECT_EQ(set.smoothing, Smoothing::Octave12);
    EXPECT_EQ(QString::fromStdString(set.measurementName), good);
    EXPECT_TRUE(doc.isModified()) << "the tuning is saved with the bank";
}

TEST_F(TuningDialogsTest, OkSetsTheFittedBandsAsOneUndoableStepSentToTheUnit) {
    loadBumpyMeasurement();
    doc.setSender(&recorder);
    const OutputChannel before = doc.outputChannel(0);
    AutoEqResult applied;
    EXPECT_TRUE(runAutoEq([&](AutoEqDialog& d) {
        findIn<QDoubleSpinBox>(&d, QStringLiteral("maxBoost"))->setValue(3.0);
        fit(d);
        applied = *d.result();
        click(d, QDialogButtonBox::Ok);
    }));
    EXPECT_LT(applied.rmsSnapped, applied.rmsBefore / 2);
    int used = 0;
    for (const FittedBand& band : applied.bands) {
        EXPECT_EQ(doc.outputChannel(0).bands[static_cast<std::size_t>(band.band)], band.codes);
        if (!band.used) continue;
        ++used;
        EXPECT_LE(band.codes.gain, 30) << "band " << band.band + 1 << " boosts more than the 3 dB allowed";
        EXPECT_NE(
            std::find(recorder.sent.begin(), recorder.sent.end(), SentMessage{MsgPeqBand, 1, band.band + 1}),
            recorder.sent.end())
            << "band " << band.band + 1;
    }
    EXPECT_GE(used, 2);
    EXPECT_EQ(doc.undoName(), "Auto-EQ");
    doc.undo();
    EXPECT_EQ(doc.outputChannel(0), before);
    EXPECT_FALSE(doc.canUndo()) << "the whole fit was one step";
}

TEST_F(TuningDialogsTest, OkWaitsForAFitOfTheOptionsShownAndCancelChangesNothing) {
    loadBumpyMeasurement();
    doc.setSender(&recorder);
    const PresetBank before = doc.bank();
    EXPECT_FALSE(runAutoEq([&](AutoEqDialog& d) {
        fit(d);
        auto* ok = findIn<QDialogButtonBox>(&d, QStringLiteral("buttons"))->button(QDialogButtonBox::Ok);
        EXPECT_TRUE(ok->isEnabled());
        findIn<QDoubleSpinBox>(&d, QStringLiteral("maxBoost"))->setValue(3.0);
        EXPECT_FALSE(ok->isEnabled()) << "the fit shown no longer matches the options";
        click(d, QDialogButtonBox::Cancel);
    }));
    EXPECT_TRUE(doc.bank().presets == before.presets);
    EXPECT_FALSE(doc.canUndo());
    EXPECT_FALSE(doc.isModified());
    EXPECT_TRUE(recorder.sent.empty());
}

// The same commands from the output page's menu, and the curves they put on its graph.
class TuningPageTest : public TuningDialogsTest {
protected:
    QAction* menuItem(const char* name) {
        menu_ = page()->makeContextMenu();
        return findIn<QAction>(menu_.get(), QString::fromLatin1(name));
    }
    QImage frame() const {
        QApplication::processEvents();  // changes made elsewhere are shown once control returns
        return dynamic_cast<CResponseGraph&>(*graph()).workingImage();
    }
    static int measurementPixels(const QImage& image) {
        const QRgb grey = TuningCurvePen(TuningCurveKind::Measurement).color().rgb();
        int count = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) count += image.pixel(x, y) == grey ? 1 : 0;
        }
        return count;
    }

private:
    std::unique_ptr<QMenu> menu_;
};

TEST_F(TuningPageTest, ALoadedMeasurementIsDrawnUntilHiddenAndHiddenLeavesThePageAsItWas) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("woofer.frd"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("20 80\n200 86\n2000 78\n20000 70\n");
    file.close();
    openSheet();
    const QImage plain = frame();
    ASSERT_EQ(measurementPixels(plain), 0);
    EXPECT_FALSE(menuItem("autoEq")->isEnabled()) << "nothing to fit without a measurement";
    EXPECT_FALSE(menuItem("showMeasurement")->isEnabled());

    whenUp<LoadMeasurementDialog>([&](LoadMeasurementDialog& d) {
        QTest::keyClicks(findIn<QLineEdit>(&d, QStringLiteral("measurementFile")), path);
        click(d, QDialogButtonBox::Ok);
    });
    menuItem("loadMeasurement")->trigger();
    EXPECT_GT(measurementPixels(frame()), 100);
    QAction* show = menuItem("showMeasurement");
    EXPECT_TRUE(show->isEnabled() && show->isChecked());

    show->trigger();
    EXPECT_EQ(frame(), plain) << "hidden, the page is drawn as without a measurement";
    EXPECT_FALSE(menuItem("showMeasurement")->isChecked());
    menuItem("showMeasurement")->trigger();
    EXPECT_GT(measurementPixels(frame()), 100);
}

TEST_F(TuningPageTest, AutoEqFromThePageIsOneUndoStepSentToTheUnitAndThePageFollowsIt) {
    loadBumpyMeasurement();
    openSheet();
    doc.setSender(&recorder);
    const QImage before = frame();
    whenUp<AutoEqDialog>([](AutoEqDialog& d) {
        fit(d);
        click(d, QDialogButtonBox::Ok);
    });
    menuItem("autoEq")->trigger();
    ASSERT_EQ(doc.undoName(), "Auto-EQ");
    EXPECT_TRUE(std::any_of(recorder.sent.begin(), recorder.sent.end(),
                            [](const SentMessage& m) { return m.code == MsgPeqBand && m.output == 1; }));
    EXPECT_NE(frame(), before) << "the prediction follows the fitted bands";
    doc.undo();
    EXPECT_FALSE(doc.canUndo()) << "the whole fit was one step";
    EXPECT_EQ(frame(), before);
}

}  // namespace
}  // namespace kv::test
