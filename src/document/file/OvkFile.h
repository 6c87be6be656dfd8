#pragma once
// The .ovk bank file: the whole preset bank and the unit type, little-endian, in one
// pass. Saving always writes the current layout (version 0x170D, 10192 bytes); loading
// also takes the previous layout (0x170C, no unit type word, read as a KV420 bank).
//
// Loading is all or nothing: the file is decoded into a copy of the bank and only a
// complete, sound file replaces the document's content. A file that ends early resets
// the document as for New; any other refusal leaves the document exactly as it was.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "document/KorvaliserDoc.h"
#include "document/file/FileResult.h"

namespace kv {

inline constexpr std::uint16_t kOvkVersion = 0x170D;
inline constexpr std::uint16_t kOvkPreviousVersion = 0x170C;
inline constexpr std::size_t kOvkHeaderSize = 12;
inline constexpr std::size_t kOvkPreviousHeaderSize = 10;
inline constexpr std::size_t kOvkPresetRecordSize = 1018;  // four outputs of twelve bands
inline constexpr std::size_t kOvkFileSize = kOvkHeaderSize + kPresetCount * kOvkPresetRecordSize;

// The bytes of a saved bank (always kOvkFileSize long).
std::vector<std::uint8_t> encodeDocument(const CKorvaliserDoc& doc);

// Loads bytes into doc; fileName is only used to name the file in the error text.
// On success the modified flag is cleared.
FileResult decodeDocument(CKorvaliserDoc& doc, std::span<const std::uint8_t> bytes,
                          const std::string& fileName);

// Saves atomically: a failed save leaves the file that was there untouched.
// The modified flag is not touched (the document is const here).
FileResult saveDocument(const CKorvaliserDoc& doc, const std::string& path);

// Reads path and decodes it as decodeDocument does.
FileResult loadDocument(CKorvaliserDoc& doc, const std::string& path);

// The path a bank gets when its unit type changes: "(2)" goes into the file name before
// its ".ovk" extension (any case), so Show.ovk becomes Show(2).ovk in the same folder.
// A file name without that extension (or an empty path) is left as it is.
std::string unitTypeChangedPath(const std::string& path);

}  // namespace kv
