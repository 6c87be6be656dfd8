#include "link/PresetBuildFile.h"

#include <algorithm>
#include <string_view>

#include "document/KorvaliserDoc.h"
#include "document/file/AtomicFile.h"

namespace kv {

namespace {

constexpr std::size_t kIdentificationOffset = 8;
constexpr std::size_t kModelOffset = 12;
constexpr std::size_t kMaskOffset = 16;
constexpr std::string_view kKV520Identification = "QKA6";
constexpr std::string_view kOtherIdentification = "QKA4";

void writeHeader(PresetBuildImage& image, int unitType, PresetMask mask) {
    const std::string_view code = unitType == kUnitKV520 ? kKV520Identification : kOtherIdentification;
    std::copy(code.begin(), code.end(), image.bytes.begin() + kIdentificationOffset);
    image.bytes[kModelOffset] = static_cast<std::uint8_t>(unitType & 0xFF);
    image.bytes[kMaskOffset] = static_cast<std::uint8_t>(mask & 0xFF);
    image.bytes[kMaskOffset + 1] = static_cast<std::uint8_t>(mask >> 8);
    image.size = kBuildHeaderBytes;
}

}  // namespace

PresetBuildImage presetBuildImage(const CKorvaliserDoc& document, PresetMask mask) {
    const auto selected = static_cast<PresetMask>(mask & kAllPresets);
    PresetBuildImage image;
    writeHeader(image, document.unitType(), selected);
    for (int position = 0; position < kPresetCount; ++position) {
        if ((selected & (1u << position)) == 0) continue;
        const UnitFrame frame = presetImageFrame(document.preset(document.slotAtPosition(position)), position,
                                                 document.unitType());
        std::copy(frame.bytes.begin(), frame.bytes.begin() + frame.length, image.bytes.begin() + image.size);
        image.size += static_cast<std::size_t>(frame.length);
    }
    std::fill_n(image.bytes.begin() + image.size, kBuildTrailerBytes, std::uint8_t{0xFF});
    image.size += kBuildTrailerBytes;
    return image;
}

FileResult writePresetBuildFile(const CKorvaliserDoc& document, PresetMask mask, const std::string& path) {
    if ((mask & kAllPresets) == 0)
        return {false, "No preset is selected for the build file \"" + path + "\"; nothing was written."};
    return writeFileAtomically(path, presetBuildImage(document, mask).view());
}

}  // namespace kv
