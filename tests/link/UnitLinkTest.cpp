// UnitLink's exact behaviour against a scripted port: opening, the exchange's tries,
// time-outs and realignment, identification with speed hunting, going online and the
// Remote menu.

#include "link/UnitLink.h"

#include <gtest/gtest.h>

#include "FakeSerialPort.h"
#include "document/KorvaliserDoc.h"

namespace kv {
namespace {

using test::FakeSerialPort;
using Bytes = std::vector<std::uint8_t>;

const Bytes kGoodIdentity{0xE8, 0x00, 0x08, 0x00, 0x32, 0x01, 0x00, 0x04, 0x00};

class RecordingNotifier : public LinkNotifier {
public:
    void showLinkMessage(const std::string& text) override { messages.push_back(text); }
    void showPortFailure(const std::string& text, const std::string& reason) override {
        messages.push_back(text);
        reasons.push_back(reason);
    }
    std::vector<std::string> messages;
    std::vector<std::string> reasons;
};

class UnitLinkFakeTest : public testing::Test {
protected:
    UnitLinkFakeTest() {
        auto owned = std::make_unique<FakeSerialPort>();
        port = owned.get();
        link = std::make_unique<UnitLink>(&notifier, std::move(owned));
        link->setDevicePath("/dev/fake0");
    }
    // The exchange as these cases write it: the first bytesToWrite bytes of a request;
    // the reply is kept for received(). The result is the reply's length, or why none.
    int exchange(int bytesToWrite, int bytesToRead, int tries, int extraSeconds, int startByte) {
        static const Bytes request(UnitLink::kTransmitCapacity + 1, 0x00);
        last = link->exchange({request.data(), static_cast<std::size_t>(bytesToWrite)}, bytesToRead,
                              {tries, extraSeconds, static_cast<std::uint8_t>(startByte)});
        if (last.status == ExchangeStatus::ShortWrite) return kShortWrite;
        return last.complete() ? last.length : kShortRead;
    }
    Bytes received(int count) const { return Bytes(last.bytes.begin(), last.bytes.begin() + count); }
    // Leaves `stale` in the first bytes of the receive buffer, as an earlier reply would.
    void primeReceiveBuffer(const Bytes& stale) {
        port->reads.push_back(stale);
        ASSERT_EQ(exchange(1, static_cast<int>(stale.size()), 1, 0, stale[0]),
                  static_cast<int>(stale.size()));
    }

    static constexpr int kShortWrite = -1;
    static constexpr int kShortRead = -2;

    RecordingNotifier notifier;
    FakeSerialPort* port = nullptr;
    std::unique_ptr<UnitLink> link;
    LinkReply last;
};

TEST_F(UnitLinkFakeTest, OpensAtTheSpeedOfTheTable) {
    const struct {
        int baudIndex, baud, byteTimeMs;
    } cases[] = {{0, 2400, 16}, {1, 4800, 8},   {2, 9600, 4},  {3, 19200, 2}, {4, 38400, 2},
                 {5, 57600, 2}, {6, 115200, 2}, {7, 2400, 16}, {-1, 2400, 16}};
    port->driverTimeouts = {5, 6, 70, 8, 90};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.baudIndex);
        link->setBaudIndex(c.baudIndex);
        ASSERT_TRUE(link->openPort(ConnectionMode::Rs232));
        EXPECT_TRUE(link->portOpen());
        EXPECT_EQ(port->configuredBauds.back(), c.baud);
        EXPECT_EQ(link->byteTimeMs(), c.byteTimeMs);
        const SerialTimeouts t = port->timeouts();
        EXPECT_EQ(t.readIntervalMs, c.byteTimeMs);
        EXPECT_EQ(t.readTotalMultiplierMs, c.byteTimeMs);
        EXPECT_EQ(t.writeTotalMultiplierMs, c.byteTimeMs);
        // The constants stay as the driver had them.
        EXPECT_EQ(t.readTotalConstantMs, 70);
        EXPECT_EQ(t.writeTotalConstantMs, 90);
    }
    EXPECT_EQ(port->openedPaths.back(), "/dev/fake0");
}

