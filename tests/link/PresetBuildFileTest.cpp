#include "link/PresetBuildFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <unistd.h>

#include "document/KorvaliserDoc.h"
#include "document/MessageCode.h"
#include "protocol/ProtocolDecoding.h"

namespace kv {
namespace {

namespace fs = std::filesystem;
using test::hex;

std::vector<std::uint8_t> readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class BuildFile : public ::testing::Test {
protected:
    BuildFile() {
        folder =
            fs::temp_directory_path() / ("kv-build-" + std::to_string(::getpid()) + "-" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
        for (int slot = 0; slot < kPresetCount; ++slot) {
            const std::string name = "Room " + std::to_string(slot);
            doc.setPresetName(slot, std::u16string(name.begin(), name.end()));
        }
    }
    ~BuildFile() override { fs::remove_all(folder); }

    std::size_t entriesInFolder() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
    }

    fs::path folder;
    CKorvaliserDoc doc;
};

TEST_F(BuildFile, SizeMaskAndHeaderForEachModelAndSelection) {
    const struct {
        int unitType;
        PresetMask mask;
        std::size_t size;
        const char* header;
    } cases[] = {
        {kUnitKV520, kAllPresets, 7450,
         "00 00 00 00 00 00 00 00 51 4B 41 36 32 00 00 00 FF 03 00 00 00 00 00 00 00 00 00 00 00 00 00 00"},
        {kUnitKV420, 0x0008, 781,
         "00 00 00 00 00 00 00 00 51 4B 41 34 31 00 00 00 08 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"},
        {kUnitKV420, 0x0201, 32 + 2 * 741 + 8,
         "00 00 00 00 00 00 00 00 51 4B 41 34 31 00 00 00 01 02 00 00 00 00 00 00 00 00 00 00 00 00 00 00"},
        // bits above position 9 are not positions
        {kUnitKV520, 0xFC10, 781,
         "00 00 00 00 00 00 00 00 51 4B 41 36 32 00 00 00 10 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"},
    };
    for (const auto& c : cases) {
        doc.setUnitType(c.unitType);
        const fs::path path = folder / "Preset_0001.bin";
        const FileResult result = writePresetBuildFile(doc, c.mask, path.string());
        ASSERT_TRUE(result.ok) << result.error;
        const std::vector<std::uint8_t> bytes = readAll(path);
        ASSERT_EQ(bytes.size(), c.size) << c.mask;
        EXPECT_EQ(hex({bytes.data(), 32}), c.header);
        EXPECT_EQ(hex({bytes.data() + bytes.size() - 8, 8}), "FF FF FF FF FF FF FF FF");
        EXPECT_EQ(bytes[32], kDataFrameStart);
        EXPECT_EQ(bytes[35], c.unitType);
    }
}

TEST_F(BuildFile, EachPositionCarriesThePresetShownThereWithItsPositionAsSlot) {
    doc.setPresetOrder({4, 0, 1, 2, 3, 9, 8, 7, 6, 5});
    doc.selectPreset(7);
    doc.setGain(0, 300);
    doc.selectPreset(2);
    doc.setModified(false);
    const PresetMask mask = (1u << 0) | (1u << 5) | (1u << 7);
    const PresetBuildImage image = presetBuildImage(doc, mask);
    ASSERT_EQ(image.size, 32u + 3 * 741 + 8);
    std::size_t at = 32;
    for (const int position : {0, 5, 7}) {
        UnitFrame frame;
        std::copy_n(image.bytes.begin() + static_cast<std::ptrdiff_t>(at), 741, frame.bytes.begin());
        frame.length = 741;
        const std::vector<std::uint8_t> body = test::frameBody(frame);
        EXPECT_EQ(body[0], position);
        const int slot = doc.slotAtPosition(position);
        EXPECT_EQ(std::string(body.begin() + 535, body.begin() + 541), "Room " + std::to_string(slot));
        // Byte for byte what a store of that position sends.
        doc.selectPreset(slot);
        const auto sent = framedUnitMessage(doc.preset(-1), doc.unitType(), MsgPresetImage, position, 0);
        doc.selectPreset(2);
        ASSERT_TRUE(sent);
        EXPECT_EQ(hex(frame.view()), hex(sent->view())) << position;
        at += 741;
    }
    EXPECT_EQ(doc.currentPreset(), 2);
    EXPECT_FALSE(doc.isModified());
}

TEST_F(BuildFile, FailuresNameTheFileAndLeaveNothingBehind) {
    const fs::path existing = folder / "kept.bin";
    std::ofstream(existing, std::ios::binary) << "old content";
    const fs::path aFolder = folder / "sub";
    fs::create_directories(aFolder);
    const struct {
        const char* what;
        fs::path path;
        PresetMask mask;
    } cases[] = {
        {"missing folder", folder / "no such folder" / "x.bin", kAllPresets},
        {"a folder in the way", aFolder, kAllPresets},
        {"nothing selected", existing, 0},
        {"only bits beyond the ten positions", existing, 0xFC00},
    };
    for (const auto& c : cases) {
        const FileResult result = writePresetBuildFile(doc, c.mask, c.path.string());
        EXPECT_FALSE(result.ok) << c.what;
        EXPECT_NE(result.error.find(c.path.string()), std::string::npos) << c.what << ": " << result.error;
    }
    const std::vector<std::uint8_t> kept = readAll(existing);
    EXPECT_EQ(std::string(kept.begin(), kept.end()), "old content");
    EXPECT_TRUE(fs::is_directory(aFolder));
    EXPECT_EQ(entriesInFolder(), 2u);  // kept.bin and sub: no temporary files left
}

TEST_F(BuildFile, ReplacesAnExistingFileWhole) {
    const fs::path path = folder / "Preset_0001.bin";
    std::ofstream(path, std::ios::binary) << std::string(9000, 'x');
    ASSERT_TRUE(writePresetBuildFile(doc, 0x0001, path.string()).ok);
    EXPECT_EQ(readAll(path).size(), 781u);
    EXPECT_EQ(entriesInFolder(), 1u);
}

}  // namespace
}  // namespace kv
