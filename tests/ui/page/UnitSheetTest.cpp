#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include "PageTestSupport.h"
#include "sim/SimulatedAmplifier.h"
#include "ui/page/PageButton.h"

namespace kv::test {
namespace {

constexpr std::chrono::milliseconds kWait{3000};

class RecordingMessages : public LinkNotifier {
public:
    void showLinkMessage(const std::string& text) override { shown.push_back(text); }
    std::vector<std::string> shown;
};

class UnitSheetTest : public SheetFixture {
protected:
    UnitSheetTest() { link.setDevicePath(sim.devicePath()); }

    std::vector<SimFrame> dataFrames() const {
        std::vector<SimFrame> data;
        for (const SimFrame& f : sim.frames())
            if (f.kind == SimFrameKind::Data) data.push_back(f);
        return data;
    }
    void pressOnLine() {
        QTest::mouseClick(sheet->onLineButton(), Qt::LeftButton);
        ASSERT_TRUE(link.online());
    }

    SimulatedAmplifier sim;
};

TEST_F(UnitSheetTest, CaptionPagesAndButtons) {
    doc.selectPreset(4);
    auto order = doc.presetOrder();
    std::swap(order[2], order[4]);  // slot 4 shown as preset 3
    doc.setPresetOrder(order);
    doc.setPresetName(4, u"Main Hall");
    openSheet();
    EXPECT_EQ(sheet->windowTitle(), QStringLiteral("Settings for Preset 3 : Main Hall"));
    ASSERT_EQ(sheet->tabs()->count(), 2);
    EXPECT_EQ(sheet->tabs()->tabText(0), QStringLiteral("  Output 1  "));
    EXPECT_EQ(sheet->tabs()->tabText(1), QStringLiteral("  Output 2  "));
    EXPECT_EQ(sheet->tabs()->currentIndex(), 0);
    EXPECT_FALSE(findIn<QPushButton>(sheet.get(), QStringLiteral("cancelButton"))->isVisible());
    EXPECT_TRUE(findIn<QPushButton>(sheet.get(), QStringLiteral("okButton"))->isVisible());
    auto* onLine = sheet->onLineButton();
    EXPECT_EQ(onLine->text(), QStringLiteral("On Line"));
    EXPECT_FALSE(onLine->isLit());
    EXPECT_EQ(onLine->backgroundColour(), QColor(128, 128, 0));
    EXPECT_EQ(onLine->textColour(), QColor(168, 168, 168));
}

TEST_F(UnitSheetTest, OnLineSendsTheWholePresetAndTurnsYellow) {
    openSheet();
    pressOnLine();
    ASSERT_TRUE(sim.waitForFrames(30, kWait));
    const std::vector<SimFrame> frames = dataFrames();
    ASSERT_EQ(frames.size(), 29U);
    const auto sequence = allParametersSequence();
    for (std::size_t i = 0; i < frames.size(); ++i) {
        EXPECT_EQ(frames[i].code, sequence[i].code) << i;
        if (frames[i].code != MsgDelays) {
            EXPECT_EQ(frames[i].output, sequence[i].output) << i;
        }
        EXPECT_TRUE(frames[i].accepted) << i;
    }
    auto* onLine = sheet->onLineButton();
    EXPECT_TRUE(onLine->isLit());
    EXPECT_EQ(onLine->backgroundColour(), QColor(255, 255, 0));
    const QImage shot = onLine->grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(4, shot.height() / 2)), QColor(255, 255, 0)) << "painted yellow";

    // Pressing again sends the full set again.
    sim.clearFrames();
    QTest::mouseClick(onLine, Qt::LeftButton);
    ASSERT_TRUE(sim.waitForFrames(29, kWait));
    EXPECT_EQ(dataFrames().size(), 29U);
}

