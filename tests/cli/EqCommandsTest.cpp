#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "cli/CliTestSupport.h"
#include "cli/exchange/EqCommands.h"
#include "document/file/OvkFile.h"

namespace kv {
namespace {

namespace fs = std::filesystem;
using test::CliRun;

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class EqCommandsTest : public ::testing::Test {
protected:
    EqCommandsTest() {
        std::random_device random;
        folder_ = fs::temp_directory_path() / ("kv-eq-test-" + std::to_string(random()));
        fs::create_directories(folder_);
        CKorvaliserDoc doc;
        doc.selectPreset(doc.slotAtPosition(0));
        doc.setBand(0, 0, {252, -35, 84, 0, 0});
        doc.setBand(0, 3, {100, 45, 90, 0, 1});
        EXPECT_TRUE(saveDocument(doc, bank()).ok);
    }
    ~EqCommandsTest() override {
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }
    std::string bank() const { return (folder_ / "show.ovk").string(); }
    std::string file(const std::string& name, const std::string& text = {}) const {
        const std::string path = (folder_ / name).string();
        if (!text.empty()) std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    std::string bankBytes() const {
        std::ifstream in(bank(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    CKorvaliserDoc loaded(int presetNumber) const {
        CKorvaliserDoc doc;
        EXPECT_TRUE(loadDocument(doc, bank()).ok);
        doc.selectPreset(doc.slotAtPosition(presetNumber - 1));
        return doc;
    }
    static CliRun run(std::vector<std::string> args) {
        return test::runCliWith(registerEqCommands, std::move(args));
    }

    fs::path folder_;
};

TEST_F(EqCommandsTest, ImportPrintsTheMappingAndSavesOnlyWithoutDryRun) {
    const std::string eq = file("ParametricEQ.txt",
                                "Preamp: -6.4 dB\n"
                                "Filter 1: ON LSC Fc 105 Hz Gain 6.3 dB Q 0.70\n"
                                "Filter 2: ON PK Fc 171 Hz Gain -31 dB Q 0.52\n");
    const std::string before = bankBytes();
    const CliRun dry = run({"import-eq", bank(), "--preset", "2", "--output", "2", eq, "--dry-run"});
    ASSERT_EQ(dry.status, 0) << dry.err;
    EXPECT_TRUE(contains(dry.out, "Korvaliser preset 2 \"Preset 1\", Output 2")) << dry.out;
    EXPECT_TRUE(contains(dry.out, "LSC Fc 105 Hz Gain 6.3 dB Q 0.70  Band 1: Low Shelf 105Hz +6.3dB Q 0.71"))
        << dry.out;
    EXPECT_TRUE(contains(dry.out, "gain limited to -30.0dB (the lowest for PEQ)")) << dry.out;
    EXPECT_TRUE(contains(dry.out, "Preamp: -6.4 dB")) << dry.out;
    EXPECT_TRUE(contains(dry.out, "Worst difference from the requested response, 20 Hz to 20 kHz: "))
        << dry.out;
    EXPECT_EQ(bankBytes(), before);

    const CliRun real = run({"import-eq", bank(), "--preset", "2", "--output", "2", eq});
    ASSERT_EQ(real.status, 0) << real.err;
    const CKorvaliserDoc doc = loaded(2);
    const PeqBand& shelf = doc.outputChannel(1).bands[0];
    EXPECT_EQ(std::tie(shelf.frequency, shelf.gain, shelf.q, shelf.type), std::make_tuple(135, 63, 90, 1));
    EXPECT_EQ(doc.bandGain(1, 1), -300);
    EXPECT_EQ(doc.gain(1), 214);
}

TEST_F(EqCommandsTest, MoreFiltersThanBandsNeedKeepLargestAndBadLinesChangeNothing) {
    std::string nine;
    for (int i = 1; i <= 9; ++i)
        nine += "Filter " + std::to_string(i) + ": ON PK Fc " + std::to_string(100 * i) + " Hz Gain " +
                std::to_string(i) + " dB Q 2\n";
    const std::string eq = file("nine.txt", nine);
    const std::string before = bankBytes();
    const CliRun refused =
        run({"import-eq", bank(), "--preset", "3", "--output", "1", eq, "--first-band", "1"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(contains(refused.err, "9 filters need a band but only 8 are free")) << refused.err;
    EXPECT_TRUE(contains(refused.err, "--keep-largest")) << refused.err;
    EXPECT_EQ(bankBytes(), before);

    const CliRun kept = run(
        {"import-eq", bank(), "--preset", "3", "--output", "1", eq, "--first-band", "1", "--keep-largest"});
    ASSERT_EQ(kept.status, 0) << kept.err;
    const CKorvaliserDoc doc = loaded(3);
    for (int b = 0; b < 8; ++b)
        EXPECT_EQ(doc.bandGain(0, b), 10 * (b + 2)) << "band " << b + 1;  // +1 dB left out

    const std::string broken =
        file("broken.txt", "Filter 1: ON PK Fc 100 Hz Gain 1 dB Q 2\nFilter 2: ON PK Fc\n");
    const std::string afterKeep = bankBytes();
    const CliRun bad = run({"import-eq", bank(), "--preset", "3", "--output", "1", broken});
    EXPECT_EQ(bad.status, 1);
    EXPECT_TRUE(contains(bad.err, broken + ":2: Fc has no value")) << bad.err;
    EXPECT_EQ(bankBytes(), afterKeep);
}

TEST_F(EqCommandsTest, ExportNamesWhatItLeavesOutAndImportsBackToTheSameBands) {
    const CliRun rew = run({"export-eq", bank(), "--preset", "1", "--output", "1", "--format", "rew"});
    ASSERT_EQ(rew.status, 0) << rew.err;
    EXPECT_TRUE(rew.out.starts_with("Filter Settings file\n")) << rew.out;
    // Output 1 of a new preset has 24 dB Link/Riley crossovers, which neither format can say.
    EXPECT_TRUE(
        contains(rew.err, "not in the file (the format cannot express it): Highpass: 24dB Link/Riley"));

    const std::string exported = file("out.txt");
    ASSERT_EQ(run({"export-eq", bank(), "--preset", "1", "--output", "1", "-o", exported}).status, 0);
    const CliRun back = run({"import-eq", bank(), "--preset", "4", "--output", "2", exported});
    ASSERT_EQ(back.status, 0) << back.err;
    const CKorvaliserDoc doc = loaded(4);
    const PeqBand& first = doc.outputChannel(1).bands[0];
    const PeqBand& second = doc.outputChannel(1).bands[1];
    EXPECT_EQ(std::tie(first.frequency, first.gain, first.q, first.type), std::make_tuple(252, -35, 84, 0));
    EXPECT_EQ(std::tie(second.frequency, second.gain, second.q, second.type),
              std::make_tuple(100, 45, 90, 1));
}

}  // namespace
}  // namespace kv