TEST_F(UnitLinkFakeTest, OpeningFailuresLeaveThePortClosed) {
    port->openSucceeds = false;
    EXPECT_FALSE(link->openPort(ConnectionMode::Rs232));
    EXPECT_FALSE(link->portOpen());
    EXPECT_EQ(link->lastPortError(), "Permission denied (fake)");

    port->openSucceeds = true;
    port->configureSucceeds = false;
    EXPECT_FALSE(link->openPort(ConnectionMode::Rs232));
    EXPECT_FALSE(link->portOpen());
    EXPECT_FALSE(port->isOpen());

    port->configureSucceeds = true;
    EXPECT_TRUE(link->openPort(ConnectionMode::Rs232));
    EXPECT_TRUE(link->lastPortError().empty());
    // Any other mode only closes a port opened for RS-232.
    link->setConnectionMode(ConnectionMode::Rs232);
    EXPECT_FALSE(link->openPort(ConnectionMode::NoConnection));
    EXPECT_FALSE(link->portOpen());
    EXPECT_FALSE(port->isOpen());
}

TEST_F(UnitLinkFakeTest, DevicePathDefaultsToTheComPort) {
    link->setDevicePath("");
    link->setComPortIndex(2);
    EXPECT_EQ(link->effectiveDevicePath(), "/dev/ttyS2");
    link->setDevicePath("/dev/ttyUSB0");
    EXPECT_EQ(link->effectiveDevicePath(), "/dev/ttyUSB0");
}

TEST_F(UnitLinkFakeTest, SetsTheReadTimeOutsOfEachExchange) {
    const struct {
        int baudIndex, write, extra;
        SerialTimeouts expected;
    } cases[] = {
        {6, 8, 1, {32, 2, 1026, 2, 0}},     // status query at 115200
        {6, 741, 0, {32, 2, 1492, 2, 0}},   // whole-preset frame
        {0, 2, 1, {256, 16, 1042, 16, 0}},  // identification at 2400
        {2, 19, 0, {64, 4, 86, 4, 0}},      // gain frame at 9600
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.write);
        link->setBaudIndex(c.baudIndex);
        ASSERT_TRUE(link->openPort(ConnectionMode::Rs232));
        port->readTimeouts.clear();
        port->reads.push_back({0xA0});
        ASSERT_EQ(exchange(c.write, 1, 1, c.extra, 0xA0), 1);
        ASSERT_EQ(port->readTimeouts.size(), 1u);
        const SerialTimeouts& t = port->readTimeouts[0];
        EXPECT_EQ(t.readIntervalMs, c.expected.readIntervalMs);
        EXPECT_EQ(t.readTotalMultiplierMs, c.expected.readTotalMultiplierMs);
        EXPECT_EQ(t.readTotalConstantMs, c.expected.readTotalConstantMs);
        EXPECT_EQ(t.writeTotalMultiplierMs, c.expected.writeTotalMultiplierMs);
    }
}

TEST_F(UnitLinkFakeTest, RetriesShortReadsAndNeverShortWrites) {
    ASSERT_TRUE(link->openPort(ConnectionMode::Rs232));
    const struct { int tries, expectedTries; } cases[] = {{-1, 3}, {-7, 3}, {0, 1}, {1, 1}, {2, 2}, {5, 5}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tries);
        port->written.clear();
        port->purges = 0;
        port->reads = {{0xA8, 0x00}, {0xA8}, {}, {}, {}, {}};
        EXPECT_EQ(exchange(8, 11, c.tries, 0, 0xA8), kShortRead);
        EXPECT_EQ(static_cast<int>(port->written.size()), c.expectedTries);
        // One purge before the loop and one before each try.
        EXPECT_EQ(port->purges, c.expectedTries + 1);
    }

    // A complete reply on the second try ends the loop.
    port->written.clear();
    port->reads = {{0xA0, 0x00}, {0xA0}};
    EXPECT_EQ(exchange(8, 1, 3, 0, 0xA0), 1);
    EXPECT_EQ(port->written.size(), 1u);  // 2-byte chunk cut to the 1 byte asked
    port->written.clear();
    port->reads = {{}, {0xA0}};
    EXPECT_EQ(exchange(8, 1, 3, 0, 0xA0), 1);
    EXPECT_EQ(port->written.size(), 2u);

    // The port took fewer bytes than the request: give up at once.
    port->written.clear();
    port->writeLimit = 5;
    port->reads = {{0xA0}};
    EXPECT_EQ(exchange(8, 1, 3, 0, 0xA0), kShortWrite);
    EXPECT_EQ(port->written.size(), 1u);
    EXPECT_EQ(port->reads.size(), 1u);
}

