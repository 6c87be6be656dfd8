#pragma once
// A simulated amplifier on the master side of a pseudo-terminal. The host opens
// devicePath() like any serial port. A background thread answers identification,
// acknowledges data frames, answers meter and temperature queries, keeps ten preset
// slots and a recall, and can misbehave on request. The destructor stops and joins.
//
// Every setter is thread-safe and takes effect for the next request.

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "sim/SimFrame.h"

namespace kv {

inline constexpr std::uint8_t kSimAcknowledge = 0xA0;
inline constexpr std::uint8_t kSimRefusal = 0xAE;
inline constexpr std::size_t kSimPresetImageBytes = 640;  // whole-preset image after the slot byte
inline constexpr int kSimPresetSlots = 10;

using SimPresetImage = std::array<std::uint8_t, kSimPresetImageBytes>;

struct SimulatorOptions {
    int modelCode = 0x32;               // byte 4 of the identification reply (KV520)
    bool emulateWireTime = false;       // replies take the time the host's speed needs
    std::vector<int> answerSpeeds;      // baud rates answered at; empty = every speed
    std::string logPath;                // JSON-lines log file; empty = none
    std::ostream* logStream = nullptr;  // JSON-lines log stream (outlives the simulator)
};

class SimulatedAmplifier {
public:
    // Opens the pseudo-terminal and starts serving. Throws std::runtime_error when the
    // system has no pseudo-terminal to give or the log file cannot be opened.
    explicit SimulatedAmplifier(SimulatorOptions options = {});
    ~SimulatedAmplifier();
    SimulatedAmplifier(const SimulatedAmplifier&) = delete;
    SimulatedAmplifier& operator=(const SimulatedAmplifier&) = delete;

    // The slave device the host opens (e.g. /dev/pts/7).
    const std::string& devicePath() const;
    // False once the simulator hung up.
    bool isConnected() const;

    // --- behaviour ---
    void setModelCode(int code);
    // Replaces the whole 9-byte identification reply (to provoke wrong replies).
    void setIdentityReply(const std::array<std::uint8_t, 9>& reply);
    void clearIdentityReply();
    void setAnswerSpeeds(std::vector<int> baudRates);
    void setEmulateWireTime(bool on);
    // Raw meter values (0..255) sent in the meter reply, held until setMovingMeters().
    void setMeters(int output1, int output2);
    // Meters follow a slow sine per output (the default).
    void setMovingMeters();
    // The two temperature readings of the temperature reply, degrees Celsius.
    void setTemperatures(int first, int second);

    // --- faults ---
    void setSilent(bool silent);  // answer nothing at all
    // Send these bytes before each of the next `replies` replies (-1 = every reply).
    void setStrayBytes(std::vector<std::uint8_t> bytes, int replies = -1);
    // Refuse the next `count` data frames even when they are valid.
    void refuseNextFrames(int count);
    // Acknowledge `frames` more data frames, then hang up (close the line).
    void hangUpAfterFrames(int frames);
    void hangUp();

    // --- what the unit saw and holds ---
    std::vector<SimFrame> frames() const;
    std::size_t frameCount() const;
    void clearFrames();
    // Waits until at least `count` frames were recorded; false on time-out.
    bool waitForFrames(std::size_t count, std::chrono::milliseconds timeout) const;
    std::optional<SimPresetImage> storedPreset(int slot) const;  // slot 0..9
    std::string storedPresetName(int slot) const;                // trailing spaces kept
    int recalledPreset() const;                                  // 1..10, 0 = none yet

private:
    class Engine;
    std::unique_ptr<Engine> engine_;
};

}  // namespace kv
