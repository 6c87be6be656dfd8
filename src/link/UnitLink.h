#pragma once
// The link to the amplifier: connection state, the serial port, the one blocking
// request/reply exchange every message travels on, identification of the unit (which
// reports the unit's model; the caller stores it) and going online.
//
// One object per application, created by it and handed on by reference. Everything
// runs on the caller's thread; an exchange blocks until the reply or the time-outs.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>

#include "link/LinkNotifier.h"
#include "link/SerialPort.h"

namespace kv {

enum class IdentifyResult : int {
    Identified = 0,
    NoResponse = 1,
    IncorrectResponse = 2,
    IncorrectDevice = 3,
};

// What identification found: the verdict and the model byte of a well-formed reply (also
// of an unknown model, so the user sees what answered; a garbled reply reports none).
struct Identification {
    IdentifyResult result = IdentifyResult::NoResponse;
    std::optional<int> model;
};

// Going online: whether the link is online afterwards, and the model the unit reported.
struct OnlineAttempt {
    bool online = false;
    std::optional<int> model;
    explicit operator bool() const { return online; }
};

// The link mode of the "Remote" menu (and of the settings' "Link Type").
enum class ConnectionMode : int { NoConnection = 0, Rs232 = 1 };

inline constexpr int kMaxReplyBytes = 28;

enum class ExchangeStatus {
    Complete,    // the reply arrived whole
    ShortWrite,  // the request could not be written (or the port is closed)
    ShortRead,   // the reply did not arrive whole on any try
};

// A reply as the exchange hands it back: its bytes, realigned on the start byte. The
// bytes after `length` are what earlier replies left in the link's receive buffer.
struct LinkReply {
    ExchangeStatus status = ExchangeStatus::ShortRead;
    std::array<std::uint8_t, kMaxReplyBytes> bytes{};
    int length = 0;

    bool complete() const { return status == ExchangeStatus::Complete; }
    std::span<const std::uint8_t> view() const { return {bytes.data(), static_cast<std::size_t>(length)}; }
    std::uint8_t operator[](std::size_t index) const { return bytes[index]; }
};

struct ExchangeOptions {
    int tries = 3;               // below 0: 3
    int extraSeconds = 0;        // added to the reply time-out (identification waits 1 s more)
    std::uint8_t startByte = 0;  // the reply's first byte, for realignment
};

// The texts shown to the user when going online fails.
inline constexpr const char* kCannotOpenPortText = "Cannot Open this COM port !";
inline constexpr const char* kNoResponseText = "No Response from any Device";
inline constexpr const char* kIncorrectResponseText = "Incorrect Response from Device";
inline constexpr const char* kIncorrectDeviceText = "Incorrect Device Responding";

class UnitLink {
public:
    // Largest request: the 741-byte whole-preset frame. Largest reply: 11 bytes, plus
    // the up to four bytes a realignment reads after it.
    static constexpr std::size_t kTransmitCapacity = 768;
    static constexpr std::size_t kReceiveCapacity = kMaxReplyBytes + 4;

    // A null port means the real POSIX device; a null notifier keeps failures silent.
    explicit UnitLink(LinkNotifier* notifier, std::unique_ptr<SerialPort> port = nullptr);
    ~UnitLink();
    UnitLink(const UnitLink&) = delete;
    UnitLink& operator=(const UnitLink&) = delete;

    void setNotifier(LinkNotifier* notifier) { notifier_ = notifier; }
    // Runs when the link has gone offline by itself because the unit stopped answering
    // (the user has been told); an editor then shows its offline colours.
    void setDroppedHandler(std::function<void()> handler) { droppedHandler_ = std::move(handler); }

    // --- state ---
    ConnectionMode connectionMode() const { return connectionMode_; }
    void setConnectionMode(ConnectionMode mode) { connectionMode_ = mode; }
    int comPortIndex() const { return comPortIndex_; }
    void setComPortIndex(int index) { comPortIndex_ = index; }
    int baudIndex() const { return baudIndex_; }
    void setBaudIndex(int index) { baudIndex_ = index; }
    bool portOpen() const { return portOpen_; }
    bool online() const { return online_; }
    void setOffline() { online_ = false; }
    int byteTimeMs() const { return byteTimeMs_; }
    // Messages may be sent only while this holds (RS-232 chosen, port open, online).
    bool isUsable() const { return connectionMode_ != ConnectionMode::NoConnection && online_ && portOpen_; }

    // The device the port opens. Empty means the usual device of "COM n"
    // (comPortDevicePath of comPortIndex).
    void setDevicePath(std::string path) { devicePath_ = std::move(path); }
    const std::string& devicePath() const { return devicePath_; }
    std::string effectiveDevicePath() const;
    // The system's reason why the port last failed to open ("" when it did not).
    const std::string& lastPortError() const { return lastPortError_; }

    // --- operations ---
    // Rs232 (re)opens and configures the port; NoConnection only closes it.
    bool openPort(ConnectionMode mode);
    void closePort();
    // Writes the request and reads a reply of replyBytes bytes, realigned on the start
    // byte, trying up to options.tries times (at least once). A request longer than the
    // largest frame or a reply longer than kMaxReplyBytes is refused as a short write or
    // read. While online (outside identification), an exchange that gets no answer at
    // all takes the link offline and tells the user once: every later edit would
    // otherwise wait for the time-outs of a unit that is gone.
    LinkReply exchange(std::span<const std::uint8_t> request, int replyBytes, ExchangeOptions options = {});
    Identification identifyUnit();
    // Opens the port if needed and identifies the unit; tells the user why it failed.
    OnlineAttempt goOnline();

    // --- the "Remote" menu ---
    // "No Connection": close the port, go offline.
    void chooseNoConnection();
    // "RS232" dialog accepted: store the choice and open the port. On failure the user
    // is told and the link falls back to no connection. True when the port is open.
    bool chooseRs232(int comPortIndex, int baudIndex);

private:
    void applyExchangeTimeouts(int bytesToWrite, int extraSeconds);
    std::size_t readReply(int bytesToRead);  // bytes that arrived
    void realignReply(int bytesToRead, std::uint8_t startByte);
    Identification judgeIdentification() const;
    void reportPortFailure();
    void dropAfterSilence();

    LinkNotifier* notifier_ = nullptr;
    std::unique_ptr<SerialPort> port_;

    ConnectionMode connectionMode_ = ConnectionMode::NoConnection;
    int comPortIndex_ = 1;
    int baudIndex_ = 6;
    bool portOpen_ = false;
    bool online_ = false;
    bool identifying_ = false;
    int byteTimeMs_ = 2;
    std::string devicePath_;
    std::string lastPortError_;
    std::function<void()> droppedHandler_;
    // Bytes beyond a reply's length keep earlier replies: the realignment searches them too.
    std::array<std::uint8_t, kReceiveCapacity> receive_{};
};

}  // namespace kv
