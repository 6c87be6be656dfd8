#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "cli/CliApp.h"
#include "cli/CliTestSupport.h"
#include "cli/OfflineCommands.h"
#include "document/file/OvkFile.h"

namespace kv {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

using test::CliRun;
using test::linesOf;

CliRun runTool(std::vector<std::string> args) {
    return test::runCliWith(registerOfflineCommands, std::move(args));
}

bool hasLine(const std::string& text, const std::string& line) {
    for (const std::string& l : linesOf(text))
        if (l == line) return true;
    return false;
}

Bytes readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class CliTest : public ::testing::Test {
protected:
    CliTest() {
        std::random_device random;
        folder_ = fs::temp_directory_path() / ("kv-cli-test-" + std::to_string(random()));
        fs::create_directories(folder_);
    }
    ~CliTest() override {
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }
    std::string file(const std::string& name) const { return (folder_ / name).string(); }

    // A new bank with edits made through the document, saved as name.
    std::string bankWith(const std::string& name, const std::function<void(CKorvaliserDoc&)>& edit) const {
        CKorvaliserDoc doc;
        edit(doc);
        EXPECT_TRUE(saveDocument(doc, file(name)).ok);
        return file(name);
    }
    CKorvaliserDoc loaded(const std::string& path) const {
        CKorvaliserDoc doc;
        EXPECT_TRUE(loadDocument(doc, path).ok);
        return doc;
    }

private:
    fs::path folder_;
};

TEST_F(CliTest, NewWritesADefaultBankForTheChosenUnit) {
    struct Case {
        std::vector<std::string> options;
        std::uint8_t unitByte;
    };
    const std::vector<Case> cases{{{}, 0x31}, {{"--unit", "KV520"}, 0x32}, {{"--unit", "kv420"}, 0x31}};
    int n = 0;
    for (const Case& c : cases) {
        const std::string path = file("new" + std::to_string(n++) + ".ovk");
        std::vector<std::string> args{"new", path};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const CliRun run = runTool(args);
        ASSERT_EQ(run.status, 0) << run.err;
        const Bytes bytes = readAll(path);
        ASSERT_EQ(bytes.size(), 10192u);
        EXPECT_EQ(bytes[2], c.unitByte);
        CKorvaliserDoc expected;
        expected.setUnitType(c.unitByte);
        EXPECT_EQ(bytes, encodeDocument(expected));
    }
}

TEST_F(CliTest, NewKeepsAnExistingFileUnlessForced) {
    const std::string path = bankWith("kept.ovk", [](CKorvaliserDoc& d) { d.setGain(0, 99); });
    const Bytes before = readAll(path);
    const CliRun refused = runTool({"new", path});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("already exists"), std::string::npos) << refused.err;
    EXPECT_EQ(readAll(path), before);
    EXPECT_EQ(runTool({"new", path, "--force"}).status, 0);
    EXPECT_EQ(readAll(path), encodeDocument(CKorvaliserDoc{}));
}

