// UnitLink over a real pseudo-terminal against the simulated amplifier: identification
// and its failures, speed hunting, realignment of stray bytes, refusals and silence
// within the time-outs, and a unit that vanishes.

#include <gtest/gtest.h>

#include <chrono>

#include "connection/UnitConnection.h"
#include "document/KorvaliserDoc.h"
#include "link/UnitLink.h"
#include "sim/SimulatedAmplifier.h"

namespace kv {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;

class Messages : public LinkNotifier {
public:
    void showLinkMessage(const std::string& text) override { shown.push_back(text); }
    std::vector<std::string> shown;
};

class UnitLinkOverPty : public testing::Test {
protected:
    UnitLinkOverPty() { link.setDevicePath(sim.devicePath()); }

    // Keeps a request for the next exchange; returns its length.
    int load(const Bytes& request) {
        pending = request;
        return static_cast<int>(request.size());
    }
    // Exchanges the first bytesToWrite bytes of the kept request; the reply is kept in
    // `last`. The result is the reply's length, or why there is none.
    int exchange(int bytesToWrite, int bytesToRead, int tries, int extraSeconds, int startByte) {
        last = link.exchange({pending.data(), static_cast<std::size_t>(bytesToWrite)}, bytesToRead,
                             {tries, extraSeconds, static_cast<std::uint8_t>(startByte)});
        if (last.status == ExchangeStatus::ShortWrite) return kShortWrite;
        return last.complete() ? last.length : kShortRead;
    }
    std::vector<int> identificationBauds() const {
        std::vector<int> bauds;
        for (const SimFrame& f : sim.frames())
            if (f.kind == SimFrameKind::Identify) bauds.push_back(f.hostBaud);
        return bauds;
    }
    template <typename F>
    static Clock::duration timed(F&& f) {
        const auto start = Clock::now();
        f();
        return Clock::now() - start;
    }