TEST_F(UnitSheetTest, PageEditsSendTheirFramesAtOnce) {
    openSheet();
    pressOnLine();
    ASSERT_TRUE(sim.waitForFrames(30, kWait));
    struct Case {
        const char* what;
        std::function<void()> edit;
        std::vector<std::pair<int, int>> expected;  // code, output
    };
    const std::vector<Case> cases = {
        {"mute of Output 2",
         [&] { QTest::mouseClick(findIn<PageButton>(page(), "muteButton2"), Qt::LeftButton); },
         {{MsgGainZero, 2}}},
        {"polarity of Output 1",
         [&] { QTest::mouseClick(findIn<PageButton>(page(), "polarityButton1"), Qt::LeftButton); },
         {{MsgGain, 1}}},
        {"delay typed",
         [&] {
             auto* edit = findIn<QLineEdit>(page(), "delayEdit");
             edit->setFocus();
             edit->selectAll();
             QTest::keyClicks(edit, "2.5");
             QTest::keyClick(edit, Qt::Key_Return);
         },
         {{MsgDelays, 0}}},
        {"band dragged on the graph",
         [&] { drag(graph(), markerCentre(0), plotPixel(300, 50)); },
         {{MsgPeqBand, 1}}},
        {"high-pass frequency",
         [&] { doc.setHighPassFrequency(0, 100); },
         {{MsgHighPass, 1}, {MsgLimiterTimes, 1}}},
    };
    for (const Case& c : cases) {
        sim.clearFrames();
        c.edit();
        // Each edit blocks until acknowledged: the frames are there when it returns.
        const std::vector<SimFrame> frames = dataFrames();
        ASSERT_EQ(frames.size(), c.expected.size()) << c.what;
        for (std::size_t i = 0; i < frames.size(); ++i) {
            EXPECT_EQ(frames[i].code, c.expected[i].first) << c.what;
            if (c.expected[i].second != 0) {
                EXPECT_EQ(frames[i].output, c.expected[i].second) << c.what;
            }
        }
    }
}

TEST_F(UnitSheetTest, MetersAndTemperatureFollowTheUnit) {
    sim.setMeters(40, 200);
    sim.setTemperatures(58, 61);
    openSheet();
    pressOnLine();
    QTRY_COMPARE_WITH_TIMEOUT(page()->meterValue(0), 96, 5000);
    EXPECT_EQ(page()->meterValue(1), 0);
    auto* text = findIn<QLabel>(page(), "temperatureText");
    auto* status = findIn<QLabel>(page(), "temperatureStatus");
    QTRY_COMPARE_WITH_TIMEOUT(status->text(), QStringLiteral("Limiting"), 5000);
    EXPECT_EQ(text->text(), QString::fromUtf8(" 61\u00B0C"));
    EXPECT_EQ(status->palette().color(QPalette::Window), QColor(230, 250, 0));
    EXPECT_EQ(status->palette().color(QPalette::WindowText), QColor(Qt::black));

    sim.setMeters(80, 0);
    QTRY_COMPARE_WITH_TIMEOUT(page()->meterValue(0), 66, 5000);
    EXPECT_EQ(page()->meterValue(1), 126);
}

TEST_F(UnitSheetTest, EachPageKeepsItsOwnTemperatureAcrossPageSwitches) {
    sim.setTemperatures(58, 61);
    openSheet();
    pressOnLine();
    const auto status = [this](int p) { return findIn<QLabel>(page(p), "temperatureStatus")->text(); };
    QTRY_COMPARE_WITH_TIMEOUT(status(0), QStringLiteral("Limiting"), 5000);

    sim.setTemperatures(70, 20);
    sheet->tabs()->setCurrentIndex(1);
    EXPECT_FALSE(page(0)->isPolling());
    EXPECT_EQ(status(1), QStringLiteral("xxxx")) << "the second page has had no reading of its own yet";
    QTRY_COMPARE_WITH_TIMEOUT(status(1), QStringLiteral("Hard Limiting"), 5000);

    // Back on the first page: its last reading shows at once, and its count towards the
    // next temperature query goes on where it stopped, so it is not asked again at once.
    sheet->tabs()->setCurrentIndex(0);
    EXPECT_EQ(status(0), QStringLiteral("Limiting"));
    EXPECT_EQ(page(0)->pollInterval(), 500);
    QTest::qWait(700);
    EXPECT_EQ(status(0), QStringLiteral("Limiting"));
    EXPECT_EQ(page(0)->unitTemperature(), 61);
}

TEST_F(UnitSheetTest, ClosingStopsAllSendingAndReopeningStartsOffline) {
    for (const char* how : {"ok", "escape", "close"}) {
        openSheet();
        pressOnLine();
        ASSERT_TRUE(sim.waitForFrames(30, kWait));
        if (std::string(how) == "ok")
            QTest::mouseClick(findIn<QPushButton>(sheet.get(), "okButton"), Qt::LeftButton);
        if (std::string(how) == "escape") QTest::keyClick(sheet.get(), Qt::Key_Escape);
        if (std::string(how) == "close") sheet->close();
        EXPECT_FALSE(sheet->isVisible()) << how;
        EXPECT_FALSE(link.online()) << how;
        EXPECT_FALSE(page()->isPolling()) << how;
        QTest::qWait(100);
        sim.clearFrames();
        doc.setGain(0, 200);
        QTest::qWait(50);
        EXPECT_EQ(sim.frameCount(), 0U) << how << ": nothing is sent after closing";

        sheet.reset();
        openSheet();
        EXPECT_FALSE(sheet->onLineButton()->isLit()) << how;
        doc.setMute(0, true);
        QTest::qWait(50);
        EXPECT_EQ(sim.frameCount(), 0U) << how << ": a reopened sheet is offline";
        sheet.reset();
    }
}