TEST_F(UnitLinkFakeTest, RefusesRequestsBeyondItsBuffers) {
    ASSERT_TRUE(link->openPort(ConnectionMode::Rs232));
    EXPECT_EQ(exchange(static_cast<int>(UnitLink::kTransmitCapacity) + 1, 1, 1, 0, 0xA0), kShortWrite);
    EXPECT_EQ(exchange(8, kMaxReplyBytes + 1, 1, 0, 0xA0), kShortRead);
    EXPECT_TRUE(port->written.empty());
    link->closePort();
    EXPECT_EQ(exchange(8, 1, 1, 0, 0xA0), kShortWrite);
}

struct RealignCase {
    const char* name;
    Bytes stale;  // left in the receive buffer by an earlier reply (empty: none)
    int replyBytes;
    std::uint8_t startByte;
    std::vector<Bytes> reads;  // the reply read, then the extra bytes read
    Bytes expected;
    std::size_t readsTaken;
};

TEST_F(UnitLinkFakeTest, RealignsARepliesOnItsStartByte) {
    const std::vector<RealignCase> cases = {
        {"reply in place", {}, 9, 0xE8, {kGoodIdentity}, kGoodIdentity, 1},
        {"two stray bytes before the reply",
         {},
         9,
         0xE8,
         {{0x11, 0x22, 0xE8, 0x00, 0x08, 0x00, 0x32, 0x01, 0x00}, {0x04, 0x00}},
         kGoodIdentity,
         2},
        {"one stray byte, missing extra byte reads as zero",
         {},
         9,
         0xE8,
         {{0x11, 0xE8, 0x00, 0x08, 0x00, 0x32, 0x01, 0x00, 0x04}},
         {0xE8, 0x00, 0x08, 0x00, 0x32, 0x01, 0x00, 0x04, 0x00},
         2},
        {"start byte at several places: the last one wins",
         {},
         9,
         0xE8,
         {{0xE8, 0xE8, 0xE8, 0x00, 0x08, 0x00, 0x32, 0x01, 0x00}, {0x04, 0x00}},
         {0xE8, 0x00, 0x08, 0x00, 0x32, 0x01, 0x00, 0x04, 0x00},
         2},
        {"no start byte in the first four: four more are read",
         {},
         9,
         0xE8,
         {{0x11, 0x22, 0x33, 0x44, 0xE8, 0x00, 0x08, 0x00, 0x32}, {0x01, 0x00, 0x04, 0x00}},
         {0xE8, 0x00, 0x08, 0x00, 0x32, 0x01, 0x00, 0x04, 0x00},
         2},
        {"refused acknowledge: the fourth extra byte becomes the reply",
         {0x33, 0x10, 0x20, 0x30},
         1,
         0xA0,
         {{0xAE}, {0x01, 0x02, 0x03, 0x44}},
         {0x44},
         2},
        {"acknowledge after an earlier reply holding the start byte at position 2",
         {0x33, 0x10, 0xA0, 0x30},
         1,
         0xA0,
         {{0xAE}, {0x55, 0x66}},
         {0x66},
         2},
        {"acknowledge in place", {0x33, 0x10, 0x20, 0x30}, 1, 0xA0, {{0xA0}}, {0xA0}, 1},
        // The search also looks at what earlier replies left: an old start byte after
        // the acknowledge shifts even a good one (the unit's replies never put one there).
        {"stale start byte after a good acknowledge",
         {0x33, 0x10, 0x20, 0xA0},
         1,
         0xA0,
         {{0xA0}, {0x01, 0x02, 0x03}},
         {0x03},
         2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(link->openPort(ConnectionMode::Rs232));
        if (!c.stale.empty()) primeReceiveBuffer(c.stale);
        port->reads.assign(c.reads.begin(), c.reads.end());
        const std::size_t before = port->readTimeouts.size();
        EXPECT_EQ(exchange(2, c.replyBytes, 1, 0, c.startByte), c.replyBytes);
        EXPECT_EQ(received(c.replyBytes), c.expected);
        EXPECT_EQ(port->readTimeouts.size() - before, c.readsTaken);
    }
}

TEST_F(UnitLinkFakeTest, RealignmentLeavesTheBytesAfterTheReply) {
    ASSERT_TRUE(link->openPort(ConnectionMode::Rs232));
    primeReceiveBuffer({0x33, 0x10, 0x20, 0x30, 0x40});
    port->reads = {{0xAE}, {0x01, 0x02, 0x03, 0x44}};
    ASSERT_EQ(exchange(8, 1, 1, 0, 0xA0), 1);
    EXPECT_EQ(received(5), (Bytes{0x44, 0x10, 0x20, 0x30, 0x40}));
}

struct IdentityCase {
    const char* name;
    Bytes reply;
    IdentifyResult result;
    int unitTypeAfter;
};

TEST_F(UnitLinkFakeTest, JudgesTheIdentificationReply) {
    const std::vector<IdentityCase> cases = {
        {"KV520", kGoodIdentity, IdentifyResult::Identified, 0x32},
        {"KV420 with length byte 9",
         {0xE8, 0x00, 0x09, 0x7F, 0x31, 0x55, 0x55, 0x55, 0x55},
         IdentifyResult::Identified,
         0x31},
        {"byte 1 not zero",
         {0xE8, 0x01, 0x08, 0x00, 0x32, 0, 0, 0, 0},
         IdentifyResult::IncorrectResponse,
         0x50},
        {"byte 2 neither 8 nor 9",
         {0xE8, 0x00, 0x07, 0x00, 0x31, 0, 0, 0, 0},
         IdentifyResult::IncorrectResponse,
         0x50},
        {"unknown model", {0xE8, 0x00, 0x08, 0x00, 0x33, 0, 0, 0, 0}, IdentifyResult::IncorrectDevice, 0x33},
        {"unknown model wins over a bad byte 1",
         {0xE8, 0x01, 0x08, 0x00, 0x33, 0, 0, 0, 0},
         IdentifyResult::IncorrectDevice,
         0x50},
        {"no start byte: realigned garbage",
         {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x32},
         IdentifyResult::IncorrectResponse,
         0x50},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        link->setBaudIndex(6);
        ASSERT_TRUE(link->openPort(ConnectionMode::Rs232));
        port->written.clear();
        port->reads = {c.reply};
        const Identification identified = link->identifyUnit();
        EXPECT_EQ(identified.result, c.result);
        // A malformed reply reports no model; a well-formed one does, known or not.
        EXPECT_EQ(identified.model.value_or(0x50), c.unitTypeAfter);
        ASSERT_FALSE(port->written.empty());
        EXPECT_EQ(port->written[0], (Bytes{0xE0, 0x01}));
        EXPECT_EQ(link->baudIndex(), 6);
    }
}

TEST_F(UnitLinkFakeTest, HuntsForTheUnitsSpeed) {
    const struct {
        const char* name;
        int startIndex;
        int answerAt;            // 0 = silent
        std::vector<int> bauds;  // configured after the first opening
        int indexAfter;
        IdentifyResult result;
    } cases[] = {
        {"silent from 115200", 6, 0, {38400, 57600, 115200, 115200}, 6, IdentifyResult::NoResponse},
        {"silent from 9600", 2, 0, {115200, 38400, 57600, 9600}, 2, IdentifyResult::NoResponse},
        {"found at 38400", 6, 38400, {38400}, 4, IdentifyResult::Identified},
        {"found at 57600", 6, 57600, {38400, 57600}, 5, IdentifyResult::Identified},
        {"found at 115200 from 2400", 0, 115200, {115200}, 6, IdentifyResult::Identified},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        link->setBaudIndex(c.startIndex);
        ASSERT_TRUE(link->openPort(ConnectionMode::Rs232));
        port->configuredBauds.clear();
        port->answerOnlyAtBaud = c.answerAt;
        port->reads.clear();
        if (c.answerAt != 0) port->reads.push_back(kGoodIdentity);
        EXPECT_EQ(link->identifyUnit().result, c.result);
        EXPECT_EQ(port->configuredBauds, c.bauds);
        EXPECT_EQ(link->baudIndex(), c.indexAfter);
        EXPECT_TRUE(link->portOpen());
    }
}

TEST_F(UnitLinkFakeTest, GoingOnlineTellsTheUserWhatWentWrong) {
    const struct {
        const char* name;
        Bytes reply;  // empty: silent
        const char* message;
    } cases[] = {
        {"silent", {}, "No Response from any Device"},
        {"bad reply", {0xE8, 0x00, 0x05, 0x00, 0x32, 0, 0, 0, 0}, "Incorrect Response from Device"},
        {"other device", {0xE8, 0x00, 0x08, 0x00, 0x34, 0, 0, 0, 0}, "Incorrect Device Responding"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        notifier.messages.clear();
        link->chooseNoConnection();
        port->reads.clear();
        if (!c.reply.empty()) port->reads.push_back(c.reply);
        EXPECT_FALSE(link->goOnline());
        EXPECT_EQ(notifier.messages, std::vector<std::string>{c.message});
        EXPECT_FALSE(link->online());
        EXPECT_FALSE(link->isUsable());
        // The port stays open on RS-232, so the next try only identifies.
        EXPECT_TRUE(link->portOpen());
        EXPECT_EQ(link->connectionMode(), ConnectionMode::Rs232);
    }

    notifier.messages.clear();
    const std::size_t opens = port->openedPaths.size();
    port->reads = {kGoodIdentity};
    EXPECT_TRUE(link->goOnline());
    EXPECT_TRUE(notifier.messages.empty());
    EXPECT_TRUE(link->isUsable());
    EXPECT_EQ(port->openedPaths.size(), opens);
}

TEST_F(UnitLinkFakeTest, GoingOnlineWithAPortThatWillNotOpen) {
    port->openSucceeds = false;
    link->setConnectionMode(ConnectionMode::Rs232);
    EXPECT_FALSE(link->goOnline());
    EXPECT_EQ(notifier.messages, std::vector<std::string>{"Cannot Open this COM port !"});
    EXPECT_EQ(notifier.reasons, std::vector<std::string>{"Permission denied (fake)"});
    EXPECT_EQ(link->connectionMode(), ConnectionMode::NoConnection);
    EXPECT_FALSE(link->online());
    EXPECT_TRUE(port->written.empty());
}

TEST_F(UnitLinkFakeTest, RemoteMenuChoices) {
    EXPECT_TRUE(link->chooseRs232(4, 3));
    EXPECT_EQ(link->comPortIndex(), 4);
    EXPECT_EQ(link->baudIndex(), 3);
    EXPECT_EQ(link->connectionMode(), ConnectionMode::Rs232);
    EXPECT_EQ(port->configuredBauds.back(), 19200);

    port->reads = {kGoodIdentity};
    ASSERT_TRUE(link->goOnline());
    link->chooseNoConnection();
    EXPECT_EQ(link->connectionMode(), ConnectionMode::NoConnection);
    EXPECT_FALSE(link->portOpen());
    EXPECT_FALSE(link->online());
    EXPECT_FALSE(port->isOpen());

    port->openSucceeds = false;
    EXPECT_FALSE(link->chooseRs232(0, 6));
    EXPECT_EQ(notifier.messages, std::vector<std::string>{"Cannot Open this COM port !"});
    EXPECT_EQ(link->connectionMode(), ConnectionMode::NoConnection);
}

TEST(LinkNotifierDefault, ShowsTheReasonUnderTheText) {
    struct Plain : LinkNotifier {
        void showLinkMessage(const std::string& text) override { shown.push_back(text); }
        std::vector<std::string> shown;
    } plain;
    plain.showPortFailure("Cannot Open this COM port !", "");
    plain.showPortFailure("Cannot Open this COM port !", "Permission denied");
    EXPECT_EQ(plain.shown, (std::vector<std::string>{"Cannot Open this COM port !",
                                                     "Cannot Open this COM port !\n\nPermission denied"}));
}

}  // namespace
}  // namespace kv
