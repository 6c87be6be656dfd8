// The simulated amplifier over a real pseudo-terminal, driven by a plain serial port
// the way the program's link drives it.

#include <gtest/gtest.h>
#include <set>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "HostFrames.h"
#include "document/MessageCode.h"
#include "link/PosixSerialPort.h"
#include "sim/SimulatedAmplifier.h"

namespace kv {
namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

const Bytes kIdentify{0xE0, 0x01};
const Bytes kMeterQuery520{0xF0, 0x00, 0x07, 0x32, 0x01, 0x0D, 0x3E, 0x75};
const Bytes kTemperatureQuery520{0xF0, 0x00, 0x07, 0x32, 0x01, 0x0D, 0x3D, 0x74};
const Bytes kLimiterLevel520{0xF1, 0x00, 0x0A, 0x32, 0x01, 0x0D, 0x02, 0x02, 0x01, 0x7A, 0x3A};

Bytes recallFrame(int number, int model = 0x32) {
    return test::hostFrame(0xF1, model, 0x04, {static_cast<std::uint8_t>(number)});
}

// A whole-preset frame for `slot` whose name field holds `name`.
Bytes presetFrame(int slot, const std::string& name, int model = 0x32) {
    Bytes body(641, 0x00);
    body[0] = static_cast<std::uint8_t>(slot);
    body[1] = 0xC3;  // a byte with the top bit set, to see the packing undone
    for (std::size_t i = 0; i < 16; ++i)
        body[535 + i] = i < name.size() ? static_cast<std::uint8_t>(name[i]) : 0x20;
    return test::hostFrame(0xF1, model, 0x03, test::packed(body));
}

class SimulatorTest : public testing::Test {
protected:
    void open(int baud = 115200) {
        ASSERT_TRUE(port.open(sim->devicePath())) << port.lastError();
        ASSERT_TRUE(port.configure(baud)) << port.lastError();
        // Generous: a reply that comes at all comes well within this.
        port.setTimeouts({200, 0, 1500, 0, 1000});
    }
    Bytes ask(const Bytes& request, std::size_t replyBytes) {
        port.purgeReceive();
        EXPECT_EQ(port.write(request), request.size()) << port.lastError();
        Bytes reply(replyBytes);
        reply.resize(port.read(reply));
        return reply;
    }

