#pragma once
// Whole-file reads and crash-safe writes for the bank files. A write goes to a temporary
// file in the same folder, is flushed to the disk and then renamed over the target, so
// a failed or interrupted save never damages the file that was there before.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "document/file/FileResult.h"

namespace kv {

// Replaces (or creates) path with bytes. A symbolic link is followed and its target
// replaced; an existing file keeps its permission bits. The error names path and the
// system's reason.
FileResult writeFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes);

// Reads at most maxBytes from the start of the regular file at path into bytes.
FileResult readFilePrefix(const std::string& path, std::size_t maxBytes, std::vector<std::uint8_t>& bytes);

}  // namespace kv
