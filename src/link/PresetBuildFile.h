#pragma once
// The preset build file (.bin): a 32-byte header, then for each chosen position the
// exact frame that would store that preset in the unit, then eight 0xFF bytes. Nothing
// is sent over the link.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "document/file/FileResult.h"
#include "link/PresetTransfer.h"
#include "protocol/UnitProtocol.h"

namespace kv {

class CKorvaliserDoc;

inline constexpr std::size_t kBuildHeaderBytes = 32;
inline constexpr std::size_t kBuildTrailerBytes = 8;
inline constexpr std::size_t kBuildFileMaxBytes =
    kBuildHeaderBytes + kPresetCount * static_cast<std::size_t>(kPresetImageFrameBytes) + kBuildTrailerBytes;
inline constexpr const char* kBuildFileDefaultName = "Preset_0001.bin";

struct PresetBuildImage {
    std::array<std::uint8_t, kBuildFileMaxBytes> bytes{};
    std::size_t size = 0;
    std::span<const std::uint8_t> view() const { return {bytes.data(), size}; }
};

// The file's bytes for the positions of the mask (bits above position 9 are ignored):
// position i carries the preset shown there, presetOrder[i], with slot byte i.
PresetBuildImage presetBuildImage(const CKorvaliserDoc& document, PresetMask mask);

// Writes the build file to path. An empty selection writes nothing. The file is written
// beside its final place and renamed over it, so a failure never leaves a partial file;
// the error names the file. The document and its current preset are left as they were.
FileResult writePresetBuildFile(const CKorvaliserDoc& document, PresetMask mask, const std::string& path);

}  // namespace kv
