#include "link/StatusPoller.h"

#include <algorithm>

#include "document/KorvaliserDoc.h"
#include "link/UnitLink.h"
#include "protocol/UnitProtocol.h"

namespace kv {

namespace {

constexpr int kMeterCeiling = 126;
constexpr int kStatusTries = 3;
constexpr int kStatusExtraSeconds = 1;
constexpr std::size_t kMeterTopBits = 7;
constexpr std::size_t kMeterOutput1 = 8;
constexpr std::size_t kMeterOutput2 = 9;
constexpr std::size_t kTemperatureFirst = 7;
constexpr std::size_t kTemperatureSecond = 8;

// Thermal thresholds of the unit, degrees Celsius.
constexpr int kLimitingFrom = 60;
constexpr int kHardLimitingFrom = 66;
constexpr int kShutdownFrom = 75;

std::optional<LinkReply> statusQuery(UnitLink& link, std::uint8_t command, int replyBytes, int unitType) {
    if (!link.isUsable()) return std::nullopt;
    const UnitFrame frame = statusQueryFrame(command, unitType);
    LinkReply reply =
        link.exchange(frame.view(), replyBytes, {kStatusTries, kStatusExtraSeconds, kStatusReplyStart});
    if (!reply.complete()) return std::nullopt;
    return reply;
}

}  // namespace

std::optional<MeterReading> decodeMeterReply(std::span<const std::uint8_t> reply) {
    if (reply.size() <= kMeterOutput2) return std::nullopt;
    const std::uint8_t top = reply[kMeterTopBits];
    return MeterReading{(reply[kMeterOutput1] & 0x7F) | ((top & 0x01) << 7),
                        (reply[kMeterOutput2] & 0x7F) | ((top & 0x02) << 6)};
}

int meterValue(int raw, int limiterLevel) {
    const int ceiling = kMeterCeiling - limiterLevel;
    const int scaled = (3 * raw + 2) / 4;  // raw x 0.75, halves rounded up
    return scaled > ceiling ? 0 : ceiling - scaled;
}

std::optional<int> decodeTemperatureReply(std::span<const std::uint8_t> reply) {
    if (reply.size() <= kTemperatureSecond) return std::nullopt;
    return std::max<int>(reply[kTemperatureFirst], reply[kTemperatureSecond]);
}

std::string temperatureText(int celsius) {
    if (celsius <= kNoTemperatureReading) return "---\u00B0C";
    return " " + std::to_string(celsius) + "\u00B0C";
}

std::string thermalStatusText(int celsius) {
    if (celsius <= kNoTemperatureReading) return "xxxx";
    if (celsius < kLimitingFrom) return "Normal";
    if (celsius < kHardLimitingFrom) return "Limiting";
    if (celsius < kShutdownFrom) return "Hard Limiting";
    return "Shutdown!";
}

std::optional<MeterReading> queryMeters(UnitLink& link, int unitType) {
    const std::optional<LinkReply> reply = statusQuery(link, kMeterCommand, kMeterReplyBytes, unitType);
    return reply ? decodeMeterReply(reply->view()) : std::nullopt;
}

std::optional<int> queryTemperature(UnitLink& link, int unitType) {
    const std::optional<LinkReply> reply =
        statusQuery(link, kTemperatureCommand, kTemperatureReplyBytes, unitType);
    return reply ? decodeTemperatureReply(reply->view()) : std::nullopt;
}

StatusPoller::StatusPoller(UnitLink& link, const CKorvaliserDoc& document)
    : link_(link), document_(document) {}

int StatusPoller::activate() {
    repaintPending_ = true;
    return kFirstTickMs;
}

TickOutcome StatusPoller::tick() {
    TickOutcome outcome;
    pollMeters(outcome);
    if (tickCounter_ > kTemperatureEveryTicks - 1) {
        pollTemperature(outcome);
        tickCounter_ = 0;
    }
    ++tickCounter_;
    if (repaintPending_) {
        repaintPending_ = false;
        outcome.restartTimerMs = kTickMs;
    }
    return outcome;
}

void StatusPoller::pollMeters(TickOutcome& outcome) {
    const std::optional<MeterReading> reading = queryMeters(link_, document_.unitType());
    if (reading) {
        meters_[0] = meterValue(reading->raw1, document_.limiterLevel(0));
        meters_[1] = meterValue(reading->raw2, document_.limiterLevel(1));
    }
    outcome.redrawMeters = reading.has_value() || repaintPending_;
}

void StatusPoller::pollTemperature(TickOutcome& outcome) {
    const std::optional<int> celsius = queryTemperature(link_, document_.unitType());
    if (!celsius) return;
    unitTemperature_ = *celsius;
    outcome.temperatureChanged = true;
}

}  // namespace kv
