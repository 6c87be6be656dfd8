#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "cli/CliTestSupport.h"
#include "cli/PresetAssignment.h"
#include "cli/tuning/AutoEqCommand.h"
#include "document/file/OvkFile.h"
#include "response/analog/AnalogElement.h"
#include "response/analog/FilterCurve.h"

namespace kv {
namespace {

namespace fs = std::filesystem;

test::CliRun runTool(std::vector<std::string> args) {
    return test::runCliWith(registerTuningCommands, std::move(args));
}

std::string contentOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class AutoEqCommand : public ::testing::Test {
protected:
    AutoEqCommand() {
        std::random_device random;
        folder_ = fs::temp_directory_path() / ("kv-autoeq-test-" + std::to_string(random()));
        fs::create_directories(folder_);
        // Preset 1, output 1: crossovers off, band 2 boosting, band 5 switched flat.
        CKorvaliserDoc doc;
        doc.setHighPassFrequency(0, 12);
        doc.setLowPassFrequency(0, 433);
        doc.setBandGain(0, 1, 30);
        doc.setBandFlat(0, 4, 1);
        EXPECT_TRUE(saveDocument(doc, bank()).ok);
        writeMeasurement("m.txt");
    }
    ~AutoEqCommand() override {
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }

    std::string file(const std::string& name) const { return (folder_ / name).string(); }
    std::string bank() const { return file("show.ovk"); }

    // A measurement export of a loudspeaker at 85 dB with a resonance at 70 Hz and a dip at
    // 3 kHz, every 1/24 octave from 20 Hz to 20 kHz.
    void writeMeasurement(const std::string& name) const {
        std::ofstream out(file(name));
        out << "* Measurement data\n* Freq(Hz) SPL(dB) Phase(degrees)\n";
        for (double hz = 20.0; hz < 20000.0; hz *= std::exp2(1.0 / 24.0)) {
            double db = 85.0;
            db += 20.0 *
                  std::log10(std::abs(analogElementResponse(analogElement(PeqPeaking, 70.0, 2.0, 6.0), hz)));
            db +=
                20.0 *
                std::log10(std::abs(analogElementResponse(analogElement(PeqPeaking, 3000.0, 3.0, -4.0), hz)));
            out << hz << ' ' << db << " 0\n";
        }
    }

private:
    fs::path folder_;
};

TEST_F(AutoEqCommand, SetsTheFreeBandsAsItReportsAndSavesTheBank) {
    const test::CliRun run =
        runTool({"autoeq", bank(), "--preset", "1", "--output", "1", "--measurement", file("m.txt")});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> lines = test::linesOf(run.out);
    ASSERT_GE(lines.size(), 3u);
    double before = 0.0, continuous = 0.0, snapped = 0.0;
    ASSERT_EQ(std::sscanf(lines[1].c_str(),
                          "RMS error: before %lf dB, continuous fit %lf dB, snapped to the unit's steps %lf",
                          &before, &continuous, &snapped),
              3)
        << lines[1];
    EXPECT_GT(before, 1.0);
    EXPECT_LT(snapped, 0.1);

    // Free are bands 1, 3, 4, 5 (flat), 6, 7, 8; each reported line ends in set assignments
    // that must give back exactly the bank that was saved.
    CKorvaliserDoc saved;
    ASSERT_TRUE(loadDocument(saved, bank()).ok);
    CKorvaliserDoc expected;
    ASSERT_TRUE(loadDocument(expected, bank()).ok);
    int bandLines = 0;
    for (const std::string& line : lines) {
        if (line.rfind("band ", 0) != 0) continue;
        ++bandLines;
        EXPECT_EQ(line.find("band 2:"), std::string::npos);
        std::istringstream words(line.substr(line.find("   ")));
        for (std::string word; words >> word;) EXPECT_EQ(applyAssignment(expected, word), "") << word;
    }
    EXPECT_EQ(bandLines, 7);
    EXPECT_EQ(saved.outputChannel(0).bands[1].gain, 30);
    EXPECT_EQ(encodeDocument(saved), encodeDocument(expected));
    EXPECT_NE(saved.outputChannel(0).bands[0].gain, 0);
}

TEST_F(AutoEqCommand, ADryRunOrAFailureLeavesTheBankAlone) {
    const std::string original = contentOf(bank());
    std::ofstream(file("bad.txt")) << "20 80\n40 81\n60 loud\n";
    struct Case {
        std::vector<std::string> extra;
        int status;
        std::string error;
    };
    const Case cases[] = {
        {{"--dry-run", "--bands", "1-8", "--target", "tilt:-1.0", "--cuts-only"}, 0, ""},
        {{"--target", file("m.txt"), "--range", "100-10000", "--max-boost", "3", "--dry-run"}, 0, ""},
        {{"--range", "16000-40"}, 2, "is not a range"},
        {{"--target", "tilt:x"}, 2, "is not a target"},
        {{"--bands", "9"}, 2, "is not a list of bands 1..8"},
        {{"--target", file("bad.txt")}, 1, "bad.txt: line 3: \"loud\" is not a number"},
        {{"--target", file("missing.txt")}, 1, "missing.txt"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args{"autoeq",   bank(), "--preset",      "1",
                                      "--output", "1",    "--measurement", file("m.txt")};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        const test::CliRun run = runTool(args);
        SCOPED_TRACE(c.extra.front() + " " + c.extra.back());
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_NE(run.err.find(c.error), std::string::npos) << run.err;
        EXPECT_EQ(contentOf(bank()), original);
    }
    const test::CliRun badMeasurement =
        runTool({"autoeq", bank(), "--preset", "1", "--output", "1", "--measurement", file("bad.txt")});
    EXPECT_EQ(badMeasurement.status, 1);
    EXPECT_NE(badMeasurement.err.find("line 3"), std::string::npos);
    EXPECT_EQ(contentOf(bank()), original);
}

TEST_F(AutoEqCommand, AnOutputWithoutFreeBandsNeedsBandsNamed) {
    CKorvaliserDoc doc;
    for (int b = 0; b < kBandsInUse; ++b) doc.setBandGain(1, b, 10);
    ASSERT_TRUE(saveDocument(doc, bank()).ok);
    const test::CliRun run =
        runTool({"autoeq", bank(), "--preset", "1", "--output", "2", "--measurement", file("m.txt")});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("output 2 has no free band"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace kv
