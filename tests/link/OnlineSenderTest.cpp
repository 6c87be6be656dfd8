#include "link/OnlineSender.h"

#include <gtest/gtest.h>

#include <chrono>

#include "document/MessageCode.h"
#include "link/SimulatedLink.h"
#include "protocol/ProtocolDecoding.h"

namespace kv {
namespace {

using test::hex;

struct Expected {
    SimFrameKind kind;
    int code, output, band;
};

std::vector<Expected> wholePresetOrder() {
    std::vector<Expected> order{{SimFrameKind::Data, MsgGainZero, 1, 0},
                                {SimFrameKind::Data, MsgGainZero, 2, 0},
                                {SimFrameKind::Data, MsgDelays, 0, 0}};
    for (int output : {1, 2}) {
        order.push_back({SimFrameKind::Data, MsgHighPass, output, 0});
        order.push_back({SimFrameKind::Data, MsgLowPass, output, 0});
        for (int band = 1; band <= 8; ++band) order.push_back({SimFrameKind::Data, MsgPeqBand, output, band});
        order.push_back({SimFrameKind::Data, MsgLimiterTimes, output, 0});
        order.push_back({SimFrameKind::Data, MsgLimiterLevel, output, 0});
    }
    order.push_back({SimFrameKind::Data, MsgGain, 1, 0});
    order.push_back({SimFrameKind::Data, MsgGain, 2, 0});
    return order;
}

void expectFrames(const std::vector<SimFrame>& frames, const std::vector<Expected>& expected) {
    ASSERT_EQ(frames.size(), expected.size());
    for (std::size_t i = 0; i < frames.size(); ++i) {
        EXPECT_EQ(frames[i].kind, expected[i].kind) << "frame " << i;
        EXPECT_EQ(frames[i].code, expected[i].code) << "frame " << i;
        EXPECT_EQ(frames[i].output, expected[i].output) << "frame " << i;
        EXPECT_EQ(frames[i].band, expected[i].band) << "frame " << i;
    }
}

class OnlineSending : public test::SimulatedLinkTest {};

TEST_F(OnlineSending, WholePresetIsIdentificationThen29FramesInOrder) {
    doc.setGain(0, 200);  // the real gain differs from the silencing one
    doc.setGain(1, 100);
    const SendAllSummary summary = sender.sendAllParametersSummary();
    EXPECT_TRUE(summary.online);
    EXPECT_EQ(summary.sent, 29);
    EXPECT_EQ(summary.acknowledged, 29);

    std::vector<Expected> expected{{SimFrameKind::Identify, 0, 0, 0}};
    for (const Expected& e : wholePresetOrder()) expected.push_back(e);
    const std::vector<SimFrame> frames = framesAfter(30);
    expectFrames(frames, expected);
    // Every frame is the built message, byte for byte, and the unit took each one.
    const auto sequence = allParametersSequence();
    for (std::size_t i = 0; i < sequence.size(); ++i) {
        const SimFrame& seen = frames[i + 1];
        const auto built = framedUnitMessage(doc.preset(-1), doc.unitType(), sequence[i].code,
                                             sequence[i].output, sequence[i].band);
        ASSERT_TRUE(built);
        EXPECT_EQ(hex(seen.raw), hex(built->view())) << i;
        EXPECT_TRUE(seen.accepted) << i;
    }
    EXPECT_TRUE(notifier.messages.empty());
    EXPECT_TRUE(sender.isOnline());
}

TEST_F(OnlineSending, ARefusedFrameDoesNotStopTheSequence) {
    goOnline();
    sim.refuseNextFrames(2);
    const SendAllSummary summary = sender.sendAllParametersSummary();
    EXPECT_EQ(summary.sent, 29);
    EXPECT_EQ(summary.acknowledged, 27);
    expectFrames(framesAfter(29), wholePresetOrder());
}

TEST_F(OnlineSending, EditsSendTheirMessagesAtOnce) {
    goOnline();
    const struct {
        const char* what;
        std::function<void(CKorvaliserDoc&)> edit;
        std::vector<Expected> frames;
        std::vector<std::size_t> lengths;
    } cases[] = {
        {"Output 2 high-pass frequency",
         [](auto& d) { d.setHighPassFrequency(1, 100); },
         {{SimFrameKind::Data, MsgHighPass, 2, 0}, {SimFrameKind::Data, MsgLimiterTimes, 2, 0}},
         {55, 28}},
        {"Output 1 high-pass slope",
         [](auto& d) { d.setHighPassSlope(0, 3); },
         {{SimFrameKind::Data, MsgHighPass, 1, 0}},
         {55}},
        {"Output 2 low-pass frequency",
         [](auto& d) { d.setLowPassFrequency(1, 300); },
         {{SimFrameKind::Data, MsgLowPass, 2, 0}},
         {55}},
        {"band 8 of Output 1",
         [](auto& d) { d.setBandFrequencyAndGain(0, 7, 200, -30); },
         {{SimFrameKind::Data, MsgPeqBand, 1, 8}},
         {32}},
        {"Output 1 delay carries both delays",
         [](auto& d) { d.setDelay(0, 96); },
         {{SimFrameKind::Data, MsgDelays, 0, 0}},
         {23}},
        {"Output 2 limiter level",
         [](auto& d) { d.setLimiterLevel(1, 6); },
         {{SimFrameKind::Data, MsgLimiterLevel, 2, 0}},
         {11}},
        {"Output 1 gain", [](auto& d) { d.setGain(0, 170); }, {{SimFrameKind::Data, MsgGain, 1, 0}}, {19}},
        {"preset name sends nothing", [](auto& d) { d.setPresetName(-1, u"Quiet"); }, {}, {}},
        {"selecting another preset sends nothing", [](auto& d) { d.selectPreset(4); }, {}, {}},
    };
    for (const auto& c : cases) {
        sim.clearFrames();
        c.edit(doc);
        const std::vector<SimFrame> frames = framesAfter(c.frames.size());
        SCOPED_TRACE(c.what);
        ASSERT_EQ(frames.size(), c.frames.size());
        for (std::size_t i = 0; i < frames.size(); ++i) {
            EXPECT_EQ(frames[i].code, c.frames[i].code);
            EXPECT_EQ(frames[i].output, c.frames[i].output);
            EXPECT_EQ(frames[i].band, c.frames[i].band);
            EXPECT_EQ(frames[i].length, c.lengths[i]);
            EXPECT_TRUE(frames[i].accepted);
        }
    }
    // The delay frame held both delays.
    doc.selectPreset(0);
    sim.clearFrames();
    doc.setDelay(1, 960);
    const std::vector<SimFrame> frames = framesAfter(1);
    EXPECT_EQ(hex({frames[0].body.data() + 1, 12}), "00 60 00 00 00 00 00 00 03 C0 00 00");
}

TEST_F(OnlineSending, MuteSendsAZeroGainWordAndUnmuteTheRealOne) {
    goOnline();
    doc.setMute(0, true);
    doc.setMute(0, false);
    doc.setInvert(0, true);
    const std::vector<SimFrame> frames = framesAfter(3);
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(hex(frames[0].body), "73 00 00 00 00 00 00 00 00");
    EXPECT_EQ(hex(frames[1].body), "73 00 80 00 00 00 00 00 00");
    EXPECT_EQ(hex(frames[2].body), "73 0F 80 00 00 00 00 00 00");
}

TEST_F(OnlineSending, OfflineEditsSendNothingAndOpenNoPort) {
    doc.setGain(0, 200);
    doc.setHighPassFrequency(1, 90);
    doc.pasteOutput(0);
    EXPECT_FALSE(sender.sendToUnit(MsgGain, 1, 0));
    EXPECT_FALSE(link.portOpen());
    EXPECT_EQ(sim.frameCount(), 0u);
    EXPECT_EQ(doc.gain(0), 200);
    EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(OnlineSending, ASilentUnitIsReportedOnceAndNothingIsSent) {
    sim.setSilent(true);
    const SendAllSummary summary = sender.sendAllParametersSummary();
    EXPECT_FALSE(summary.online);
    EXPECT_EQ(summary.sent, 0);
    EXPECT_EQ(notifier.messages, std::vector<std::string>{kNoResponseText});
    for (const SimFrame& f : sim.frames()) EXPECT_EQ(f.kind, SimFrameKind::Identify);
    EXPECT_FALSE(sender.isOnline());
}

// A unit that stops answering while online: the first unanswered exchange takes the link
// offline and tells the user once; later edits are not sent and do not wait.
TEST_F(OnlineSending, AUnitThatFallsSilentWhileOnlineTakesTheLinkOfflineOnce) {
    goOnline();
    int dropped = 0;
    link.setDroppedHandler([&] { ++dropped; });
    sim.setSilent(true);
    doc.setGain(0, 200);
    EXPECT_FALSE(link.online());
    EXPECT_FALSE(sender.isOnline());
    EXPECT_EQ(notifier.messages, std::vector<std::string>{kNoResponseText});
    EXPECT_EQ(dropped, 1);

    const std::size_t seen = sim.frameCount();
    const auto start = std::chrono::steady_clock::now();
    doc.setGain(0, 210);
    doc.setBandGain(1, 2, -30);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(50));
    EXPECT_EQ(sim.frameCount(), seen);
    EXPECT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(dropped, 1);

    // The unit is back: "On Line" again sends the whole preset, the last edits included.
    sim.setSilent(false);
    sim.clearFrames();
    const SendAllSummary summary = sender.sendAllParametersSummary();
    EXPECT_EQ(summary.acknowledged, 29);
    EXPECT_TRUE(link.online());
}

// A unit that vanishes in the middle: the user sees the system's reason with the message.
TEST_F(OnlineSending, AVanishedUnitIsReportedWithTheSystemsReason) {
    goOnline();
    sim.hangUp();
    doc.setGain(0, 200);
    EXPECT_FALSE(link.online());
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0].rfind(std::string(kNoResponseText) + "\n\n", 0), 0u)
        << notifier.messages[0];
    EXPECT_NE(notifier.messages[0].find("Input/output error"), std::string::npos) << notifier.messages[0];
}

