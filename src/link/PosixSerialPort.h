#pragma once
// The serial port on Linux: termios and poll(), on real hardware or on a
// pseudo-terminal (the simulated amplifier).

#include <string>
#include <vector>

#include "link/SerialPort.h"

namespace kv {

class PosixSerialPort final : public SerialPort {
public:
    PosixSerialPort() = default;
    ~PosixSerialPort() override;
    PosixSerialPort(const PosixSerialPort&) = delete;
    PosixSerialPort& operator=(const PosixSerialPort&) = delete;

    bool open(const std::string& devicePath) override;
    void close() override;
    bool isOpen() const override { return fd_ >= 0; }
    bool configure(int baudRate) override;
    SerialTimeouts timeouts() const override { return timeouts_; }
    void setTimeouts(const SerialTimeouts& timeouts) override { timeouts_ = timeouts; }
    void purgeReceive() override;
    std::size_t write(std::span<const std::uint8_t> bytes) override;
    std::size_t read(std::span<std::uint8_t> bytes) override;
    std::string lastError() const override { return lastError_; }

private:
    void fail(const std::string& what, int error);

    int fd_ = -1;
    bool exclusive_ = false;  // TIOCEXCL set by us
    std::string path_;
    SerialTimeouts timeouts_{};
    std::string lastError_;
};

// The device "COM n" opens when the user picked no other: /dev/ttyS<n-1>, the
// conventional numbering of the built-in ports. comPortIndex is zero-based.
std::string comPortDevicePath(int comPortIndex);

struct SerialDeviceInfo {
    std::string path;         // what to open
    std::string description;  // e.g. the by-id name, for the dialog
};

// Serial devices present: /dev/serial/by-id/* first, then ttyUSB*, ttyACM* and the
// ttyS* ports that have a UART behind them, each device once.
std::vector<SerialDeviceInfo> listSerialDevices();

}  // namespace kv
