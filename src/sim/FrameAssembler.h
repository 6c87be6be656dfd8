#pragma once
// Cuts the byte stream the host sends into requests, the way the unit's receiver does:
// E0 01 is an identification request; F0/F1 start a frame whose length is in bytes 1
// and 2. Every byte after a start byte is below 0x80, so a byte of 0x80 or above in
// the middle of a frame means the frame was cut short and a new one begins.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace kv {

struct AssembledRequest {
    std::vector<std::uint8_t> bytes;
    bool complete = false;  // false: cut short, or a length the unit cannot take
};

class FrameAssembler {
public:
    // Longest frame the unit accepts (the whole-preset frame is 741 bytes).
    static constexpr std::size_t kMaxFrameBytes = 1024;

    // Feeds one byte; a request that ends with it (or is broken off by it) is appended
    // to `done`.
    void feed(std::uint8_t byte, std::vector<AssembledRequest>& done);
    // The line went quiet in the middle of a request: hand back what was collected.
    std::optional<AssembledRequest> takeUnfinished();
    bool collecting() const { return !pending_.empty(); }

private:
    void startWith(std::uint8_t byte);

    std::vector<std::uint8_t> pending_;
    std::size_t expected_ = 0;  // full length once bytes 1 and 2 are in, else 0
};

}  // namespace kv
