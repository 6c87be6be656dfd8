#include "document/file/OvkFile.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "document/file/AtomicFile.h"

namespace kv {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

std::size_t recordOffset(int slot) {
    return kOvkHeaderSize + static_cast<std::size_t>(slot) * kOvkPresetRecordSize;
}
std::size_t outputOffset(int slot, int output) {
    return recordOffset(slot) + 622 + static_cast<std::size_t>(output) * 99;
}
std::size_t bandOffset(int slot, int output, int band) {
    return outputOffset(slot, output) + 11 + static_cast<std::size_t>(band) * 7;
}

unsigned u16At(const Bytes& bytes, std::size_t offset) { return bytes[offset] | (bytes[offset + 1] << 8); }
void putU16(Bytes& bytes, std::size_t offset, unsigned value) {
    bytes[offset] = static_cast<std::uint8_t>(value & 0xFF);
    bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

class ModifiedRecorder : public DocumentListener {
public:
    void documentChanged(const DocumentChange& change) override { calls.push_back(change.modified); }
    std::vector<bool> calls;
};

// A document whose every field differs from a new bank, so a load that fails to
// keep it (or a decode that forgets a field) shows.
CKorvaliserDoc editedDocument() {
    CKorvaliserDoc doc;
    doc.setUnitType(kUnitKV520);
    doc.selectPreset(3);
    doc.setPresetName(-1, u"Edited");
    doc.setGain(1, 222);
    doc.setBandGain(0, 2, -77);
    doc.selectPreset(0);
    return doc;
}

// Arbitrary content in every field, including the ones no editor touches, with the
// few constraints a sound file has: a permutation as order, terminated name and notes.
// The terminators stand inside the fields with text behind them, as files from elsewhere
// have it, and the last unit of each field is not zero.
Bytes scrambledFile(std::uint32_t seed) {
    CKorvaliserDoc doc;
    Bytes bytes = encodeDocument(doc);
    std::mt19937 random(seed);
    for (std::size_t i = 2; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(random());
    putU16(bytes, 4, 10);
    putU16(bytes, 6, 4);
    putU16(bytes, 8, 12);
    putU16(bytes, 10, 2);
    std::array<int, kPresetCount> order{9, 3, 0, 7, 1, 8, 2, 6, 4, 5};
    for (int slot = 0; slot < kPresetCount; ++slot) {
        const auto at = static_cast<std::size_t>(slot);
        putU16(bytes, recordOffset(slot) + 82 + (100 + at) * 2, 0);  // notes terminator
        putU16(bytes, recordOffset(slot) + 82 + 250 * 2, 'z');
        putU16(bytes, recordOffset(slot) + 584 + (3 + at) * 2, 0);  // name terminator
        putU16(bytes, recordOffset(slot) + 584 + 16 * 2, 'z');
        putU16(bytes, recordOffset(slot) + 618, static_cast<unsigned>(order[static_cast<std::size_t>(slot)]));
    }
    return bytes;
}

struct DocumentState {
    Bytes encoded;
    int unitType;
    int activeBandCount;
    bool operator==(const DocumentState&) const = default;
};
DocumentState stateOf(const CKorvaliserDoc& doc) {
    return {encodeDocument(doc), doc.unitType(), doc.activeBandCount()};
}

TEST(OvkEncode, NewBankHeaderAndSize) {
    for (const auto& [unit, typeByte] : {std::pair{kUnitKV420, 0x31}, std::pair{kUnitKV520, 0x32}}) {
        CKorvaliserDoc doc;
        doc.setUnitType(unit);
        const Bytes bytes = encodeDocument(doc);
        ASSERT_EQ(bytes.size(), 10192u);
        const Bytes header(bytes.begin(), bytes.begin() + 12);
        EXPECT_EQ(header, (Bytes{0x0D, 0x17, static_cast<std::uint8_t>(typeByte), 0x00, 0x0A, 0x00, 0x04,
                                 0x00, 0x0C, 0x00, 0x02, 0x00}));
    }
}

// Each field read from its own offset: a file with distinct values everywhere must
// come back through the document's getters as written.
TEST(OvkDecode, FieldsAreReadFromTheirOffsets) {
    Bytes bytes = encodeDocument(CKorvaliserDoc{});
    struct Field {
        const char* what;
        std::size_t offset;
        unsigned width;
        unsigned value;
        int (*read)(const CKorvaliserDoc&);
    };
    const std::vector<Field> fields{
        {"flags", outputOffset(4, 1) + 0, 1, 2,
         [](const CKorvaliserDoc& d) { return int(d.outputChannel(1).flags); }},
        {"gain", outputOffset(4, 1) + 1, 2, 301, [](const CKorvaliserDoc& d) { return d.gain(1); }},
        {"delay", outputOffset(4, 1) + 3, 2, 1234, [](const CKorvaliserDoc& d) { return d.delay(1); }},
        {"high-pass frequency", outputOffset(4, 1) + 5, 2, 101,
         [](const CKorvaliserDoc& d) { return d.highPassFrequency(1); }},
        {"low-pass frequency", outputOffset(4, 1) + 7, 2, 402,
         [](const CKorvaliserDoc& d) { return d.lowPassFrequency(1); }},
        {"high-pass slope", outputOffset(4, 1) + 9, 1, 3,
         [](const CKorvaliserDoc& d) { return d.highPassSlope(1); }},
        {"low-pass slope", outputOffset(4, 1) + 10, 1, 5,
         [](const CKorvaliserDoc& d) { return d.lowPassSlope(1); }},
        {"band frequency", bandOffset(4, 1, 6) + 0, 2, 303,
         [](const CKorvaliserDoc& d) { return d.bandFrequency(1, 6); }},
        {"band gain", bandOffset(4, 1, 6) + 2, 2, 0x10000 - 250,
         [](const CKorvaliserDoc& d) { return d.bandGain(1, 6) + 0x10000; }},
        {"band q", bandOffset(4, 1, 6) + 4, 1, 99, [](const CKorvaliserDoc& d) { return d.bandQ(1, 6); }},
        {"band flat", bandOffset(4, 1, 6) + 5, 1, 1,
         [](const CKorvaliserDoc& d) { return int(d.bandFlat(1, 6)); }},
        {"band type", bandOffset(4, 1, 6) + 6, 1, 7,
         [](const CKorvaliserDoc& d) { return d.bandType(1, 6); }},
        {"spare A", outputOffset(4, 1) + 95, 1, 44,
         [](const CKorvaliserDoc& d) { return int(d.outputChannel(1).limiter.spareA); }},
        {"spare B", outputOffset(4, 1) + 96, 1, 55,
         [](const CKorvaliserDoc& d) { return int(d.outputChannel(1).limiter.spareB); }},
        {"limiter level", outputOffset(4, 1) + 97, 2, 19,
         [](const CKorvaliserDoc& d) { return d.limiterLevel(1); }},
        {"reserved word", recordOffset(4) + 620, 2, 0xBEEF,
         [](const CKorvaliserDoc& d) { return int(d.preset(4).reservedWord); }},
        {"reserved text", recordOffset(4) + 40, 2, 0x263A,
         [](const CKorvaliserDoc& d) { return int(d.preset(4).reservedText[20]); }},
        {"notes", recordOffset(4) + 82 + 4, 2, 'X',
         [](const CKorvaliserDoc& d) { return int(d.preset(4).notes[2]); }},
        {"name", recordOffset(4) + 584 + 2, 2, 'Y',
         [](const CKorvaliserDoc& d) { return int(d.preset(4).name[1]); }},
    };
    for (const Field& f : fields) {
        if (f.width == 1)
            bytes[f.offset] = static_cast<std::uint8_t>(f.value);
        else
            putU16(bytes, f.offset, f.value);
    }
    CKorvaliserDoc doc;
    ASSERT_TRUE(decodeDocument(doc, bytes, "fields.ovk").ok);
    doc.selectPreset(4);
    for (const Field& f : fields) EXPECT_EQ(f.read(doc), static_cast<int>(f.value)) << f.what;
    EXPECT_EQ(encodeDocument(doc), bytes);  // and each is written back where it came from
}

TEST(OvkDecode, LoadSaveIsByteIdenticalIncludingUnusedFields) {
    for (std::uint32_t seed : {1u, 2u, 3u}) {
        const Bytes original = scrambledFile(seed);
        CKorvaliserDoc doc;
        const FileResult result = decodeDocument(doc, original, "bank.ovk");
        ASSERT_TRUE(result.ok) << result.error;
        EXPECT_EQ(encodeDocument(doc), original) << "seed " << seed;
        EXPECT_EQ(doc.unitType(), static_cast<int>(u16At(original, 2)));
    }
}

TEST(OvkDecode, PreviousVersionReadsTheSameRecordsAsKV420) {
    const Bytes current = scrambledFile(7);
    Bytes previous{0x0C, 0x17, 0x0A, 0x00, 0x04, 0x00, 0x0C, 0x00, 0x02, 0x00};
    previous.insert(previous.end(), current.begin() + 12, current.end());
    ASSERT_EQ(previous.size(), 10190u);

    CKorvaliserDoc fromCurrent;
    ASSERT_TRUE(decodeDocument(fromCurrent, current, "a.ovk").ok);
    CKorvaliserDoc fromPrevious;
    fromPrevious.setUnitType(kUnitKV520);
    const FileResult result = decodeDocument(fromPrevious, previous, "b.ovk");
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(fromPrevious.unitType(), kUnitKV420);
    Bytes expected = current;
    putU16(expected, 2, kUnitKV420);
    EXPECT_EQ(encodeDocument(fromPrevious), expected);
}

TEST(OvkDecode, UnitTypeWordIsTakenAsItIs) {
    for (const unsigned word : {0x31u, 0x32u, 0x33u, 0xFFFFu}) {
        Bytes bytes = encodeDocument(CKorvaliserDoc{});
        putU16(bytes, 2, word);
        CKorvaliserDoc doc;
        ASSERT_TRUE(decodeDocument(doc, bytes, "x.ovk").ok);
        EXPECT_EQ(doc.unitType(), static_cast<int>(word));
    }
}

TEST(OvkDecode, SuccessClearsTheModifiedFlagAndTellsListeners) {
    CKorvaliserDoc doc = editedDocument();
    ModifiedRecorder recorder;
    doc.addListener(&recorder);
    ASSERT_TRUE(doc.isModified());
    ASSERT_TRUE(decodeDocument(doc, encodeDocument(CKorvaliserDoc{}), "x.ovk").ok);
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(recorder.calls, (std::vector<bool>{false}));
    doc.removeListener(&recorder);
}

// Files the document refuses without touching anything it holds.
TEST(OvkDecode, RefusedFilesLeaveTheDocumentAsItWas) {
    struct Case {
        const char* what;
        Bytes bytes;
        const char* errorPart;
    };
    const Bytes sound = encodeDocument(CKorvaliserDoc{});
    auto withWord = [&](std::size_t offset, unsigned value) {
        Bytes bytes = sound;
        putU16(bytes, offset, value);
        return bytes;
    };
    Bytes duplicateOrder = sound;
    putU16(duplicateOrder, recordOffset(4) + 618, 5);
    Bytes outOfRangeOrder = sound;
    putU16(outOfRangeOrder, recordOffset(9) + 618, 10);
    Bytes negativeOrder = sound;
    putU16(negativeOrder, recordOffset(0) + 618, 0xFFFF);

    const std::vector<Case> cases{
        {"zero-length file", {}, "empty"},
        {"version 0", withWord(0, 0), "0x0000"},
        {"version just below the previous one", withWord(0, 0x170B), "0x170B"},
        {"version 0x0D17 (big-endian header)", Bytes{0x17, 0x0D, 0x31, 0x00}, "0x0D17"},
        {"eleven presets", withWord(4, 11), "11 presets"},
        {"five output slots", withWord(6, 5), "5 output slots"},
        {"thirteen band slots", withWord(8, 13), "13 band slots"},
        {"reserved pairs leave fewer than no bands", withWord(10, 7), "-2 bands"},
        {"reserved pairs wrap far below zero", withWord(10, 0xFFFF), "bands in use"},
        {"order names a slot twice", duplicateOrder, "preset order"},
        {"order names slot 10", outOfRangeOrder, "preset order"},
        {"order holds -1", negativeOrder, "preset order"},
    };
    for (const Case& c : cases) {
        CKorvaliserDoc doc = editedDocument();
        doc.setActiveBandCount(6);
        const DocumentState before = stateOf(doc);
        const FileResult result = decodeDocument(doc, c.bytes, "/music/show.ovk");
        EXPECT_FALSE(result.ok) << c.what;
        EXPECT_FALSE(result.documentReset) << c.what;
        EXPECT_NE(result.error.find("\"/music/show.ovk\""), std::string::npos)
            << c.what << ": " << result.error;
        EXPECT_NE(result.error.find(c.errorPart), std::string::npos) << c.what << ": " << result.error;
        EXPECT_TRUE(stateOf(doc) == before) << c.what;
        EXPECT_TRUE(doc.isModified()) << c.what;
        EXPECT_EQ(doc.currentPreset(), 0) << c.what;
    }
}

// A file that ends before its header and records do cannot be trusted in part: the
// document starts afresh as for New, keeping only the model and the reserved fields.
TEST(OvkDecode, ShortFilesResetTheDocumentAsForNew) {
    const Bytes sound = scrambledFile(11);
    Bytes previousHeaderOnly{0x0C, 0x17, 0x0A, 0x00, 0x04, 0x00, 0x0C};
    struct Case {
        const char* what;
        Bytes bytes;
        std::size_t promised;
    };
    const std::vector<Case> cases{
        {"one byte", Bytes{0x0D}, 10},
        {"half a header", Bytes(sound.begin(), sound.begin() + 6), 12},
        {"previous header cut", previousHeaderOnly, 10},
        {"header only", Bytes(sound.begin(), sound.begin() + 12), 10192},
        {"first record cut", Bytes(sound.begin(), sound.begin() + 12 + 1017), 10192},
        {"last byte missing", Bytes(sound.begin(), sound.end() - 1), 10192},
    };
    const CKorvaliserDoc fresh;
    for (const Case& c : cases) {
        CKorvaliserDoc doc = editedDocument();
        doc.setActiveBandCount(6);
        const FileResult result = decodeDocument(doc, c.bytes, "cut.ovk");
        EXPECT_FALSE(result.ok) << c.what;
        EXPECT_TRUE(result.documentReset) << c.what;
        EXPECT_NE(result.error.find("\"cut.ovk\""), std::string::npos) << c.what;
        const std::string ends = "ends after " + std::to_string(c.bytes.size()) +
                                 (c.bytes.size() == 1 ? " byte where" : " bytes where");
        EXPECT_NE(result.error.find(ends + " its header promises " + std::to_string(c.promised)),
                  std::string::npos)
            << c.what << ": " << result.error;
        EXPECT_EQ(encodeDocument(doc).size(), 10192u);
        Bytes expected = encodeDocument(fresh);
        putU16(expected, 2, kUnitKV520);  // the model is kept, the file's is not taken
        EXPECT_EQ(encodeDocument(doc), expected) << c.what;
        EXPECT_EQ(doc.activeBandCount(), 8) << c.what;
        EXPECT_FALSE(doc.isModified()) << c.what;
    }
}

// A file with fewer slots than the bank: its records fill only what they cover, every
// byte of the rest keeps the bank's value. Covered bytes are 0x5A in the file.
TEST(OvkDecode, SmallerCountsLeaveUncoveredSlotsAlone) {
    struct Case {
        int presets, outputs, bands, reservedPairs, activeBands;
    };
    const std::vector<Case> cases{{2, 2, 10, 1, 8}, {10, 4, 12, 0, 12}, {1, 1, 0, 0, 0}, {0, 4, 12, 2, 8}};
    for (const Case& c : cases) {
        const std::size_t outputSize = 15 + 7 * static_cast<std::size_t>(c.bands);
        const std::size_t recordSize = 622 + static_cast<std::size_t>(c.outputs) * outputSize;
        Bytes file{0x0D, 0x17, 0x32, 0x00};
        for (const int count : {c.presets, c.outputs, c.bands, c.reservedPairs})
            file.insert(file.end(), {static_cast<std::uint8_t>(count), 0});
        file.resize(12 + static_cast<std::size_t>(c.presets) * recordSize, 0x5A);
        CKorvaliserDoc doc;
        Bytes expected = encodeDocument(doc);
        putU16(expected, 2, 0x32);
        for (int slot = 0; slot < c.presets; ++slot) {
            const std::size_t record = 12 + static_cast<std::size_t>(slot) * recordSize;
            putU16(file, record + 618, static_cast<unsigned>(slot));  // keep the order a permutation
            std::fill_n(expected.begin() + static_cast<long>(recordOffset(slot)), 618, 0x5A);
            putU16(expected, recordOffset(slot) + 82 + 500, 0);  // notes and name stay terminated
            putU16(expected, recordOffset(slot) + 584 + 32, 0);
            putU16(expected, recordOffset(slot) + 620, 0x5A5A);
            for (int o = 0; o < c.outputs; ++o) {
                const std::size_t out = outputOffset(slot, o);
                std::fill_n(expected.begin() + static_cast<long>(out), 11 + 7 * c.bands, 0x5A);
                std::fill_n(expected.begin() + static_cast<long>(out + 95), 4, 0x5A);
            }
        }
        const FileResult result = decodeDocument(doc, file, "small.ovk");
        ASSERT_TRUE(result.ok) << result.error;
        EXPECT_EQ(doc.activeBandCount(), c.activeBands);
        const Bytes after = encodeDocument(doc);
        for (std::size_t k = 0; k < after.size(); ++k)
            ASSERT_EQ(after[k], expected[k])
                << "byte " << k << " with counts " << c.presets << "/" << c.outputs << "/" << c.bands;
    }
}

TEST(OvkDecode, UnterminatedNameAndNotesAreCutInsideTheirFields) {
    Bytes bytes = encodeDocument(CKorvaliserDoc{});
    for (std::size_t unit = 0; unit < 17; ++unit) putU16(bytes, recordOffset(1) + 584 + 2 * unit, 'N');
    for (std::size_t unit = 0; unit < 251; ++unit) putU16(bytes, recordOffset(1) + 82 + 2 * unit, 'n');
    CKorvaliserDoc doc;
    ASSERT_TRUE(decodeDocument(doc, bytes, "x.ovk").ok);
    EXPECT_EQ(doc.preset(1).name[16], u'\0');
    EXPECT_EQ(doc.preset(1).notes[250], u'\0');
    EXPECT_EQ(doc.presetNameText(1), std::u16string(16, u'N'));
    EXPECT_EQ(std::u16string(doc.presetName(1)), std::u16string(16, u'N'));
}

// --- files on disk ---

class TempFolder {
public:
    TempFolder() {
        std::random_device random;
        path_ = fs::temp_directory_path() / ("kv-ovk-test-" + std::to_string(random()));
        fs::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    fs::path operator/(const std::string& name) const { return path_ / name; }
    const fs::path& path() const { return path_; }
    std::vector<std::string> names() const {
        std::vector<std::string> found;
        for (const auto& entry : fs::directory_iterator(path_))
            found.push_back(entry.path().filename().string());
        std::sort(found.begin(), found.end());
        return found;
    }

private:
    fs::path path_;
};

Bytes readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeAll(const fs::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TEST(OvkFile, SaveThenLoadRestoresTheBankAndReplacesAtomically) {
    TempFolder folder;
    const std::string path = (folder / "show.ovk").string();
    const CKorvaliserDoc edited = editedDocument();
    writeAll(path, Bytes{1, 2, 3});
    ::chmod(path.c_str(), 0640);

    const FileResult saved = saveDocument(edited, path);
    ASSERT_TRUE(saved.ok) << saved.error;
    EXPECT_EQ(readAll(path), encodeDocument(edited));
    EXPECT_EQ(folder.names(), (std::vector<std::string>{"show.ovk"}));  // no temporary left
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    CKorvaliserDoc loaded;
    const FileResult result = loadDocument(loaded, path);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_TRUE(stateOf(loaded) == stateOf(edited));
    EXPECT_EQ(loaded.presetNameText(3), u"Edited");
}

// The disk filling up half-way: the write fails, the old file must stay whole.
TEST(OvkFile, AFailedWriteLeavesTheExistingFileUntouched) {
    TempFolder folder;
    const fs::path path = folder / "show.ovk";
    const Bytes old = scrambledFile(3);
    writeAll(path, old);

    rlimit previous{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
    const auto previousHandler = ::signal(SIGXFSZ, SIG_IGN);
    rlimit small = previous;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const FileResult result = saveDocument(CKorvaliserDoc{}, path.string());
    ::setrlimit(RLIMIT_FSIZE, &previous);
    ::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("File too large"), std::string::npos) << result.error;
    EXPECT_EQ(readAll(path), old);
    EXPECT_EQ(folder.names(), (std::vector<std::string>{"show.ovk"}));
}

TEST(OvkFile, LoadFailuresKeepTheDocument) {
    TempFolder folder;
    fs::create_directory(folder / "folder.ovk");
    writeAll(folder / "empty.ovk", {});
    struct Case {
        const char* what;
        std::string path;
        const char* reason;
    };
    const std::vector<Case> cases{
        {"missing", (folder / "missing.ovk").string(), "No such file or directory"},
        {"folder", (folder / "folder.ovk").string(), "Is a directory"},
        {"empty", (folder / "empty.ovk").string(), "empty"},
        {"device", "/dev/null", "not a regular file"},
    };
    for (const Case& c : cases) {
        CKorvaliserDoc doc = editedDocument();
        const DocumentState before = stateOf(doc);
        const FileResult result = loadDocument(doc, c.path);
        EXPECT_FALSE(result.ok) << c.what;
        EXPECT_NE(result.error.find("\"" + c.path + "\""), std::string::npos)
            << c.what << ": " << result.error;
        EXPECT_NE(result.error.find(c.reason), std::string::npos) << c.what << ": " << result.error;
        EXPECT_TRUE(stateOf(doc) == before) << c.what;
    }
}

TEST(OvkFile, TrailingBytesAfterTheRecordsAreIgnored) {
    TempFolder folder;
    Bytes bytes = scrambledFile(9);
    const Bytes expected = bytes;
    bytes.insert(bytes.end(), 5000, 0xAB);
    writeAll(folder / "long.ovk", bytes);
    CKorvaliserDoc doc;
    ASSERT_TRUE(loadDocument(doc, (folder / "long.ovk").string()).ok);
    EXPECT_EQ(encodeDocument(doc), expected);
}

}  // namespace
}  // namespace kv
