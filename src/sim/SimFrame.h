#pragma once
// One request the simulated amplifier decoded, as the tests and the JSON-lines log see it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kv {

enum class SimFrameKind {
    Identify,          // the two bytes E0 01
    Data,              // an F1 frame (commands 1 to 4), answered with one byte
    MeterQuery,        // F0 ... '>'
    TemperatureQuery,  // F0 ... '='
    Invalid,           // bad checksum, length, header or command
};

const char* simFrameKindName(SimFrameKind kind);

struct SimFrame {
    SimFrameKind kind = SimFrameKind::Invalid;
    int command = 0;  // byte 6 of a frame, 0 for identification
    // Message code the bytes carry (MsgDelays .. MsgRecall), 0 when none. A gain frame
    // whose two words are both zero is reported as MsgGainZero (a muted MsgGain is the
    // same bytes).
    int code = 0;
    int output = 0;                  // 1-based output, 0 when not per output
    int band = 0;                    // 1-based PEQ band, 0 when not per band
    int slot = -1;                   // MsgPresetImage: slot byte 0..9
    int presetNumber = 0;            // MsgRecall: 1..10
    std::size_t length = 0;          // bytes of the request
    std::vector<std::uint8_t> raw;   // the request as received
    std::vector<std::uint8_t> body;  // unpacked body (commands 1-3) or payload (4)
    bool answered = false;           // a reply (acknowledge or status) was sent
    bool accepted = false;           // the acknowledge was 0xA0
    int hostBaud = 0;                // speed the host had set on the line
    std::string problem;             // why an Invalid frame was refused
};

// {"kind":..,"code":..,"output":..,"band":..,"length":..,"raw":"f1000a.."...} on one line.
std::string toJsonLine(const SimFrame& frame);

}  // namespace kv