    std::unique_ptr<SimulatedAmplifier> sim = std::make_unique<SimulatedAmplifier>();
    PosixSerialPort port;
};

TEST_F(SimulatorTest, AcknowledgesValidFramesAndRefusesBadOnes) {
    open();
    Bytes badChecksum = kLimiterLevel520;
    badChecksum.back() ^= 0x01;
    Bytes otherModel = recallFrame(2, 0x31);
    EXPECT_EQ(ask(kLimiterLevel520, 1), Bytes{kSimAcknowledge});
    EXPECT_EQ(ask(badChecksum, 1), Bytes{kSimRefusal});
    EXPECT_EQ(ask(otherModel, 1), Bytes{kSimRefusal});
    EXPECT_EQ(ask(recallFrame(4), 1), Bytes{kSimAcknowledge});
    EXPECT_EQ(sim->recalledPreset(), 4);

    ASSERT_TRUE(sim->waitForFrames(4, 1s));
    const auto frames = sim->frames();
    EXPECT_EQ(frames[0].code, MsgLimiterLevel);
    EXPECT_EQ(frames[0].output, 2);
    EXPECT_TRUE(frames[0].accepted);
    EXPECT_EQ(frames[0].raw, kLimiterLevel520);
    EXPECT_EQ(frames[0].hostBaud, 115200);
    EXPECT_EQ(frames[1].kind, SimFrameKind::Invalid);
    EXPECT_EQ(frames[1].problem, "bad checksum");
    EXPECT_TRUE(frames[1].answered);
    EXPECT_FALSE(frames[1].accepted);
    EXPECT_EQ(frames[3].presetNumber, 4);
}

TEST_F(SimulatorTest, RefusesAFrameCutShort) {
    open();
    const Bytes cut(kLimiterLevel520.begin(), kLimiterLevel520.begin() + 6);
    EXPECT_EQ(ask(cut, 1), Bytes{kSimRefusal});
    // The unit listens again afterwards.
    EXPECT_EQ(ask(kLimiterLevel520, 1), Bytes{kSimAcknowledge});
}

TEST_F(SimulatorTest, StoresWholePresetsInTheirSlots) {
    open();
    EXPECT_FALSE(sim->storedPreset(3).has_value());
    const Bytes frame = presetFrame(3, "Main");
    ASSERT_EQ(frame.size(), 741u);
    EXPECT_EQ(ask(frame, 1), Bytes{kSimAcknowledge});
    const auto stored = sim->storedPreset(3);
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ((*stored)[0], 0xC3);
    EXPECT_EQ(sim->storedPresetName(3), "Main            ");
    EXPECT_FALSE(sim->storedPreset(2).has_value());
    EXPECT_FALSE(sim->storedPreset(10).has_value());
    ASSERT_EQ(sim->frameCount(), 1u);
    EXPECT_EQ(sim->frames().back().slot, 3);

    EXPECT_EQ(ask(presetFrame(3, "Second"), 1), Bytes{kSimAcknowledge});
    EXPECT_EQ(sim->storedPresetName(3), "Second          ");
}

TEST_F(SimulatorTest, AnswersTemperatureAndMeters) {
    open();
    sim->setTemperatures(58, 61);
    const Bytes temperature = ask(kTemperatureQuery520, 10);
    ASSERT_EQ(temperature.size(), 10u);
    EXPECT_EQ(temperature[0], 0xA8);
    EXPECT_EQ(temperature[7], 58);
    EXPECT_EQ(temperature[8], 61);

    sim->setMeters(144, 7);
    const Bytes fixed = ask(kMeterQuery520, 11);
    ASSERT_EQ(fixed.size(), 11u);
    EXPECT_EQ(fixed[0], 0xA8);
    EXPECT_EQ(fixed[7], 0x01);
    EXPECT_EQ(fixed[8], 0x10);
    EXPECT_EQ(fixed[9], 7);

    // Moving meters change over a second (a slow sine).
    sim->setMovingMeters();
    std::set<Bytes> seen;
    for (int i = 0; i < 4; ++i) {
        const Bytes reply = ask(kMeterQuery520, 11);
        ASSERT_EQ(reply.size(), 11u);
        seen.insert(Bytes(reply.begin() + 7, reply.begin() + 10));
        std::this_thread::sleep_for(250ms);
    }
    EXPECT_GT(seen.size(), 1u);
}

TEST_F(SimulatorTest, TakesTheWireTimeOfTheHostSpeed) {
    sim->setEmulateWireTime(true);
    open(2400);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ask(kIdentify, 9).size(), 9u);
    // 11 bytes of 10 bits at 2400 baud: 46 ms at least.
    EXPECT_GE(std::chrono::steady_clock::now() - start, 45ms);
}

TEST_F(SimulatorTest, InjectsSilenceStrayBytesAndRefusals) {
    open();
    port.setTimeouts({50, 0, 150, 0, 1000});
    sim->setSilent(true);
    EXPECT_TRUE(ask(kLimiterLevel520, 1).empty());
    sim->setSilent(false);

    sim->setStrayBytes({0x11, 0x22}, 1);
    EXPECT_EQ(ask(kIdentify, 11).size(), 11u);
    EXPECT_EQ(port.timeouts().readIntervalMs, 50);
    const Bytes clean = ask(kIdentify, 9);
    EXPECT_EQ(clean[0], 0xE8);

    sim->refuseNextFrames(2);
    EXPECT_EQ(ask(kLimiterLevel520, 1), Bytes{kSimRefusal});
    EXPECT_EQ(ask(kLimiterLevel520, 1), Bytes{kSimRefusal});
    EXPECT_EQ(ask(kLimiterLevel520, 1), Bytes{kSimAcknowledge});
    // Refusals are for data frames; queries are still answered.
    sim->refuseNextFrames(1);
    EXPECT_EQ(ask(kMeterQuery520, 11).size(), 11u);
    EXPECT_EQ(ask(kLimiterLevel520, 1), Bytes{kSimRefusal});
}