    SimulatedAmplifier sim;
    CKorvaliserDoc doc;
    Messages messages;
    UnitConnection connection{doc, &messages};
    UnitLink& link = connection.link();
    Bytes pending;
    LinkReply last;
    static constexpr int kShortWrite = -1;
    static constexpr int kShortRead = -2;
};

// Recall of unit preset 3 on a KV520, sealed by hand.
const Bytes kRecall520{0xF1, 0x00, 0x08, 0x32, 0x01, 0x0D, 0x04, 0x03, 0x40};
const Bytes kMeterQuery520{0xF0, 0x00, 0x07, 0x32, 0x01, 0x0D, 0x3E, 0x75};

TEST_F(UnitLinkOverPty, GoesOnlineAndLearnsTheModel) {
    for (const int model : {0x31, 0x32}) {
        SCOPED_TRACE(model);
        sim.setModelCode(model);
        doc.setUnitType(model == 0x31 ? 0x32 : 0x31);
        link.setOffline();
        EXPECT_TRUE(connection.goOnline());
        EXPECT_TRUE(link.isUsable());
        EXPECT_EQ(doc.unitType(), model);
        EXPECT_EQ(link.connectionMode(), ConnectionMode::Rs232);
    }
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(identificationBauds(), (std::vector<int>{115200, 115200}));
}

TEST_F(UnitLinkOverPty, IdentificationFailuresReachTheUser) {
    const struct {
        const char* name;
        std::array<std::uint8_t, 9> reply;
        IdentifyResult result;
        const char* message;
        int unitTypeAfter;
    } cases[] = {
        {"byte 1 not zero",
         {0xE8, 0x01, 0x08, 0x00, 0x32, 0, 0, 0, 0},
         IdentifyResult::IncorrectResponse,
         "Incorrect Response from Device",
         0x31},
        {"model 0x33",
         {0xE8, 0x00, 0x08, 0x00, 0x33, 0, 0, 0, 0},
         IdentifyResult::IncorrectDevice,
         "Incorrect Device Responding",
         0x33},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        doc.setUnitType(0x31);
        messages.shown.clear();
        sim.setIdentityReply(c.reply);
        EXPECT_FALSE(connection.goOnline());
        EXPECT_EQ(messages.shown, std::vector<std::string>{c.message});
        EXPECT_FALSE(link.online());
        EXPECT_TRUE(link.portOpen());
        EXPECT_EQ(doc.unitType(), c.unitTypeAfter);
        EXPECT_EQ(link.identifyUnit().result, c.result);
    }
}

TEST_F(UnitLinkOverPty, SilentUnitHuntsTheThreeSpeedsAndComesBack) {
    sim.setSilent(true);
    link.setBaudIndex(6);
    Clock::duration took{};
    bool online = true;
    took = timed([&] { online = connection.goOnline(); });
    EXPECT_FALSE(online);
    EXPECT_EQ(messages.shown, std::vector<std::string>{"No Response from any Device"});
    EXPECT_EQ(identificationBauds(), (std::vector<int>{115200, 38400, 57600}));
    EXPECT_EQ(link.baudIndex(), 6);
    EXPECT_TRUE(link.portOpen());
    // Three tries of about a second each (2 x 11 + 1000 + 10 ms), not more.
    EXPECT_LT(took, 3 * 1032ms + 2s);
}

TEST_F(UnitLinkOverPty, FindsAUnitAtAnotherSpeed) {
    const struct {
        int unitBaud;
        int indexAfter;
        std::vector<int> tried;
    } cases[] = {{38400, 4, {115200, 38400}}, {57600, 5, {115200, 38400, 57600}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.unitBaud);
        sim.clearFrames();
        sim.setAnswerSpeeds({c.unitBaud});
        link.setBaudIndex(6);
        link.closePort();
        EXPECT_TRUE(connection.goOnline());
        EXPECT_EQ(link.baudIndex(), c.indexAfter);
        EXPECT_EQ(identificationBauds(), c.tried);
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(UnitLinkOverPty, StrayBytesBeforeARepliesAreSkipped) {
    ASSERT_TRUE(connection.goOnline());
    sim.setStrayBytes({0x11, 0x22});
    EXPECT_EQ(link.identifyUnit().result, IdentifyResult::Identified);
    EXPECT_EQ(exchange(load(kMeterQuery520), 11, 3, 1, 0xA8), 11);
    EXPECT_EQ(last.bytes[0], 0xA8);
    EXPECT_EQ(last.bytes[6], 0x3E);
    // A one-byte acknowledge cannot be found behind them: four more bytes are read
    // and the fourth (missing here, so zero) is what the caller judges.
    EXPECT_EQ(exchange(load(kRecall520), 1, 3, 0, 0xA0), 1);
    EXPECT_EQ(last.bytes[0], 0x00);
    // Four stray bytes put the acknowledge exactly there.
    sim.setStrayBytes({0x11, 0x22, 0x33, 0x44});
    EXPECT_EQ(exchange(load(kRecall520), 1, 3, 0, 0xA0), 1);
    EXPECT_EQ(last.bytes[0], 0xA0);
}

TEST_F(UnitLinkOverPty, RefusalsAndSilenceEndWithinTheTimeOuts) {
    ASSERT_TRUE(connection.goOnline());
    const int w = load(kRecall520);

    sim.refuseNextFrames(1);
    int result = 0;
    const auto refused = timed([&] { result = exchange(w, 1, 3, 0, 0xA0); });
    EXPECT_EQ(result, 1);
    EXPECT_NE(last.bytes[0], 0xA0);
    EXPECT_LT(refused, 1s);

    sim.setSilent(true);
    const auto silent = timed([&] { result = exchange(w, 1, 3, 0, 0xA0); });
    EXPECT_EQ(result, kShortRead);
    // Three tries of 2 x (9 + 1) + 10 ms each.
    EXPECT_LT(silent, 90ms + 1s);

    // A status query waits its extra second, once per try.
    const int q = load(kMeterQuery520);
    const auto query = timed([&] { result = exchange(q, 11, 1, 1, 0xA8); });
    EXPECT_EQ(result, kShortRead);
    EXPECT_GE(query, 1000ms);
    EXPECT_LT(query, 1048ms + 1500ms);

    sim.setSilent(false);
    EXPECT_EQ(exchange(load(kRecall520), 1, 3, 0, 0xA0), 1);
    EXPECT_EQ(last.bytes[0], 0xA0);
}

TEST_F(UnitLinkOverPty, AUnitThatVanishesNeverHangsTheLink) {
    ASSERT_TRUE(connection.goOnline());
    sim.hangUp();
    int result = 0;
    const auto took = timed([&] { result = exchange(load(kRecall520), 1, 3, 0, 0xA0); });
    EXPECT_LT(result, 0);
    EXPECT_LT(took, 2s);

    // The exchange found the unit gone and took the link offline, with the reason.
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].find("Input/output error"), std::string::npos) << messages.shown[0];
    EXPECT_FALSE(link.online());
    messages.shown.clear();

    bool online = true;
    const auto again = timed([&] { online = connection.goOnline(); });
    EXPECT_FALSE(online);
    EXPECT_EQ(messages.shown, std::vector<std::string>{"No Response from any Device"});
    EXPECT_FALSE(link.portOpen());
    EXPECT_LT(again, 2s);

    // The next attempt cannot even open the port, and says so.
    messages.shown.clear();
    EXPECT_FALSE(connection.goOnline());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].rfind("Cannot Open this COM port !\n\n", 0), 0u) << messages.shown[0];
    EXPECT_EQ(link.connectionMode(), ConnectionMode::NoConnection);
}

TEST_F(UnitLinkOverPty, HangUpInTheMiddleOfAStore) {
    ASSERT_TRUE(connection.goOnline());
    sim.hangUpAfterFrames(1);
    const int w = load(kRecall520);
    EXPECT_EQ(exchange(w, 1, 3, 0, 0xA0), 1);
    EXPECT_EQ(last.bytes[0], 0xA0);
    int result = 0;
    const auto took = timed([&] { result = exchange(w, 1, 3, 0, 0xA0); });
    EXPECT_LT(result, 0);
    EXPECT_LT(took, 2s);
    EXPECT_FALSE(sim.isConnected());
}

}  // namespace
}  // namespace kv