TEST_F(CliTest, BadCommandLinesExitWithTwo) {
    const std::string path = bankWith("a.ovk", [](CKorvaliserDoc&) {});
    const std::vector<std::vector<std::string>> cases{
        {},
        {"frobnicate"},
        {"new"},
        {"new", file("b.ovk"), "--unit", "KV999"},
        {"show", path, "--preset", "0"},
        {"show", path, "--preset", "11"},
        {"show", path, "--preset", "one"},
        {"set", path, "out1.gain=100"},  // assignments need --preset
        {"response", path, "--output", "1"},
        {"response", path, "--preset", "1", "--output", "3"},
        {"response", path, "--preset", "1", "--output", "1", "--element", "mid"},
        {"response", path, "--preset", "1", "--output", "1", "--element", "band13"},
        {"response", path, "--preset", "1", "--output", "1", "--model", "digital"},
        {"response", path, "--preset", "1", "--output", "1", "--element", "gain"},  // DSP model only
    };
    for (const auto& args : cases) {
        const CliRun run = runTool(args);
        EXPECT_EQ(run.status, 2) << (args.empty() ? "(nothing)" : args[0]) << " " << run.err;
        EXPECT_FALSE(run.err.empty());
    }
    EXPECT_EQ(readAll(path), encodeDocument(CKorvaliserDoc{}));
    EXPECT_FALSE(fs::exists(file("b.ovk")));
    const CliRun help = runTool({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("response"), std::string::npos);
}

TEST_F(CliTest, FileProblemsExitWithOneAndNameTheFile) {
    std::ofstream(file("empty.ovk")).close();
    std::ofstream(file("short.ovk")) << "\x0D\x17\x31";
    const std::vector<std::vector<std::string>> cases{
        {"show", file("missing.ovk")},
        {"show", file("empty.ovk")},
        {"set", file("short.ovk"), "--preset", "1", "name=x"},
        {"response", file("missing.ovk"), "--preset", "1", "--output", "1"},
        {"new", file("no-such-folder/x.ovk")},
    };
    for (const auto& args : cases) {
        const CliRun run = runTool(args);
        EXPECT_EQ(run.status, 1) << args[0] << " " << args[1];
        EXPECT_NE(run.err.find("\"" + args[1] + "\""), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty()) << run.out;
    }
    EXPECT_EQ(readAll(file("short.ovk")).size(), 3u);  // a failed command writes nothing
}

TEST_F(CliTest, ShowPrintsTheReportTextsOfAPreset) {
    const std::string path = bankWith("show.ovk", [](CKorvaliserDoc& d) {
        d.setUnitType(kUnitKV520);
        d.selectPreset(4);
        d.setPresetName(-1, u"Mains \u00E9");
        d.setInvert(0, true);
        d.setGain(0, 30);
        d.setMute(1, true);
        d.setDelay(1, 2038);
        d.setHighPassFrequency(0, 71);
        d.setHighPassSlope(0, 7);
        d.setLowPassSlope(0, 12);
        d.setLimiterLevel(0, 6);
        d.setBandGain(0, 0, -300);
        d.setBandFlat(0, 1, 1);
        d.setBandGain(0, 1, 60);
        d.setBandType(0, 2, 8);
        d.setBandQ(0, 2, 45);
        d.setBandType(0, 3, 11);
        d.setBandFrequency(0, 3, 433);
        d.setBandQ(0, 4, 84);
        d.setBandFrequency(0, 7, 12);
        std::array<std::int16_t, kPresetCount> order{4, 0, 1, 2, 3, 5, 6, 7, 8, 9};
        d.setPresetOrder(order);
    });
    const CliRun run = runTool({"show", path, "--preset", "1"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> expected{
        "Unit: KV520",
        "",
        "Preset 1: Mains \xC3\xA9",
        "  Output [1]",
        "    Highpass:  30.7Hz  6dB 1st Order",
        "    Lowpass:   1k62Hz  ",
        "    Gain:     +12.0dB   (-180')",
        "    Mute:     off",
        "    Delay:     0.0000 mS",
        "    Limiter:  Attack:  45mS  Release: x16  at -6dB",
        "            Freq.    Q       Gain      Type",
        "    PEQ 1    1k00Hz   3.0    -30.0dB   PEQ",
        "    PEQ 2    1k00Hz   3.0    Bypassed  PEQ",
        "    PEQ 3    1k00Hz  90\xC2\xB0     N/A       Phase",
        "    PEQ 4   >32k0Hz  N/A     N/A       Ellip.LP",
        "    PEQ 5    1k00Hz  1.00     +0.0dB   PEQ",
        "    PEQ 6    1k00Hz   3.0     +0.0dB   PEQ",
        "    PEQ 7    1k00Hz   3.0     +0.0dB   PEQ",
        "    PEQ 8    <10Hz    3.0     +0.0dB   PEQ",
        "  Output [2]",
        "    Highpass:  1k62Hz  24dB Link/Riley",
        "    Lowpass:   22k2Hz  24dB Link/Riley",
        "    Gain:      +0.0dB",
        "    Mute:     on",
        "    Delay:    21.2292 mS",
        "    Limiter:  Attack: 0.5mS  Release: x16  at +0dB",
        "            Freq.    Q       Gain      Type",
    };
    const std::vector<std::string> lines = linesOf(run.out);
    ASSERT_GE(lines.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(lines[i], expected[i]) << "line " << i;
    EXPECT_EQ(lines.size(), expected.size() + 8);
}

TEST_F(CliTest, ShowListsEveryPresetInTheUsersOrder) {
    const std::string path = bankWith("order.ovk", [](CKorvaliserDoc& d) {
        std::array<std::int16_t, kPresetCount> order{9, 8, 7, 6, 5, 4, 3, 2, 1, 0};
        d.setPresetOrder(order);
    });
    const CliRun run = runTool({"show", path, "--bandwidth"});
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::string> headers;
    for (const std::string& line : linesOf(run.out))
        if (line.rfind("Preset ", 0) == 0) headers.push_back(line);
    ASSERT_EQ(headers.size(), 10u);
    EXPECT_EQ(headers.front(), "Preset 1: Preset 9");
    EXPECT_EQ(headers.back(), "Preset 10: Preset 0");
    EXPECT_TRUE(hasLine(run.out, "            Freq.    BandWd  Gain      Type"));
    EXPECT_TRUE(hasLine(run.out, "    PEQ 1    1k00Hz  0.3337   +0.0dB   PEQ"));
}

TEST_F(CliTest, SetAppliesInOrderToTheNumberedPresetAndSaves) {
    const std::string path = bankWith("set.ovk", [](CKorvaliserDoc& d) {
        std::array<std::int16_t, kPresetCount> order{0, 1, 2, 7, 3, 4, 5, 6, 8, 9};
        d.setPresetOrder(order);
    });
    const CliRun run =
        runTool({"set", path, "--preset", "4", "name=Fills", "out1.gain=10", "out2.delay=2000",
                 "out1.delay=100", "out1.band3.type=1", "out1.band3.gain=-150", "--unit", "KV520"});
    ASSERT_EQ(run.status, 0) << run.err;
    CKorvaliserDoc doc = loaded(path);
    EXPECT_EQ(doc.unitType(), kUnitKV520);
    EXPECT_EQ(doc.presetNameText(7), u"Fills");
    doc.selectPreset(7);  // position 4 is slot 7
    EXPECT_EQ(doc.gain(0), 30);
    EXPECT_EQ(doc.delay(1), 2000);
    EXPECT_EQ(doc.delay(0), 38);
    EXPECT_EQ(doc.bandType(0, 2), 1);
    EXPECT_EQ(doc.bandGain(0, 2), -150);
    doc.selectPreset(3);
    EXPECT_EQ(doc.gain(0), 150);  // the slot at position 4 by number alone is untouched
    EXPECT_EQ(doc.presetNameText(3), u"Preset 3");

    EXPECT_EQ(runTool({"set", path, "--unit", "KV420"}).status, 0);
    EXPECT_EQ(loaded(path).unitType(), kUnitKV420);
}

TEST_F(CliTest, ARefusedAssignmentLeavesTheFileAsItWas) {
    const std::string path = bankWith("refuse.ovk", [](CKorvaliserDoc&) {});
    const Bytes before = readAll(path);
    const std::vector<std::vector<std::string>> cases{
        {"out1.gain=100", "out1.colour=3"},
        {"out1.gain=100", "out1.band1.gain=loud"},
        {"out1.gain=100", "out1.band1.type=7", "out1.band1.gain=-10"},
        {"name=Changed", "out2.limiter=40"},
    };
    for (const auto& assignments : cases) {
        std::vector<std::string> args{"set", path, "--preset", "1", "--unit", "KV520"};
        args.insert(args.end(), assignments.begin(), assignments.end());
        const CliRun run = runTool(args);
        EXPECT_EQ(run.status, 1) << assignments.back();
        EXPECT_NE(run.err.find("was not changed"), std::string::npos) << run.err;
        EXPECT_EQ(readAll(path), before) << assignments.back();
    }
}

struct ResponseLine {
    int point;
    double hz;
    std::string db;
};

std::vector<ResponseLine> responseLines(const std::string& text) {
    std::vector<ResponseLine> parsed;
    for (const std::string& line : linesOf(text)) {
        std::istringstream in(line);
        ResponseLine r;
        std::string hz;
        std::getline(in, hz, '\t');
        r.point = std::stoi(hz);
        std::getline(in, hz, '\t');
        r.hz = std::stod(hz);
        std::getline(in, r.db);
        parsed.push_back(r);
    }
    return parsed;
}

double decibels(const std::string& text) {
    return text == "-inf" ? -std::numeric_limits<double>::infinity() : std::stod(text);
}

TEST_F(CliTest, ResponseListsTheGridAndMarksANotchAsMinusInfinity) {
    const std::string path = bankWith("notch.ovk", [](CKorvaliserDoc& d) {
        d.selectPreset(2);
        d.setBandType(1, 4, 7);  // Notch at 1 kHz, on grid point 240
    });
    const CliRun run = runTool({"response", path, "--preset", "3", "--output", "2", "--element", "band5"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<ResponseLine> lines = responseLines(run.out);
    ASSERT_EQ(lines.size(), 420u);
    for (int k = 0; k < 420; ++k) EXPECT_EQ(lines[static_cast<std::size_t>(k)].point, k);
    EXPECT_NEAR(lines[0].hz, 9.843, 1e-3);
    EXPECT_NEAR(lines[240].hz, 1000.0, 1e-3);
    EXPECT_NEAR(lines[419].hz, 31389.8, 0.05);
    EXPECT_EQ(lines[240].db, "-inf");
    EXPECT_LT(decibels(lines[239].db), -10.0);
    EXPECT_GT(decibels(lines[0].db), -0.01);
}

TEST_F(CliTest, ResponseElementsAndTheirTotal) {
    const std::string path = bankWith("total.ovk", [](CKorvaliserDoc& d) {
        d.setBandGain(0, 0, 120);
        d.setBandFrequency(0, 5, 300);
        d.setBandGain(0, 5, -90);
        d.setBandFlat(0, 6, 1);
        d.setBandGain(0, 6, 150);  // flat: adds nothing
    });
    auto element = [&](const std::string& name) {
        const CliRun run = runTool({"response", path, "--preset", "1", "--output", "1", "--element", name});
        EXPECT_EQ(run.status, 0) << name << run.err;
        return responseLines(run.out);
    };
    const auto total = element("total");
    const auto implicitTotal =
        responseLines(runTool({"response", path, "--preset", "1", "--output", "1"}).out);
    ASSERT_EQ(total.size(), 420u);
    ASSERT_EQ(implicitTotal.size(), 420u);
    std::vector<double> sum(420, 0.0);
    for (const char* name :
         {"hp", "lp", "band1", "band2", "band3", "band4", "band5", "band6", "band7", "band8"}) {
        const auto lines = element(name);
        ASSERT_EQ(lines.size(), 420u) << name;
        for (std::size_t k = 0; k < 420; ++k) sum[k] += decibels(lines[k].db);
    }
    for (std::size_t k = 0; k < 420; k += 7) {
        EXPECT_NEAR(decibels(total[k].db), sum[k], 2e-3) << "point " << k;
        EXPECT_EQ(total[k].db, implicitTotal[k].db);
    }
    EXPECT_NEAR(decibels(element("band1")[240].db), 12.0, 1e-3);
    EXPECT_NEAR(decibels(element("band7")[100].db), 0.0, 1e-9);

    const CliRun beyond = runTool({"response", path, "--preset", "1", "--output", "1", "--element", "band9"});
    EXPECT_EQ(beyond.status, 1);
    EXPECT_NE(beyond.err.find("8 bands in use"), std::string::npos) << beyond.err;
}

TEST_F(CliTest, ResponseOfTheWordsOnTheWireAndThePhase) {
    const std::string path = bankWith("steep.ovk", [](CKorvaliserDoc& d) {
        d.setHighPassFrequency(0, 150);
        d.setHighPassSlope(0, 11);  // 48 dB Link/Riley: the unit receives a 24 dB slope
        d.setInvert(0, true);
    });
    auto run = [&](std::vector<std::string> extra) {
        std::vector<std::string> args{"response", path, "--preset", "1", "--output", "1"};
        args.insert(args.end(), extra.begin(), extra.end());
        const CliRun result = runTool(args);
        EXPECT_EQ(result.status, 0) << result.err;
        return result.out;
    };
    const std::string analog = run({"--element", "hp"});
    EXPECT_EQ(run({"--element", "hp", "--model", "analog"}), analog);

    // --phase adds a fourth column and leaves the other three as they were.
    const std::vector<std::string> plain = linesOf(analog);
    const std::vector<std::string> phased = linesOf(run({"--element", "hp", "--phase"}));
    ASSERT_EQ(phased.size(), 420u);
    for (std::size_t k = 0; k < phased.size(); ++k) {
        const std::size_t tab = phased[k].rfind('\t');
        ASSERT_EQ(phased[k].substr(0, tab), plain[k]);
        const double degrees = std::stod(phased[k].substr(tab + 1));
        ASSERT_TRUE(degrees > -180.0 && degrees <= 180.0) << phased[k];
    }

    // An octave below the corner the model falls 48.2 dB, the words on the wire 24.6 dB.
    const auto model = responseLines(analog);
    const auto dsp = responseLines(run({"--element", "hp", "--model", "dsp"}));
    ASSERT_EQ(dsp.size(), 420u);
    EXPECT_NEAR(decibels(model[102].db), -48.2, 0.05);
    EXPECT_NEAR(decibels(dsp[102].db), -24.6, 0.05);
    EXPECT_NEAR(decibels(dsp[300].db), 0.0, 1e-3);

    // The inverted gain word of 0 dB: its own element, at 180 degrees everywhere.
    const std::vector<std::string> gain = linesOf(run({"--element", "gain", "--model", "dsp", "--phase"}));
    ASSERT_EQ(gain.size(), 420u);
    EXPECT_EQ(gain[0], "0\t9.843\t0.0000\t180.0000");
}

}  // namespace
}  // namespace kv
