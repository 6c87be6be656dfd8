#pragma once
// The one serial device the link talks through. UnitLink drives it; PosixSerialPort is
// the real device (hardware or a pseudo-terminal), tests may hand in a fake.
//
// Time-outs follow the amplifier link's classic model, all in milliseconds:
//   - readIntervalMs: once a byte has arrived, a gap longer than this ends the read;
//   - read total: readTotalConstantMs + readTotalMultiplierMs x bytes requested;
//   - write total: writeTotalConstantMs + writeTotalMultiplierMs x bytes to write.
// A zero interval, or a zero total (constant and multiplier both 0), means "no limit".

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace kv {

struct SerialTimeouts {
    int readIntervalMs = 0;
    int readTotalMultiplierMs = 0;
    int readTotalConstantMs = 0;
    int writeTotalMultiplierMs = 0;
    int writeTotalConstantMs = 0;
};

class SerialPort {
public:
    virtual ~SerialPort() = default;

    // Opens the device exclusively. False on failure; lastError() says why.
    virtual bool open(const std::string& devicePath) = 0;
    // Closes the device if open (safe to call any time).
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // Raw 8N1 at the given baud rate, no flow control, RTS asserted.
    virtual bool configure(int baudRate) = 0;

    virtual SerialTimeouts timeouts() const = 0;
    virtual void setTimeouts(const SerialTimeouts& timeouts) = 0;

    // Throws away whatever the driver has received and not yet been read.
    virtual void purgeReceive() = 0;

    // Both return the number of bytes transferred within the time-outs (0 on error).
    virtual std::size_t write(std::span<const std::uint8_t> bytes) = 0;
    virtual std::size_t read(std::span<std::uint8_t> bytes) = 0;

    // The system's reason for the last failure, for the user ("" when none).
    virtual std::string lastError() const = 0;
};

}  // namespace kv
