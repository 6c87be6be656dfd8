#include "sim/SimFrame.h"

#include <cstdio>

namespace kv {

const char* simFrameKindName(SimFrameKind kind) {
    switch (kind) {
        case SimFrameKind::Identify: return "identify";
        case SimFrameKind::Data: return "data";
        case SimFrameKind::MeterQuery: return "meter";
        case SimFrameKind::TemperatureQuery: return "temperature";
        case SimFrameKind::Invalid: return "invalid";
    }
    return "invalid";
}

namespace {

std::string hex(const std::vector<std::uint8_t>& bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(bytes.size() * 2);
    for (const std::uint8_t b : bytes) {
        text.push_back(kDigits[b >> 4]);
        text.push_back(kDigits[b & 0x0F]);
    }
    return text;
}

// Problems are our own fixed texts, but escape anyway so a line is always valid JSON.
std::string jsonString(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(c);
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned>(c));
            out += buffer;
        } else {
            out.push_back(c);
        }
    }
    return out + "\"";
}

}  // namespace

std::string toJsonLine(const SimFrame& frame) {
    std::string line = "{\"kind\":" + jsonString(simFrameKindName(frame.kind));
    line += ",\"command\":" + std::to_string(frame.command);
    line += ",\"code\":" + std::to_string(frame.code);
    line += ",\"output\":" + std::to_string(frame.output);
    line += ",\"band\":" + std::to_string(frame.band);
    if (frame.slot >= 0) line += ",\"slot\":" + std::to_string(frame.slot);
    if (frame.presetNumber > 0) line += ",\"preset\":" + std::to_string(frame.presetNumber);
    line += ",\"length\":" + std::to_string(frame.length);
    line += ",\"answered\":" + std::string(frame.answered ? "true" : "false");
    line += ",\"accepted\":" + std::string(frame.accepted ? "true" : "false");
    line += ",\"baud\":" + std::to_string(frame.hostBaud);
    if (!frame.problem.empty()) line += ",\"problem\":" + jsonString(frame.problem);
    line += ",\"raw\":\"" + hex(frame.raw) + "\"}";
    return line;
}

}  // namespace kv
