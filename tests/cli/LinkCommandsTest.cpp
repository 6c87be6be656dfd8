#include "cli/LinkCommands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "cli/CliApp.h"
#include "cli/CliTestSupport.h"
#include "document/KorvaliserDoc.h"
#include "document/MessageCode.h"
#include "document/file/OvkFile.h"
#include "link/OnlineSender.h"
#include "link/PresetBuildFile.h"
#include "link/UnitLink.h"
#include "protocol/UnitProtocol.h"
#include "sim/SimulatedAmplifier.h"

namespace kv {
namespace {

namespace fs = std::filesystem;

using test::CliRun;
using test::linesOf;

CliRun runTool(std::vector<std::string> args) {
    return test::runCliWith(registerLinkCommands, std::move(args));
}

std::string hexOf(std::span<const std::uint8_t> bytes) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string text;
    for (const std::uint8_t b : bytes) {
        if (!text.empty()) text += ' ';
        text += digits[b >> 4];
        text += digits[b & 0x0F];
    }
    return text;
}

TEST(PresetLists, NumbersRangesAndAll) {
    const struct {
        const char* text;
        std::optional<PresetMask> mask;
    } cases[] = {
        {"all", kAllPresets},   {"1", 0x0001},          {"10", 0x0200},        {"1,4,7-10", 0x03C9},
        {"3-3", 0x0004},        {"2, 5", 0x0012},       {"1-10", 0x03FF},      {"5,5", 0x0010},
        {"0", std::nullopt},    {"11", std::nullopt},   {"", std::nullopt},    {"4-2", std::nullopt},
        {"1,,2", std::nullopt}, {"1-", std::nullopt},   {"x", std::nullopt},   {"1,2,", std::nullopt},
        {"-3", std::nullopt},   {"2-11", std::nullopt}, {"1.5", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(parsePresetList(c.text), c.mask) << '"' << c.text << '"';
    EXPECT_EQ(presetListText(0x03C9), "1, 4, 7, 8, 9, 10");
}

class LinkCommands : public ::testing::Test {
protected:
    LinkCommands() {
        folder =
            fs::temp_directory_path() / ("kv-cli-link-" + std::to_string(::getpid()) + "-" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
        // A KV520 bank whose preset numbers do not match its slots.
        bank.setUnitType(kUnitKV520);
        bank.setPresetOrder({9, 8, 7, 6, 5, 4, 3, 2, 1, 0});
        for (int slot = 0; slot < kPresetCount; ++slot) {
            bank.selectPreset(slot);
            bank.setGain(0, 100 + slot);
            bank.setLimiterLevel(1, slot);
            const std::string name = "Slot" + std::to_string(slot);
            bank.setPresetName(slot, std::u16string(name.begin(), name.end()));
        }
        bank.selectPreset(0);
        bankPath = (folder / "bank.ovk").string();
        EXPECT_TRUE(saveDocument(bank, bankPath).ok);
    }
    ~LinkCommands() override { fs::remove_all(folder); }

    std::vector<std::string> port() const { return {"--port", sim.devicePath()}; }
    std::vector<std::string> with(std::vector<std::string> args, const std::vector<std::string>& more) const {
        args.insert(args.end(), more.begin(), more.end());
        return args;
    }
    std::vector<SimFrame> framesAfter(std::size_t count) const {
        EXPECT_TRUE(sim.waitForFrames(count, std::chrono::milliseconds(3000)));
        return sim.frames();
    }

    fs::path folder;
    CKorvaliserDoc bank;
    std::string bankPath;
    SimulatedAmplifier sim;
};

TEST_F(LinkCommands, FramesPrintsWhatSendToUnitWouldSend) {
    // Preset 2 is slot 8 in this bank.
    bank.selectPreset(8);
    const struct {
        std::vector<std::string> args;
        int code, output, band;
    } cases[] = {
        {{"--code", "2", "--output", "1"}, MsgGain, 1, 0},
        {{"--code", "3", "--output", "2", "--band", "8"}, MsgPeqBand, 2, 8},
        {{"--code", "27", "--output", "2"}, MsgLimiterLevel, 2, 0},
        {{"--code", "28", "--output", "6"}, MsgPresetImage, 6, 0},
        {{"--code", "29", "--output", "3"}, MsgRecall, 3, 0},
        {{"--code", "1"}, MsgDelays, 0, 0},
    };
    for (const auto& c : cases) {
        const CliRun run = runTool(with({"frames", bankPath, "--preset", "2"}, c.args));
        ASSERT_EQ(run.status, 0) << run.err;
        const auto frame = framedUnitMessage(bank.preset(-1), bank.unitType(), c.code, c.output, c.band);
        ASSERT_TRUE(frame);
        EXPECT_EQ(linesOf(run.out), std::vector<std::string>{hexOf(frame->view())}) << c.code;
    }
    EXPECT_EQ(linesOf(runTool({"frames", bankPath, "--preset", "2", "--code", "29", "--output", "3"}).out)[0],
              "F1 00 08 32 01 0D 04 03 40");

    const CliRun all = runTool({"frames", bankPath, "--preset", "2", "--all"});
    ASSERT_EQ(all.status, 0) << all.err;
    const std::vector<std::string> lines = linesOf(all.out);
    ASSERT_EQ(lines.size(), 29u);
    const auto sequence = allParametersSequence();
    for (std::size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(lines[i], hexOf(framedUnitMessage(bank.preset(-1), bank.unitType(), sequence[i].code,
                                                    sequence[i].output, sequence[i].band)
                                      ->view()))
            << i;
}

TEST_F(LinkCommands, FramesRefusesMessagesThatBuildNothing) {
    const std::vector<std::vector<std::string>> bad{
        {"--code", "3", "--output", "1", "--band", "9"},
        {"--code", "11"},
        {"--code", "29", "--output", "11"},
        {"--code", "5", "--output", "1"},
        {},
    };
    for (const auto& args : bad) {
        const CliRun run = runTool(with({"frames", bankPath, "--preset", "1"}, args));
        EXPECT_NE(run.status, 0);
        EXPECT_TRUE(run.out.empty());
        EXPECT_FALSE(run.err.empty());
    }
    EXPECT_NE(runTool({"frames", bankPath, "--preset", "1", "--code", "2", "--all"}).status, 0);
}

TEST_F(LinkCommands, BuildWritesTheChosenPresetsAtTheirNumbers) {
    const struct {
        std::string presets;
        std::vector<std::string> extra;
        std::size_t size;
        int unitType;
        std::vector<int> positions;
    } cases[] = {
        {"all", {}, 7450, kUnitKV520, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {"4", {"--unit", "kv420"}, 781, kUnitKV420, {3}},
        {"1,4,7-10", {}, 32 + 6 * 741 + 8, kUnitKV520, {0, 3, 6, 7, 8, 9}},
    };
    for (const auto& c : cases) {
        const std::string out = (folder / "Preset_0001.bin").string();
        const CliRun run = runTool(with({"build", bankPath, "--presets", c.presets, "-o", out}, c.extra));
        ASSERT_EQ(run.status, 0) << run.err;
        std::ifstream in(out, std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
        ASSERT_EQ(bytes.size(), c.size) << c.presets;
        EXPECT_EQ(bytes[12], c.unitType);
        std::size_t at = 32;
        for (const int position : c.positions) {
            const UnitFrame expected =
                presetImageFrame(bank.preset(bank.slotAtPosition(position)), position, c.unitType);
            EXPECT_EQ(hexOf({bytes.data() + at, 741}), hexOf(expected.view())) << position;
            at += 741;
        }
    }
    const CliRun bad = runTool({"build", bankPath, "--presets", "0,3", "-o", (folder / "x.bin").string()});
    EXPECT_NE(bad.status, 0);
    EXPECT_FALSE(fs::exists(folder / "x.bin"));
    const std::string noFolder = (folder / "missing" / "x.bin").string();
    const CliRun unwritable = runTool({"build", bankPath, "--presets", "all", "-o", noFolder});
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_NE(unwritable.err.find(noFolder), std::string::npos) << unwritable.err;
}

TEST_F(LinkCommands, IdentifyNamesTheModel) {
    sim.setModelCode(kUnitKV420);
    const CliRun run = runTool(with({"identify"}, port()));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Identified a KV420 on " + sim.devicePath() + " at 115200 baud\n");
}

TEST_F(LinkCommands, SendAllSendsTheChosenPreset) {
    const CliRun run = runTool(with({"send-all", bankPath, "--preset", "3"}, port()));
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<SimFrame> frames = framesAfter(30);
    ASSERT_EQ(frames.size(), 30u);
    EXPECT_EQ(frames[0].kind, SimFrameKind::Identify);
    bank.selectPreset(bank.slotAtPosition(2));
    const auto sequence = allParametersSequence();
    for (std::size_t i = 0; i < sequence.size(); ++i) {
        const auto expected = framedUnitMessage(bank.preset(-1), bank.unitType(), sequence[i].code,
                                                sequence[i].output, sequence[i].band);
        EXPECT_EQ(hexOf(frames[i + 1].raw), hexOf(expected->view())) << i;
    }
    sim.refuseNextFrames(1);
    const CliRun refused = runTool(with({"send-all", bankPath, "--preset", "3"}, port()));
    EXPECT_EQ(refused.status, kExitLinkFailure);
    EXPECT_NE(refused.err.find("1 message was refused"), std::string::npos) << refused.err;
}

TEST_F(LinkCommands, StoreOfTwoPresetsIsIdentificationFrameIdentificationFrame) {
    const CliRun run = runTool(with({"store", bankPath, "--presets", "3,6"}, port()));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(linesOf(run.out),
              (std::vector<std::string>{"Sending preset 3", "Sending preset 6", "Stored presets 3, 6"}));
    const std::vector<SimFrame> frames = framesAfter(4);
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(frames[0].kind, SimFrameKind::Identify);
    EXPECT_EQ(frames[1].slot, 2);
    EXPECT_EQ(frames[2].kind, SimFrameKind::Identify);
    EXPECT_EQ(frames[3].slot, 5);
    EXPECT_EQ(sim.storedPresetName(2), "Slot7           ");
    EXPECT_EQ(sim.storedPresetName(5), "Slot4           ");
}

TEST_F(LinkCommands, RecallAsksForTheUnitPreset) {
    const CliRun run = runTool(with({"recall", "7"}, port()));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(sim.recalledPreset(), 7);
    EXPECT_NE(runTool(with({"recall", "11"}, port())).status, 0);
}

TEST_F(LinkCommands, StatusDecodesAgainstThePresetsLimiterLevels) {
    sim.setMeters(40, 100);
    sim.setTemperatures(58, 61);
    // Preset 7 is slot 3: Output 2 limiter level 3.
    const CliRun run = runTool(with({"status", bankPath, "--preset", "7"}, port()));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(linesOf(run.out), (std::vector<std::string>{"Output 1 meter: 96 (reading 40, limiter +0dB)",
                                                          "Output 2 meter: 48 (reading 100, limiter -3dB)",
                                                          "Temperature: 61\u00B0C", "Status: Limiting"}));
    const CliRun bare = runTool(with({"status"}, port()));
    ASSERT_EQ(bare.status, 0) << bare.err;
    EXPECT_EQ(linesOf(bare.out)[1], "Output 2 meter: 51 (reading 100, limiter +0dB)");
}

TEST_F(LinkCommands, ASilentUnitFailsEveryLinkCommandWithTheUsersMessage) {
    sim.setSilent(true);
    const std::vector<std::vector<std::string>> commands{
        {"identify"},
        {"store", bankPath, "--presets", "1,2"},
        {"recall", "1"},
        {"status"},
    };
    for (const auto& command : commands) {
        const CliRun run = runTool(with(command, port()));
        EXPECT_EQ(run.status, kExitLinkFailure) << command[0];
        EXPECT_EQ(run.err, "korvaliser-cli: No Response from any Device\n") << command[0];
    }
    for (const SimFrame& f : sim.frames()) EXPECT_EQ(f.kind, SimFrameKind::Identify);
}

TEST_F(LinkCommands, APortThatCannotBeOpenedIsReported) {
    const CliRun run = runTool({"identify", "--port", (folder / "no-such-device").string()});
    EXPECT_EQ(run.status, kExitLinkFailure);
    EXPECT_EQ(run.err.rfind("korvaliser-cli: Cannot Open this COM port !", 0), 0u) << run.err;
    EXPECT_NE(runTool({"identify", "--port", sim.devicePath(), "--baud", "1234"}).status, 0);
}

}  // namespace
}  // namespace kv
