#include "link/StatusPoller.h"

#include <gtest/gtest.h>

#include "link/SimulatedLink.h"

namespace kv {
namespace {

std::array<std::uint8_t, 11> meterReplyBytes(std::uint8_t top, std::uint8_t first, std::uint8_t second) {
    std::array<std::uint8_t, 11> reply{0xA8};
    reply[7] = top;
    reply[8] = first;
    reply[9] = second;
    return reply;
}

TEST(StatusDecoding, MeterBytesCarryTheirTopBitsInByteSeven) {
    const struct {
        std::uint8_t top, first, second;
        int raw1, raw2;
    } cases[] = {
        {0x01, 0x10, 0x00, 0x90, 0x00}, {0x02, 0x00, 0x10, 0x00, 0x90}, {0x03, 0x7F, 0x7F, 255, 255},
        {0x00, 0x28, 0x7F, 40, 127},    {0xFC, 0x05, 0x06, 5, 6},       {0x00, 0xFF, 0x80, 0x7F, 0x00},
    };
    for (const auto& c : cases) {
        const auto reading = decodeMeterReply(meterReplyBytes(c.top, c.first, c.second));
        ASSERT_TRUE(reading);
        EXPECT_EQ(reading->raw1, c.raw1) << int(c.top) << " " << int(c.first);
        EXPECT_EQ(reading->raw2, c.raw2) << int(c.top) << " " << int(c.second);
    }
    const std::array<std::uint8_t, 9> tooShort{};
    EXPECT_FALSE(decodeMeterReply(tooShort));
}

TEST(StatusDecoding, MeterValueAgainstTheLimiterLevel) {
    const struct {
        int raw, level, value;
    } cases[] = {
        {40, 0, 96}, {200, 0, 0},  {0, 0, 126},  {168, 0, 0}, {167, 0, 1},  // 125.25 -> 125
        {2, 0, 124},                                                        // 1.5 rounds up to 2
        {1, 0, 125},                                                        // 0.75 -> 1
        {40, 6, 90}, {40, 20, 76}, {150, 20, 0}, {255, 0, 0}, {0, 126, 0}, {0, 200, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(meterValue(c.raw, c.level), c.value) << c.raw << " level " << c.level;
}

TEST(StatusDecoding, TemperatureIsTheLargerReading) {
    const struct {
        std::uint8_t first, second;
        int celsius;
    } cases[] = {{58, 61, 61}, {61, 58, 61}, {0, 0, 0}, {200, 3, 200}, {0xFF, 0x10, 255}};
    for (const auto& c : cases) {
        std::array<std::uint8_t, 10> reply{0xA8};
        reply[7] = c.first;
        reply[8] = c.second;
        EXPECT_EQ(decodeTemperatureReply(reply), c.celsius);
    }
    const std::array<std::uint8_t, 8> tooShort{};
    EXPECT_FALSE(decodeTemperatureReply(tooShort));
}

TEST(StatusDecoding, TemperatureAndStatusTexts) {
    const struct {
        int celsius;
        const char* temperature;
        const char* status;
    } cases[] = {
        {-10, "---\u00B0C", "xxxx"},         {-11, "---\u00B0C", "xxxx"},
        {-9, " -9\u00B0C", "Normal"},        {0, " 0\u00B0C", "Normal"},
        {59, " 59\u00B0C", "Normal"},        {60, " 60\u00B0C", "Limiting"},
        {61, " 61\u00B0C", "Limiting"},      {65, " 65\u00B0C", "Limiting"},
        {66, " 66\u00B0C", "Hard Limiting"}, {74, " 74\u00B0C", "Hard Limiting"},
        {75, " 75\u00B0C", "Shutdown!"},     {255, " 255\u00B0C", "Shutdown!"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(temperatureText(c.celsius), c.temperature) << c.celsius;
        EXPECT_EQ(thermalStatusText(c.celsius), c.status) << c.celsius;
    }
}

// --- the schedule against the simulated unit ---

class Polling : public test::SimulatedLinkTest {
protected:
    std::size_t countOf(SimFrameKind kind) const {
        std::size_t n = 0;
        for (const SimFrame& f : sim.frames()) n += f.kind == kind ? 1 : 0;
        return n;
    }
    StatusPoller poller{link, doc};
};

TEST_F(Polling, FirstTickAsksForTheTemperatureThenEvery201stTick) {
    goOnline();
    EXPECT_EQ(poller.activate(), 500);
    const std::vector<int> temperatureTicks{1, 202, 403};
    std::vector<int> seen;
    for (int tick = 1; tick <= 410; ++tick)
        if (poller.tick().temperatureChanged) seen.push_back(tick);
    EXPECT_EQ(seen, temperatureTicks);
    EXPECT_TRUE(sim.waitForFrames(410 + 3, kWait));
    EXPECT_EQ(countOf(SimFrameKind::MeterQuery), 410u);
    EXPECT_EQ(countOf(SimFrameKind::TemperatureQuery), 3u);
}

TEST_F(Polling, RepaintRestartsTheTimerAtFifteenMilliseconds) {
    goOnline();
    poller.activate();
    EXPECT_EQ(poller.tick().restartTimerMs, std::optional<int>(15));
    EXPECT_EQ(poller.tick().restartTimerMs, std::nullopt);
    poller.markRepaint();
    const TickOutcome repainted = poller.tick();
    EXPECT_EQ(repainted.restartTimerMs, std::optional<int>(15));
    EXPECT_TRUE(repainted.redrawMeters);
    EXPECT_EQ(poller.activate(), 500);
    EXPECT_EQ(poller.tick().restartTimerMs, std::optional<int>(15));
}

TEST_F(Polling, RepliesAreDecodedAgainstTheCurrentPresetsLimiterLevels) {
    doc.setLimiterLevel(1, 10);
    goOnline();
    sim.setMeters(40, 100);
    sim.setTemperatures(58, 61);
    poller.activate();
    const TickOutcome outcome = poller.tick();
    EXPECT_TRUE(outcome.redrawMeters);
    EXPECT_TRUE(outcome.temperatureChanged);
    EXPECT_EQ(poller.meterValueOf(0), 96);
    EXPECT_EQ(poller.meterValueOf(1), 116 - 75);
    EXPECT_EQ(poller.unitTemperature(), 61);
    EXPECT_EQ(poller.temperatureText(), " 61\u00B0C");
    EXPECT_EQ(poller.statusText(), "Limiting");
}

TEST_F(Polling, OfflineNothingIsSentAndTheTextsWaitForAReading) {
    poller.activate();
    const TickOutcome first = poller.tick();
    EXPECT_TRUE(first.redrawMeters);  // the pending repaint still draws the bars once
    EXPECT_FALSE(first.temperatureChanged);
    EXPECT_FALSE(poller.tick().redrawMeters);
    EXPECT_EQ(poller.temperatureText(), "---\u00B0C");
    EXPECT_EQ(poller.statusText(), "xxxx");
    EXPECT_FALSE(link.portOpen());
    EXPECT_EQ(sim.frameCount(), 0u);
}

TEST_F(Polling, ASilentUnitLeavesTheLastReadings) {
    goOnline();
    sim.setMeters(40, 40);
    sim.setTemperatures(70, 20);
    poller.activate();
    poller.tick();
    ASSERT_EQ(poller.unitTemperature(), 70);
    sim.setSilent(true);
    const TickOutcome outcome = poller.tick();  // a meter query only: three silent tries
    EXPECT_FALSE(outcome.redrawMeters);
    EXPECT_EQ(poller.meterValueOf(0), 96);
    EXPECT_EQ(poller.statusText(), "Hard Limiting");
    // The unit has stopped answering: the link went offline and said so once; the next
    // ticks ask nothing.
    EXPECT_EQ(notifier.messages, std::vector<std::string>{kNoResponseText});
    EXPECT_FALSE(link.online());
    const std::size_t seen = sim.frameCount();
    poller.tick();
    EXPECT_EQ(sim.frameCount(), seen);
    EXPECT_EQ(notifier.messages.size(), 1u);
}

TEST_F(Polling, StrayBytesBeforeAReplyAreRealigned) {
    goOnline();
    sim.setMeters(0x90, 8);
    sim.setStrayBytes({0x01, 0x02}, 1);
    const auto reading = queryMeters(link, doc.unitType());
    ASSERT_TRUE(reading);
    EXPECT_EQ(reading->raw1, 0x90);
    EXPECT_EQ(reading->raw2, 8);
}

}  // namespace
}  // namespace kv
