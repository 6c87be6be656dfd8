#pragma once
// The link to the amplifier: connection state, the serial port, the one blocking
// request/reply exchange every message travels on, identification of the unit (which
// also teaches the document the unit's model) and going online.
//
// One object per application, created by it and handed on by reference. Everything
// runs on the caller's thread; an exchange blocks until the reply or the time-outs.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "link/LinkNotifier.h"
#include "link/SerialPort.h"

namespace kv {

class CKorvaliserDoc;

enum class IdentifyResult : int {
    Identified = 0,
    NoResponse = 1,
    IncorrectResponse = 2,
    IncorrectDevice = 3,
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
    static constexpr std::size_t kReceiveCapacity = 32;
    static constexpr int kMaxReplyBytes = static_cast<int>(kReceiveCapacity) - 4;

    // exchange results besides the reply length
    static constexpr int kShortWrite = -1;
    static constexpr int kShortRead = -2;

    static constexpr int kNoConnection = 0;
    static constexpr int kRs232 = 1;

    // The document learns the unit's model on identification. A null port means the
    // real POSIX device; a null notifier keeps failures silent.
    UnitLink(CKorvaliserDoc& document, LinkNotifier* notifier, std::unique_ptr<SerialPort> port = nullptr);
    ~UnitLink();
    UnitLink(const UnitLink&) = delete;
    UnitLink& operator=(const UnitLink&) = delete;

    void setNotifier(LinkNotifier* notifier) { notifier_ = notifier; }
    // Runs when the link has gone offline by itself because the unit stopped answering
    // (the user has been told); an editor then shows its offline colours.
    void setDroppedHandler(std::function<void()> handler) { droppedHandler_ = std::move(handler); }

    // --- state ---
    int connectionMode() const { return connectionMode_; }
    void setConnectionMode(int mode) { connectionMode_ = mode; }
    int comPortIndex() const { return comPortIndex_; }
    void setComPortIndex(int index) { comPortIndex_ = index; }
    int baudIndex() const { return baudIndex_; }
    void setBaudIndex(int index) { baudIndex_ = index; }
    bool portOpen() const { return portOpen_; }
    bool online() const { return online_; }
    void setOffline() { online_ = false; }
    int byteTimeMs() const { return byteTimeMs_; }
    // Messages may be sent only while this holds (RS-232 chosen, port open, online).
    bool isUsable() const { return connectionMode_ != kNoConnection && online_ && portOpen_; }

    // The device the port opens. Empty means the usual device of "COM n"
    // (comPortDevicePath of comPortIndex).
    void setDevicePath(std::string path) { devicePath_ = std::move(path); }
    const std::string& devicePath() const { return devicePath_; }
    std::string effectiveDevicePath() const;
    // The system's reason why the port last failed to open ("" when it did not).
    const std::string& lastPortError() const { return lastPortError_; }

    // --- buffers ---
    std::array<std::uint8_t, kTransmitCapacity>& transmitBuffer() { return transmit_; }
    const std::array<std::uint8_t, kReceiveCapacity>& receiveBuffer() const { return receive_; }

    // --- operations ---
    // Mode 1 (re)opens and configures the port; any other mode only closes it.
    bool openPort(int mode);
    void closePort();
    // Sends the first bytesToWrite bytes of the transmit buffer and reads a reply of
    // bytesToRead bytes to the start of the receive buffer, realigned on startByte.
    // Returns bytesToRead, kShortWrite or kShortRead. tries < 0 means 3.
    // While online (outside identification), an exchange that gets no answer at all
    // takes the link offline and tells the user once: every later edit would otherwise
    // wait for the time-outs of a unit that is gone.
    int exchange(int bytesToWrite, int bytesToRead, int tries, int extraSeconds, int startByte);
    IdentifyResult identifyUnit();
    // Opens the port if needed and identifies the unit; tells the user why it failed.
    // True when online afterwards.
    bool goOnline();

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
    IdentifyResult judgeIdentification();
    void reportPortFailure();
    void dropAfterSilence();

    CKorvaliserDoc& document_;
    LinkNotifier* notifier_ = nullptr;
    std::unique_ptr<SerialPort> port_;

    int connectionMode_ = kNoConnection;
    int comPortIndex_ = 1;
    int baudIndex_ = 6;
    bool portOpen_ = false;
    bool online_ = false;
    bool identifying_ = false;
    int byteTimeMs_ = 2;
    std::string devicePath_;
    std::string lastPortError_;
    std::function<void()> droppedHandler_;
    std::array<std::uint8_t, kTransmitCapacity> transmit_{};
    std::array<std::uint8_t, kReceiveCapacity> receive_{};
};

}  // namespace kv
