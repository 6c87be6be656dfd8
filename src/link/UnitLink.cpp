#include "link/UnitLink.h"

#include <algorithm>
#include <span>

#include "document/PresetBank.h"
#include "link/PosixSerialPort.h"
#include "link/SpeedTable.h"

namespace kv {

namespace {

constexpr int kDefaultTries = 3;
constexpr int kIdentifyAttempts = 3;
constexpr std::uint8_t kIdentifyRequest[] = {0xE0, 0x01};
constexpr int kIdentifyReplyBytes = 9;
constexpr std::uint8_t kIdentifyStartByte = 0xE8;
constexpr int kRealignWindow = 4;

bool isKnownModel(std::uint8_t code) { return code == kUnitKV420 || code == kUnitKV520; }

}  // namespace

UnitLink::UnitLink(LinkNotifier* notifier, std::unique_ptr<SerialPort> port)
    : notifier_(notifier), port_(port ? std::move(port) : std::make_unique<PosixSerialPort>()) {}

UnitLink::~UnitLink() = default;

std::string UnitLink::effectiveDevicePath() const {
    return devicePath_.empty() ? comPortDevicePath(comPortIndex_) : devicePath_;
}

bool UnitLink::openPort(ConnectionMode mode) {
    if (portOpen_ && connectionMode_ == ConnectionMode::Rs232) closePort();
    if (mode != ConnectionMode::Rs232) return false;
    lastPortError_.clear();
    // Also close a port left open under "No Connection": the device is opened afresh.
    port_->close();
    portOpen_ = false;
    if (!port_->open(effectiveDevicePath())) {
        lastPortError_ = port_->lastError();
        return false;
    }
    const LinkSpeed speed = linkSpeed(baudIndex_);
    if (!port_->configure(speed.baudRate)) {
        lastPortError_ = port_->lastError();
        port_->close();
        return false;
    }
    byteTimeMs_ = speed.byteTimeMs;
    portOpen_ = true;
    SerialTimeouts timeouts = port_->timeouts();
    timeouts.readIntervalMs = byteTimeMs_;
    timeouts.readTotalMultiplierMs = byteTimeMs_;
    timeouts.writeTotalMultiplierMs = byteTimeMs_;
    port_->setTimeouts(timeouts);
    return true;
}

void UnitLink::closePort() {
    if (port_->isOpen()) port_->close();
    portOpen_ = false;
}

void UnitLink::applyExchangeTimeouts(int bytesToWrite, int extraSeconds) {
    SerialTimeouts timeouts = port_->timeouts();
    timeouts.readIntervalMs = 16 * byteTimeMs_;
    timeouts.readTotalMultiplierMs = byteTimeMs_;
    timeouts.readTotalConstantMs = byteTimeMs_ * bytesToWrite + 1000 * extraSeconds + 10;
    port_->setTimeouts(timeouts);
}

std::size_t UnitLink::readReply(int bytesToRead) {
    return port_->read(std::span<std::uint8_t>(receive_.data(), static_cast<std::size_t>(bytesToRead)));
}

// A reply whose start byte is not in front was preceded by stray bytes: find the start
// byte among the first four (the last such position wins), read that many more bytes
// and keep the last bytesToRead bytes of everything received. Bytes beyond the reply
// length still hold earlier replies and take part in the search, as the unit's
// firmware has always been served.
void UnitLink::realignReply(int bytesToRead, std::uint8_t startByte) {
    int shift = kRealignWindow;
    for (int position = 0; position < kRealignWindow; ++position)
        if (receive_[static_cast<std::size_t>(position)] == startByte) shift = position;
    if (shift == 0) return;

    // Missing extra bytes read as zero.
    std::array<std::uint8_t, kRealignWindow> extra{};
    port_->read(std::span<std::uint8_t>(extra.data(), static_cast<std::size_t>(shift)));

    const auto r = static_cast<std::size_t>(bytesToRead);
    const auto k = static_cast<std::size_t>(shift);
    std::array<std::uint8_t, kReceiveCapacity + kRealignWindow> joined{};
    std::copy_n(receive_.begin(), r, joined.begin());
    std::copy_n(extra.begin(), k, joined.begin() + static_cast<std::ptrdiff_t>(r));
    std::copy_n(joined.begin() + static_cast<std::ptrdiff_t>(k), r, receive_.begin());
}

LinkReply UnitLink::exchange(std::span<const std::uint8_t> request, int replyBytes, ExchangeOptions options) {
    LinkReply reply;
    // Requests and replies beyond the largest frame and reply cannot be sent or received.
    if (request.size() > kTransmitCapacity || !port_->isOpen()) {
        reply.status = ExchangeStatus::ShortWrite;
        return reply;
    }
    if (replyBytes < 0 || replyBytes > kMaxReplyBytes) return reply;
    const int tries = options.tries < 0 ? kDefaultTries : std::max(options.tries, 1);

    applyExchangeTimeouts(static_cast<int>(request.size()), std::max(options.extraSeconds, 0));
    port_->purgeReceive();

    bool complete = false;
    bool answered = false;
    for (int attempt = 0; attempt < tries && !complete; ++attempt) {
        port_->purgeReceive();
        if (port_->write(request) != request.size()) {
            dropAfterSilence();
            reply.status = ExchangeStatus::ShortWrite;
            return reply;
        }
        const std::size_t got = readReply(replyBytes);
        answered = answered || got > 0;
        complete = got == static_cast<std::size_t>(replyBytes);
    }
    if (!complete) {
        if (!answered) dropAfterSilence();
        return reply;
    }
    if (replyBytes > 0) realignReply(replyBytes, options.startByte);
    reply.status = ExchangeStatus::Complete;
    reply.length = replyBytes;
    // The bytes after the reply come along as they stand (what earlier replies left).
    std::copy_n(receive_.begin(), reply.bytes.size(), reply.bytes.begin());
    return reply;
}

Identification UnitLink::judgeIdentification() const {
    IdentifyResult result = IdentifyResult::Identified;
    if (receive_[0] != kIdentifyStartByte) result = IdentifyResult::IncorrectResponse;
    if (receive_[1] != 0x00) result = IdentifyResult::IncorrectResponse;
    if (receive_[2] != 8 && receive_[2] != 9) result = IdentifyResult::IncorrectResponse;
    const std::uint8_t model = receive_[4];
    if (!isKnownModel(model)) result = IdentifyResult::IncorrectDevice;
    // Report the model of every well-formed reply, also an unknown one, so the user
    // sees what answered. A garbled reply reports none: its byte 4 is noise and would
    // end up in the document file.
    const bool wellFormed =
        receive_[0] == kIdentifyStartByte && receive_[1] == 0x00 && (receive_[2] == 8 || receive_[2] == 9);
    return {result, wellFormed ? std::optional<int>(model) : std::nullopt};
}

void UnitLink::dropAfterSilence() {
    // Identification judges silence itself (speed hunting, then its own message).
    if (!online_ || identifying_) return;
    online_ = false;  // before the message: nothing may be sent while it is shown
    const std::string reason = port_->lastError();
    if (notifier_ != nullptr) {
        if (reason.empty())
            notifier_->showLinkMessage(kNoResponseText);
        else
            notifier_->showPortFailure(kNoResponseText, reason);
    }
    if (droppedHandler_) droppedHandler_();
}

Identification UnitLink::identifyUnit() {
    struct Identifying {
        bool& flag;
        explicit Identifying(bool& f) : flag(f) { flag = true; }
        ~Identifying() { flag = false; }
        Identifying(const Identifying&) = delete;
        Identifying& operator=(const Identifying&) = delete;
    } identifying(identifying_);
    const int rememberedBaudIndex = baudIndex_;
    for (int attempt = 0; attempt < kIdentifyAttempts; ++attempt) {
        const LinkReply reply = exchange(kIdentifyRequest, kIdentifyReplyBytes, {1, 1, kIdentifyStartByte});
        if (reply.complete()) return judgeIdentification();
        baudIndex_ = nextHuntingBaudIndex(baudIndex_);
        openPort(ConnectionMode::Rs232);
    }
    baudIndex_ = rememberedBaudIndex;
    openPort(ConnectionMode::Rs232);
    return {IdentifyResult::NoResponse, std::nullopt};
}

void UnitLink::reportPortFailure() {
    if (notifier_ != nullptr) notifier_->showPortFailure(kCannotOpenPortText, lastPortError_);
}

OnlineAttempt UnitLink::goOnline() {
    if (!portOpen_) {
        if (!openPort(ConnectionMode::Rs232)) {
            reportPortFailure();
            connectionMode_ = ConnectionMode::NoConnection;
            return {};
        }
        connectionMode_ = ConnectionMode::Rs232;
    }
    online_ = true;
    const Identification identified = identifyUnit();
    if (identified.result == IdentifyResult::Identified) return {true, identified.model};
    online_ = false;
    if (notifier_ == nullptr) return {false, identified.model};
    switch (identified.result) {
        case IdentifyResult::NoResponse: notifier_->showLinkMessage(kNoResponseText); break;
        case IdentifyResult::IncorrectResponse: notifier_->showLinkMessage(kIncorrectResponseText); break;
        case IdentifyResult::IncorrectDevice: notifier_->showLinkMessage(kIncorrectDeviceText); break;
        case IdentifyResult::Identified: break;
    }
    return {false, identified.model};
}

void UnitLink::chooseNoConnection() {
    closePort();
    connectionMode_ = ConnectionMode::NoConnection;
    online_ = false;
}

bool UnitLink::chooseRs232(int comPortIndex, int baudIndex) {
    comPortIndex_ = comPortIndex;
    baudIndex_ = baudIndex;
    if (openPort(ConnectionMode::Rs232)) {
        connectionMode_ = ConnectionMode::Rs232;
        return true;
    }
    reportPortFailure();
    connectionMode_ = ConnectionMode::NoConnection;
    return false;
}

}  // namespace kv
