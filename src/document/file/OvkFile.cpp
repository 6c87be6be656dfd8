#include "document/file/OvkFile.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <string_view>

#include "document/file/AtomicFile.h"

namespace kv {

namespace {

// The counts the current layout writes; a file may carry smaller ones.
constexpr std::uint16_t kSavedPresets = kPresetCount;
constexpr std::uint16_t kSavedOutputs = kOutputSlots;
constexpr std::uint16_t kSavedBands = kBandSlots;
constexpr std::uint16_t kSavedReservedPairs = 2;

constexpr std::size_t kPresetFixedBytes = 622;  // texts, order entry, reserved word
constexpr std::size_t kOutputFixedBytes = 15;   // everything of an output but its bands
constexpr std::size_t kBandBytes = 7;

class ByteWriter {
public:
    explicit ByteWriter(std::size_t expected) { bytes_.reserve(expected); }
    void u8(unsigned value) { bytes_.push_back(static_cast<std::uint8_t>(value)); }
    void u16(unsigned value) {
        u8(value & 0xFFu);
        u8((value >> 8) & 0xFFu);
    }
    template <std::size_t N>
    void text(const std::array<char16_t, N>& units) {
        for (const char16_t unit : units) u16(unit);
    }
    std::vector<std::uint8_t> take() { return std::move(bytes_); }

private:
    std::vector<std::uint8_t> bytes_;
};

// Reads little-endian fields; the caller checks the length before reading records,
// and every read is bounds-checked anyway.
class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    bool has(std::size_t count) const { return bytes_.size() - position_ >= count; }
    std::uint8_t u8() { return has(1) ? bytes_[position_++] : 0; }
    std::uint16_t u16() {
        const unsigned low = u8();
        const unsigned high = u8();
        return static_cast<std::uint16_t>(low | (high << 8));
    }
    template <std::size_t N>
    void text(std::array<char16_t, N>& units) {
        for (char16_t& unit : units) unit = static_cast<char16_t>(u16());
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

void writeOutput(ByteWriter& out, const OutputChannel& output) {
    out.u8(output.flags);
    out.u16(output.gain);
    out.u16(output.delay);
    out.u16(output.highPass.frequency);
    out.u16(output.lowPass.frequency);
    out.u8(output.highPass.slope);
    out.u8(output.lowPass.slope);
    for (const PeqBand& band : output.bands) {
        out.u16(band.frequency);
        out.u16(static_cast<std::uint16_t>(band.gain));
        out.u8(band.q);
        out.u8(band.flat);
        out.u8(band.type);
    }
    out.u8(output.limiter.spareA);
    out.u8(output.limiter.spareB);
    out.u16(output.limiter.level);
}

void readOutput(ByteReader& in, OutputChannel& output, int bandCount) {
    output.flags = in.u8();
    output.gain = in.u16();
    output.delay = in.u16();
    output.highPass.frequency = in.u16();
    output.lowPass.frequency = in.u16();
    output.highPass.slope = in.u8();
    output.lowPass.slope = in.u8();
    for (int b = 0; b < bandCount; ++b) {
        PeqBand& band = output.bands[static_cast<std::size_t>(b)];
        band.frequency = in.u16();
        band.gain = static_cast<std::int16_t>(in.u16());
        band.q = in.u8();
        band.flat = in.u8();
        band.type = in.u8();
    }
    output.limiter.spareA = in.u8();
    output.limiter.spareB = in.u8();
    output.limiter.level = in.u16();
}

struct Header {
    std::uint16_t version = 0;
    int unitType = kUnitKV420;
    int presets = 0;
    int outputs = 0;
    int bands = 0;
    int reservedPairs = 0;
    std::size_t size = 0;  // bytes of the header itself

    int activeBandCount() const { return bands - 2 * reservedPairs; }
    std::size_t recordSize() const {
        return kPresetFixedBytes + static_cast<std::size_t>(outputs) *
                                       (kOutputFixedBytes + static_cast<std::size_t>(bands) * kBandBytes);
    }
    std::size_t promisedSize() const { return size + static_cast<std::size_t>(presets) * recordSize(); }
};

std::string quoted(const std::string& name) { return "\"" + name + "\""; }

std::string hex4(unsigned value) {
    std::array<char, 8> text{};
    std::snprintf(text.data(), text.size(), "0x%04X", value & 0xFFFFu);
    return text.data();
}

// Empty when the counts fit the bank, else the reason they do not.
std::string countsProblem(const Header& h) {
    if (h.presets > kPresetCount)
        return "it holds " + std::to_string(h.presets) + " presets, a bank holds at most 10";
    if (h.outputs > kOutputSlots)
        return "its presets have " + std::to_string(h.outputs) + " output slots, a bank holds at most 4";
    if (h.bands > kBandSlots)
        return "its outputs have " + std::to_string(h.bands) + " band slots, a bank holds at most 12";
    if (h.activeBandCount() < 0 || h.activeBandCount() > kBandSlots)
        return "its " + std::to_string(h.reservedPairs) + " reserved band pairs leave " +
               std::to_string(h.activeBandCount()) + " bands in use, which must be 0 to 12";
    return {};
}

// A name or notes field is zero-terminated inside its fixed size; a damaged file
// without any terminator must not let readers of the field run past it. A field that
// already ends keeps every unit, so the file saves back byte for byte.
template <std::size_t N>
void terminate(std::array<char16_t, N>& units) {
    if (std::find(units.begin(), units.end(), u'\0') == units.end()) units[N - 1] = u'\0';
}

void readPreset(ByteReader& in, const Header& h, int index, PresetBank& bank) {
    Preset& preset = bank.presets[static_cast<std::size_t>(index)];
    in.text(preset.reservedText);
    in.text(preset.notes);
    in.text(preset.name);
    terminate(preset.notes);
    terminate(preset.name);
    bank.presetOrder[static_cast<std::size_t>(index)] = static_cast<std::int16_t>(in.u16());
    preset.reservedWord = in.u16();
    for (int o = 0; o < h.outputs; ++o) readOutput(in, preset.outputs[static_cast<std::size_t>(o)], h.bands);
}

FileResult refused(const std::string& fileName, const std::string& problem) {
    return {false, "Cannot open " + quoted(fileName) + ": " + problem + ".", false};
}

FileResult resetAfterShortFile(CKorvaliserDoc& doc, const std::string& fileName, std::size_t size,
                               std::size_t promised) {
    doc.resetNewBank();
    doc.setModified(false);
    return {false,
            "Cannot open " + quoted(fileName) + ": the file is damaged; it ends after " +
                std::to_string(size) + (size == 1 ? " byte" : " bytes") + " where its header promises " +
                std::to_string(promised) + ".",
            true};
}

}  // namespace

std::vector<std::uint8_t> encodeDocument(const CKorvaliserDoc& doc) {
    ByteWriter out(kOvkFileSize);
    out.u16(kOvkVersion);
    out.u16(static_cast<unsigned>(doc.unitType()) & 0xFFFFu);
    out.u16(kSavedPresets);
    out.u16(kSavedOutputs);
    out.u16(kSavedBands);
    out.u16(kSavedReservedPairs);
    const PresetBank& bank = doc.bank();
    for (int i = 0; i < kPresetCount; ++i) {
        const Preset& preset = bank.presets[static_cast<std::size_t>(i)];
        out.text(preset.reservedText);
        out.text(preset.notes);
        out.text(preset.name);
        out.u16(static_cast<std::uint16_t>(bank.presetOrder[static_cast<std::size_t>(i)]));
        out.u16(static_cast<unsigned>(preset.reservedWord) & 0xFFFFu);
        for (const OutputChannel& output : preset.outputs) writeOutput(out, output);
    }
    return out.take();
}

FileResult decodeDocument(CKorvaliserDoc& doc, std::span<const std::uint8_t> bytes,
                          const std::string& fileName) {
    if (bytes.empty()) return refused(fileName, "the file is empty");
    if (bytes.size() < 2) return resetAfterShortFile(doc, fileName, bytes.size(), kOvkPreviousHeaderSize);

    ByteReader in(bytes);
    Header header;
    header.version = in.u16();
    if (header.version < kOvkPreviousVersion)
        return refused(fileName, "it is not a Korvalis bank file this program can read (file version " +
                                     hex4(header.version) + ", the oldest readable is " +
                                     hex4(kOvkPreviousVersion) + ")");
    header.size = header.version == kOvkPreviousVersion ? kOvkPreviousHeaderSize : kOvkHeaderSize;
    if (bytes.size() < header.size) return resetAfterShortFile(doc, fileName, bytes.size(), header.size);
    if (header.version != kOvkPreviousVersion) header.unitType = in.u16();
    header.presets = in.u16();
    header.outputs = in.u16();
    header.bands = in.u16();
    header.reservedPairs = in.u16();

    if (const std::string problem = countsProblem(header); !problem.empty())
        return refused(fileName, problem);
    if (bytes.size() < header.promisedSize())
        return resetAfterShortFile(doc, fileName, bytes.size(), header.promisedSize());

    // Slots, outputs and bands the file does not cover keep what they held.
    PresetBank staged = doc.bank();
    for (int i = 0; i < header.presets; ++i) readPreset(in, header, i, staged);
    if (!isPresetOrder(staged.presetOrder))
        return refused(fileName,
                       "the file is damaged; its preset order does not name each of the ten presets once");

    doc.loadBank(staged, header.unitType, header.activeBandCount());
    return {true, {}, false};
}

FileResult saveDocument(const CKorvaliserDoc& doc, const std::string& path) {
    return writeFileAtomically(path, encodeDocument(doc));
}

FileResult loadDocument(CKorvaliserDoc& doc, const std::string& path) {
    std::vector<std::uint8_t> bytes;
    // Every readable layout fits in the current file size; bytes after the records are ignored.
    if (FileResult read = readFilePrefix(path, kOvkFileSize, bytes); !read.ok) return read;
    return decodeDocument(doc, bytes, path);
}

std::string unitTypeChangedPath(const std::string& path) {
    constexpr std::string_view kExtension = ".ovk";
    const std::size_t slash = path.find_last_of('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    if (path.size() - nameStart < kExtension.size()) return path;
    const std::size_t at = path.size() - kExtension.size();
    for (std::size_t i = 0; i < kExtension.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(path[at + i])) != kExtension[i]) return path;
    std::string renamed = path;
    renamed.insert(at, "(2)");
    return renamed;
}

}  // namespace kv
