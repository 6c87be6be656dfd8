#include "sim/FrameAssembler.h"

namespace kv {

namespace {

constexpr std::uint8_t kIdentifyFirst = 0xE0;
constexpr std::uint8_t kIdentifySecond = 0x01;
constexpr std::uint8_t kQueryStart = 0xF0;
constexpr std::uint8_t kDataStart = 0xF1;
constexpr std::size_t kSmallestFrame = 8;  // d = 7: header and command, no payload

bool startsRequest(std::uint8_t byte) {
    return byte == kIdentifyFirst || byte == kQueryStart || byte == kDataStart;
}

}  // namespace

void FrameAssembler::startWith(std::uint8_t byte) {
    pending_.clear();
    expected_ = 0;
    if (startsRequest(byte)) pending_.push_back(byte);
    // Anything else between requests is line noise and is ignored.
}

void FrameAssembler::feed(std::uint8_t byte, std::vector<AssembledRequest>& done) {
    if (pending_.empty()) {
        startWith(byte);
        return;
    }
    if (pending_.front() == kIdentifyFirst) {
        if (byte == kIdentifySecond) {
            done.push_back({{kIdentifyFirst, kIdentifySecond}, true});
            pending_.clear();
        } else {
            startWith(byte);
        }
        return;
    }
    if (byte >= 0x80) {
        done.push_back({std::move(pending_), false});
        startWith(byte);
        return;
    }
    pending_.push_back(byte);
    if (pending_.size() == 3) {
        const std::size_t d = (static_cast<std::size_t>(pending_[1]) << 7) | pending_[2];
        if (d + 1 < kSmallestFrame || d + 1 > kMaxFrameBytes) {
            done.push_back({std::move(pending_), false});
            pending_.clear();
            return;
        }
        expected_ = d + 1;
    }
    if (expected_ != 0 && pending_.size() == expected_) {
        done.push_back({std::move(pending_), true});
        pending_.clear();
        expected_ = 0;
    }
}

std::optional<AssembledRequest> FrameAssembler::takeUnfinished() {
    // A lone E0 is not worth an answer; a frame cut short is refused.
    if (pending_.empty() || pending_.front() == kIdentifyFirst) {
        pending_.clear();
        return std::nullopt;
    }
    AssembledRequest broken{std::move(pending_), false};
    pending_.clear();
    expected_ = 0;
    return broken;
}

}  // namespace kv