TEST_F(UnitSheetTest, TextTypedJustBeforeClosingReachesTheUnit) {
    for (const char* how : {"escape", "close"}) {
        doc.setGain(0, 150);
        openSheet();
        pressOnLine();
        ASSERT_TRUE(sim.waitForFrames(30, kWait));
        auto* edit = findIn<QLineEdit>(page(), "gainEdit1");
        edit->setFocus(Qt::MouseFocusReason);
        edit->selectAll();
        QTest::keyClicks(edit, "-6");
        sim.clearFrames();
        if (std::string(how) == "escape") QTest::keyClick(edit, Qt::Key_Escape);
        if (std::string(how) == "close") sheet->close();
        EXPECT_FALSE(sheet->isVisible()) << how;
        EXPECT_EQ(doc.gain(0), 210) << how << ": the typed gain is committed";
        const std::vector<SimFrame> frames = dataFrames();
        ASSERT_EQ(frames.size(), 1U) << how << ": and sent before the link goes offline";
        EXPECT_EQ(frames[0].code, MsgGain) << how;
        EXPECT_EQ(frames[0].output, 1) << how;
        EXPECT_FALSE(link.online()) << how;
        sheet.reset();
    }
}

// The unit stops answering while the editor is online: the first unanswered exchange (an
// edit, or the page's status poll) goes offline, says so once and shows the offline
// colours; clicks after that neither wait nor send.
TEST_F(UnitSheetTest, AUnitFallingSilentWhileOnlineTurnsTheButtonOffOnce) {
    RecordingMessages messages;
    link.setNotifier(&messages);
    openSheet();
    pressOnLine();
    ASSERT_TRUE(sim.waitForFrames(30, kWait));
    sim.setSilent(true);
    QTest::mouseClick(findIn<PageButton>(page(), "muteButton2"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!link.online(), 5000);
    EXPECT_EQ(messages.shown, std::vector<std::string>{kNoResponseText});
    auto* onLine = sheet->onLineButton();
    EXPECT_FALSE(onLine->isLit());
    EXPECT_EQ(onLine->backgroundColour(), QColor(128, 128, 0));

    const std::size_t seen = sim.frameCount();
    QElapsedTimer clicks;
    clicks.start();
    QTest::mouseClick(findIn<PageButton>(page(), "polarityButton1"), Qt::LeftButton);
    QTest::mouseClick(findIn<PageButton>(page(), "muteButton1"), Qt::LeftButton);
    EXPECT_LT(clicks.elapsed(), 500);
    QTest::qWait(200);  // the status timer runs on
    EXPECT_EQ(sim.frameCount(), seen);
    EXPECT_EQ(messages.shown.size(), 1u);
    link.setNotifier(nullptr);
}

TEST_F(UnitSheetTest, SilentUnitLeavesTheButtonOff) {
    sim.setSilent(true);
    openSheet();
    QTest::mouseClick(sheet->onLineButton(), Qt::LeftButton);
    EXPECT_FALSE(link.online());
    EXPECT_FALSE(sheet->onLineButton()->isLit());
    EXPECT_TRUE(dataFrames().empty()) << "identification only; nothing else sent";
}

}  // namespace
}  // namespace kv::test

namespace kv::test {
namespace {

class OnLineLeavesBankTest : public SheetFixture {
protected:
    OnLineLeavesBankTest() { link.setDevicePath(sim.devicePath()); }
    SimulatedAmplifier sim;
};

TEST_F(OnLineLeavesBankTest, GoingOnlineAndPollingDoNotMarkTheBankModified) {
    doc.setModified(false);
    openSheet();
    QTest::mouseClick(sheet->onLineButton(), Qt::LeftButton);
    ASSERT_TRUE(link.online());
    ASSERT_TRUE(sim.waitForFrames(30, kWait));
    QTest::qWait(700);  // let the page's status timer run a while
    EXPECT_FALSE(doc.isModified());
}

}  // namespace
}  // namespace kv::test
