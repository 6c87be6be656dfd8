#pragma once
// A serial port that plays back scripted reads and records what the link did with it,
// for the exchange's exact behaviour (tries, purges, time-outs, realignment).

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

#include "link/SerialPort.h"

namespace kv::test {

class FakeSerialPort : public SerialPort {
public:
    using Bytes = std::vector<std::uint8_t>;

    // --- script ---
    std::deque<Bytes> reads;   // each read() takes the next chunk (cut to the size asked)
    int answerOnlyAtBaud = 0;  // when set, reads at other speeds return nothing
    bool openSucceeds = true;
    bool configureSucceeds = true;
    std::size_t writeLimit = SIZE_MAX;  // bytes a write() accepts
    SerialTimeouts driverTimeouts{};    // what a freshly opened port reports

    // --- record ---
    std::vector<std::string> openedPaths;
    std::vector<int> configuredBauds;
    std::vector<Bytes> written;
    std::vector<SerialTimeouts> readTimeouts;  // in force at each read()
    int purges = 0;
    int closes = 0;
    int baud = 0;

    bool open(const std::string& devicePath) override {
        openedPaths.push_back(devicePath);
        open_ = openSucceeds;
        if (open_) timeouts_ = driverTimeouts;
        return open_;
    }
    void close() override {
        if (open_) ++closes;
        open_ = false;
    }
    bool isOpen() const override { return open_; }
    bool configure(int baudRate) override {
        configuredBauds.push_back(baudRate);
        baud = baudRate;
        return configureSucceeds;
    }
    SerialTimeouts timeouts() const override { return timeouts_; }
    void setTimeouts(const SerialTimeouts& timeouts) override { timeouts_ = timeouts; }
    void purgeReceive() override { ++purges; }
    std::size_t write(std::span<const std::uint8_t> bytes) override {
        const std::size_t accepted = std::min(bytes.size(), writeLimit);
        written.emplace_back(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(accepted));
        return accepted;
    }
    std::size_t read(std::span<std::uint8_t> bytes) override {
        readTimeouts.push_back(timeouts_);
        if (reads.empty() || (answerOnlyAtBaud != 0 && baud != answerOnlyAtBaud)) return 0;
        const Bytes chunk = reads.front();
        reads.pop_front();
        const std::size_t n = std::min(chunk.size(), bytes.size());
        std::copy_n(chunk.begin(), n, bytes.begin());
        return n;
    }
    std::string lastError() const override { return open_ ? "" : "Permission denied (fake)"; }

private:
    bool open_ = false;
    SerialTimeouts timeouts_{};
};

}  // namespace kv::test