TEST_F(OnlineSending, OnlineAfterPastingAnOutputResendsTheWholePreset) {
    goOnline();
    doc.copyOutput(1);
    doc.pasteOutput(0);
    expectFrames(framesAfter(29), wholePresetOrder());
}

TEST_F(OnlineSending, GarbageFromTheWireLeavesTheDocumentAlone) {
    doc.setUnitType(kUnitKV520);  // the model the simulated unit reports
    doc.setPresetName(3, u"Keep me");
    doc.setModified(false);
    const test::DocumentSnapshot before = test::DocumentSnapshot::of(doc);
    const std::array<std::uint8_t, 9> garbled{0xE8, 0x07, 0x33, 0x00, 0x7F, 0xFF, 0xFF, 0xFF, 0xFF};
    sim.setIdentityReply(garbled);
    EXPECT_FALSE(link.goOnline());
    EXPECT_EQ(notifier.messages, std::vector<std::string>{kIncorrectDeviceText});
    sim.clearIdentityReply();
    goOnline();
    sim.setStrayBytes({0xA0, 0xE8, 0xF1, 0xFF, 0x00}, -1);
    sender.sendAllParameters();
    sender.sendToUnit(MsgPresetImage, 3, 0);
    EXPECT_EQ(test::DocumentSnapshot::of(doc), before);
}

}  // namespace
}  // namespace kv
