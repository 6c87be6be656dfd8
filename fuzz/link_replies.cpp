// Arbitrary unit replies through the link's exchange: reads cut anywhere, stray bytes,
// start bytes in any place, replies of any length, followed by identification.
// The link must never read or write outside its buffers and must report only the
// results it knows.

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <span>
#include <vector>

#include "document/KorvaliserDoc.h"
#include "link/UnitLink.h"

namespace {

// Plays back the fuzz input as what the unit sends, in chunks the input chooses.
class ReplayPort final : public kv::SerialPort {
public:
    explicit ReplayPort(std::deque<std::vector<std::uint8_t>> chunks) : chunks_(std::move(chunks)) {}
    bool open(const std::string&) override { return open_ = true; }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    bool configure(int) override { return true; }
    kv::SerialTimeouts timeouts() const override { return timeouts_; }
    void setTimeouts(const kv::SerialTimeouts& t) override { timeouts_ = t; }
    void purgeReceive() override {}
    std::size_t write(std::span<const std::uint8_t> bytes) override { return bytes.size(); }
    std::size_t read(std::span<std::uint8_t> bytes) override {
        if (chunks_.empty()) return 0;
        std::vector<std::uint8_t>& chunk = chunks_.front();
        const std::size_t n = std::min(chunk.size(), bytes.size());
        std::copy_n(chunk.begin(), n, bytes.begin());
        chunk.erase(chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(n));
        if (chunk.empty()) chunks_.pop_front();
        return n;
    }
    std::string lastError() const override { return {}; }

private:
    std::deque<std::vector<std::uint8_t>> chunks_;
    bool open_ = false;
    kv::SerialTimeouts timeouts_{};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    // Header: four exchanges' reply lengths and start bytes are taken from the input.
    const std::span<const std::uint8_t> input(data, size);
    std::deque<std::vector<std::uint8_t>> chunks;
    for (std::size_t at = 4; at < size;) {
        const std::size_t length = std::min<std::size_t>(input[at] % 16, size - at - 1);
        chunks.emplace_back(input.begin() + static_cast<std::ptrdiff_t>(at + 1),
                            input.begin() + static_cast<std::ptrdiff_t>(at + 1 + length));
        at += 1 + length;
    }

    kv::UnitLink link(nullptr, std::make_unique<ReplayPort>(std::move(chunks)));
    if (!link.openPort(kv::ConnectionMode::Rs232)) std::abort();

    for (int i = 0; i < 3; ++i) {
        const int replyBytes = input[static_cast<std::size_t>(i)] % (kv::kMaxReplyBytes + 3) - 1;
        const int tries = (input[3] >> (2 * i)) % 4 - 1;
        static constexpr std::uint8_t kStartBytes[] = {0xA0, 0xA8, 0xE8, 0x00};
        const std::uint8_t start = kStartBytes[(input[3] >> (2 * i)) % 4];
        static constexpr std::array<std::uint8_t, 8> kRequest{};
        const kv::LinkReply reply = link.exchange(kRequest, replyBytes, {tries, 0, start});
        // Only a reply of the length asked is complete, and never one outside the buffer.
        if (reply.complete() && (reply.length != replyBytes || reply.length > kv::kMaxReplyBytes))
            std::abort();
        if (!reply.complete() && reply.length != 0) std::abort();
    }

    const kv::Identification identified = link.identifyUnit();
    if (identified.result == kv::IdentifyResult::Identified &&
        (!identified.model || (*identified.model != 0x31 && *identified.model != 0x32)))
        std::abort();
    if (identified.result == kv::IdentifyResult::NoResponse && identified.model) std::abort();
    return 0;
}
