#pragma once
// The unit's side of the wire format: checking and decoding the host's requests and
// building the replies. Kept apart from the serving thread so it can be tested alone.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "sim/SimFrame.h"

namespace kv {

// (byte 0 + byte 2 + bytes 3..n-1) & 0x7F over the bytes before the checksum.
std::uint8_t simChecksum(std::span<const std::uint8_t> bytesBeforeChecksum);

// Undoes the seven-bit packing into `body`. False when the bytes cannot come from
// packing (a last group that is a header alone).
bool unpackSevenBit(std::span<const std::uint8_t> packed, std::vector<std::uint8_t>& body);

// Checks and decodes one assembled request. kind is Invalid (with `problem` set) when
// the unit must refuse it; `modelCode` is the unit's own model byte.
SimFrame decodeRequest(std::span<const std::uint8_t> request, bool complete, int modelCode);

std::array<std::uint8_t, 9> identificationReply(int modelCode);
// Meter reply with two raw meter values 0..255.
std::array<std::uint8_t, 11> meterReply(int modelCode, int meter1, int meter2);
std::array<std::uint8_t, 10> temperatureReply(int modelCode, int first, int second);

}  // namespace kv
