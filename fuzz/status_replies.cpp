// Arbitrary bytes as the unit's meter and temperature replies: decoded directly, and
// through the status poller's ticks over a link whose port plays the input back in
// chunks the input chooses (stray bytes, cut replies, start bytes anywhere). Decoded
// values must stay in their ranges, texts must match the temperature, and the document
// must never change.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "document/KorvaliserDoc.h"
#include "link/StatusPoller.h"
#include "link/UnitLink.h"
#include "protocol/UnitProtocol.h"

namespace {

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
        std::size_t done = 0;
        while (done < bytes.size() && !chunks_.empty()) {
            std::vector<std::uint8_t>& chunk = chunks_.front();
            const std::size_t n = std::min(chunk.size(), bytes.size() - done);
            std::copy_n(chunk.begin(), n, bytes.begin() + static_cast<std::ptrdiff_t>(done));
            chunk.erase(chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(n));
            done += n;
            if (chunk.empty()) {
                chunks_.pop_front();
                break;  // a gap on the line ends the read
            }
        }
        return done;
    }
    std::string lastError() const override { return {}; }

private:
    std::deque<std::vector<std::uint8_t>> chunks_;
    bool open_ = false;
    kv::SerialTimeouts timeouts_{};
};

void check(bool condition) {
    if (!condition) std::abort();
}

void checkTexts(int celsius) {
    const std::string temperature = kv::temperatureText(celsius);
    const std::string status = kv::thermalStatusText(celsius);
    check(temperature.size() >= 4 && temperature.ends_with("\u00B0C"));
    check(!status.empty());
    check((celsius <= kv::kNoTemperatureReading) == (status == "xxxx"));
}

void decodeDirectly(std::span<const std::uint8_t> bytes, int level) {
    const auto meters = kv::decodeMeterReply(bytes);
    check(meters.has_value() == (bytes.size() >= 10));
    if (meters) {
        for (const int raw : {meters->raw1, meters->raw2}) {
            check(raw >= 0 && raw <= 255);
            const int value = kv::meterValue(raw, level);
            check(value >= 0 && value <= 126);
        }
    }
    const auto celsius = kv::decodeTemperatureReply(bytes);
    check(celsius.has_value() == (bytes.size() >= 9));
    if (celsius) {
        check(*celsius >= 0 && *celsius <= 255);
        checkTexts(*celsius);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    const std::span<const std::uint8_t> input(data, size);
    const int level1 = input[0];
    const int level2 = input[1];
    const int ticks = 1 + input[2] % 8;
    decodeDirectly(input.subspan(3), level1);

    // The unit identifies itself properly, then everything it says comes from the input.
    std::deque<std::vector<std::uint8_t>> chunks{{0xE8, 0x00, 0x08, 0x00, 0x32, 0x01, 0x00, 0x04, 0x00}};
    for (std::size_t at = 3; at < size;) {
        const std::size_t length = std::min<std::size_t>(input[at] % 24, size - at - 1);
        chunks.emplace_back(input.begin() + static_cast<std::ptrdiff_t>(at + 1),
                            input.begin() + static_cast<std::ptrdiff_t>(at + 1 + length));
        at += 1 + length;
    }

    kv::CKorvaliserDoc doc;
    doc.setLimiterLevel(0, level1);
    doc.setLimiterLevel(1, level2);
    doc.setModified(false);
    kv::UnitLink link(nullptr, std::make_unique<ReplayPort>(std::move(chunks)));
    link.setDevicePath("replay");
    const kv::OnlineAttempt attempt = link.goOnline();
    if (!attempt.online) std::abort();
    if (attempt.model) doc.setUnitType(*attempt.model);
    const int unitType = doc.unitType();
    const kv::UnitFrame before = kv::presetImageFrame(doc.preset(-1), 0, unitType);

    kv::StatusPoller poller(link, doc);
    poller.activate();
    for (int tick = 0; tick < ticks; ++tick) {
        poller.tick();
        for (const int output : {0, 1})
            check(poller.meterValueOf(output) >= 0 && poller.meterValueOf(output) <= 126);
        const int celsius = poller.unitTemperature();
        check(celsius == kv::kNoTemperatureReading || (celsius >= 0 && celsius <= 255));
        check(poller.statusText() == kv::thermalStatusText(celsius));
        checkTexts(celsius);
    }
    // Replies are read, never written into the document.
    const kv::UnitFrame after = kv::presetImageFrame(doc.preset(-1), 0, doc.unitType());
    check(std::equal(before.bytes.begin(), before.bytes.end(), after.bytes.begin()));
    check(doc.unitType() == unitType && !doc.isModified());
    return 0;
}