TEST_F(SimulatorTest, HangsUpAfterTheChosenNumberOfFrames) {
    open();
    port.setTimeouts({50, 0, 300, 0, 300});
    sim->hangUpAfterFrames(2);
    EXPECT_EQ(ask(presetFrame(0, "A"), 1), Bytes{kSimAcknowledge});
    EXPECT_EQ(ask(kIdentify, 9).size(), 9u);  // identification does not count
    EXPECT_EQ(ask(presetFrame(1, "B"), 1), Bytes{kSimAcknowledge});
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(ask(presetFrame(2, "C"), 1).empty());
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    EXPECT_FALSE(sim->isConnected());
    EXPECT_FALSE(port.lastError().empty());
    EXPECT_FALSE(sim->storedPreset(2).has_value());
    // The device is gone for good.
    port.close();
    PosixSerialPort again;
    EXPECT_FALSE(again.open(sim->devicePath()));
}

TEST_F(SimulatorTest, HangUpAtOnceCutsAWaitingHost) {
    open();
    port.setTimeouts({0, 0, 5000, 0, 1000});
    std::thread cutter([this] {
        std::this_thread::sleep_for(100ms);
        sim->hangUp();
    });
    const auto start = std::chrono::steady_clock::now();
    Bytes nothing(9);
    EXPECT_EQ(port.read(nothing), 0u);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
    cutter.join();
    EXPECT_FALSE(sim->isConnected());
}

TEST(SimulatorLog, WritesAJsonLinePerFrameToFileAndStream) {
    const auto path =
        std::filesystem::temp_directory_path() / ("kvsim-log-" + std::to_string(::getpid()) + ".jsonl");
    std::filesystem::remove(path);
    std::ostringstream stream;
    {
        SimulatorOptions options;
        options.logPath = path.string();
        options.logStream = &stream;
        SimulatedAmplifier sim(options);
        PosixSerialPort port;
        ASSERT_TRUE(port.open(sim.devicePath()));
        ASSERT_TRUE(port.configure(115200));
        port.setTimeouts({100, 0, 1000, 0, 1000});
        for (const Bytes& request : {kIdentify, kLimiterLevel520}) {
            port.write(request);
            Bytes reply(request == kIdentify ? 9 : 1);
            port.read(reply);
        }
        ASSERT_TRUE(sim.waitForFrames(2, 1s));
    }
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    std::filesystem::remove(path);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].rfind("{\"kind\":\"identify\"", 0), 0u);
    EXPECT_NE(lines[1].find("\"code\":27,\"output\":2"), std::string::npos);
    EXPECT_NE(lines[1].find("\"raw\":\"f1000a32010d0202017a3a\""), std::string::npos);
    EXPECT_EQ(stream.str(), lines[0] + "\n" + lines[1] + "\n");
}

TEST(SimulatorLifetime, StopsPromptlyWhileEmulatingSlowWireTime) {
    const auto start = std::chrono::steady_clock::now();
    {
        SimulatedAmplifier sim;
        sim.setEmulateWireTime(true);
        PosixSerialPort port;
        ASSERT_TRUE(port.open(sim.devicePath()));
        ASSERT_TRUE(port.configure(2400));
        port.write(presetFrame(0, "Slow"));  // some 3 s of wire time at 2400 baud
        ASSERT_TRUE(sim.waitForFrames(0, 10ms));
        std::this_thread::sleep_for(100ms);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2500ms);
}

TEST(SimulatorLifetime, ReportsAMissingLogFile) {
    SimulatorOptions options;
    options.logPath = "/nonexistent-dir/kvsim.jsonl";
    EXPECT_THROW(SimulatedAmplifier{options}, std::runtime_error);
}

}  // namespace
}  // namespace kv
