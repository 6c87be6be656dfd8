#include "sim/SimProtocol.h"

#include <algorithm>

#include "document/MessageCode.h"

namespace kv {

namespace {

constexpr std::uint8_t kQueryStart = 0xF0;
constexpr std::uint8_t kDataStart = 0xF1;
constexpr std::uint8_t kReplyStart = 0xA8;
constexpr std::uint8_t kMeterCommand = 0x3E;
constexpr std::uint8_t kTemperatureCommand = 0x3D;
constexpr std::size_t kHeaderBytes = 7;  // start, length x2, model, 01, 0D, command

// Parameter addresses of command 1 and the message each one carries.
struct AddressKind {
    int code;
    int output;
    int band;
    std::size_t bodyBytes;
};

bool addressKind(std::uint8_t address, AddressKind& kind) {
    if (address == 0xFA)
        kind = {MsgDelays, 0, 0, 13};
    else if (address == 0x73 || address == 0x75)
        kind = {MsgGain, address == 0x73 ? 1 : 2, 0, 9};
    else if (address == 0x4F || address == 0x67)
        kind = {MsgHighPass, address == 0x4F ? 1 : 2, 0, 41};
    else if (address == 0x51 || address == 0x69)
        kind = {MsgLowPass, address == 0x51 ? 1 : 2, 0, 41};
    else if (address >= 0x53 && address <= 0x5A)
        kind = {MsgPeqBand, 1, address - 0x53 + 1, 21};
    else if (address >= 0x6B && address <= 0x72)
        kind = {MsgPeqBand, 2, address - 0x6B + 1, 21};
    else if (address == 0xB5 || address == 0xBA)
        kind = {MsgLimiterTimes, address == 0xB5 ? 1 : 2, 0, 17};
    else
        return false;
    return true;
}

SimFrame invalid(SimFrame frame, const char* problem) {
    frame.kind = SimFrameKind::Invalid;
    frame.code = 0;
    frame.problem = problem;
    return frame;
}

void decodeParameterWrite(SimFrame& frame) {
    AddressKind kind{};
    if (frame.body.empty() || !addressKind(frame.body[0], kind)) {
        frame = invalid(std::move(frame), "unknown parameter address");
        return;
    }
    if (frame.body.size() != kind.bodyBytes) {
        frame = invalid(std::move(frame), "wrong body length for the address");
        return;
    }
    frame.code = kind.code;
    frame.output = kind.output;
    frame.band = kind.band;
    if (kind.code == MsgGain &&
        std::all_of(frame.body.begin() + 1, frame.body.end(), [](auto b) { return b == 0; }))
        frame.code = MsgGainZero;
}

void decodeData(SimFrame& frame, std::span<const std::uint8_t> payload) {
    switch (frame.command) {
        case 1:
        case 2:
        case 3:
            if (!unpackSevenBit(payload, frame.body)) {
                frame = invalid(std::move(frame), "payload is not seven-bit packed");
                return;
            }
            break;
        case 4: frame.body.assign(payload.begin(), payload.end()); break;
        default: frame = invalid(std::move(frame), "unknown command"); return;
    }
    if (frame.command == 1) {
        decodeParameterWrite(frame);
    } else if (frame.command == 2) {
        if (frame.body.size() != 2 || frame.body[0] > 1) {
            frame = invalid(std::move(frame), "bad limiter level body");
            return;
        }
        frame.code = MsgLimiterLevel;
        frame.output = frame.body[0] + 1;
    } else if (frame.command == 3) {
        if (frame.body.size() != 641 || frame.body[0] > 9) {
            frame = invalid(std::move(frame), "bad preset image body");
            return;
        }
        frame.code = MsgPresetImage;
        frame.slot = frame.body[0];
    } else {
        if (frame.body.size() != 1 || frame.body[0] < 1 || frame.body[0] > 10) {
            frame = invalid(std::move(frame), "bad recall preset number");
            return;
        }
        frame.code = MsgRecall;
        frame.presetNumber = frame.body[0];
    }
}

template <std::size_t N>
void sealReply(std::array<std::uint8_t, N>& reply, int modelCode, std::uint8_t command) {
    constexpr std::size_t d = N - 1;
    reply[0] = kReplyStart;
    reply[1] = static_cast<std::uint8_t>(d >> 7);
    reply[2] = static_cast<std::uint8_t>(d & 0x7F);
    reply[3] = static_cast<std::uint8_t>(modelCode);
    reply[4] = 0x01;
    reply[5] = 0x0D;
    reply[6] = command;
    reply[d] = simChecksum(std::span<const std::uint8_t>(reply.data(), d));
}

std::uint8_t clampByte(int value) { return static_cast<std::uint8_t>(std::clamp(value, 0, 255)); }

}  // namespace

std::uint8_t simChecksum(std::span<const std::uint8_t> bytes) {
    unsigned sum = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (i != 1) sum += bytes[i];
    return static_cast<std::uint8_t>(sum & 0x7F);
}

bool unpackSevenBit(std::span<const std::uint8_t> packed, std::vector<std::uint8_t>& body) {
    body.clear();
    for (std::size_t at = 0; at < packed.size(); at += 8) {
        const std::size_t groupEnd = std::min(at + 8, packed.size());
        if (groupEnd - at < 2) return false;  // a header with no bytes after it
        const std::uint8_t header = packed[at];
        for (std::size_t i = at + 1; i < groupEnd; ++i) {
            const auto bit = static_cast<unsigned>(i - at - 1);
            body.push_back(static_cast<std::uint8_t>(packed[i] | (((header >> bit) & 1U) << 7)));
        }
    }
    return true;
}

SimFrame decodeRequest(std::span<const std::uint8_t> request, bool complete, int modelCode) {
    SimFrame frame;
    frame.raw.assign(request.begin(), request.end());
    frame.length = request.size();
    if (request.size() == 2 && request[0] == 0xE0 && request[1] == 0x01) {
        frame.kind = SimFrameKind::Identify;
        return frame;
    }
    if (!complete) return invalid(std::move(frame), "frame cut short or impossible length");
    if (request.size() < kHeaderBytes + 1) return invalid(std::move(frame), "frame too short");
    frame.command = request[6];
    const std::size_t d = request.size() - 1;
    if (simChecksum(request.first(d)) != request[d]) return invalid(std::move(frame), "bad checksum");
    if (request[3] != modelCode) return invalid(std::move(frame), "frame for another model");
    if (request[4] != 0x01 || request[5] != 0x0D) return invalid(std::move(frame), "bad header bytes");
    const auto payload = request.subspan(kHeaderBytes, d - kHeaderBytes);
    if (request[0] == kQueryStart) {
        if (!payload.empty()) return invalid(std::move(frame), "status query with a payload");
        if (frame.command == kMeterCommand)
            frame.kind = SimFrameKind::MeterQuery;
        else if (frame.command == kTemperatureCommand)
            frame.kind = SimFrameKind::TemperatureQuery;
        else
            return invalid(std::move(frame), "unknown status query");
        return frame;
    }
    if (request[0] != kDataStart) return invalid(std::move(frame), "bad start byte");
    frame.kind = SimFrameKind::Data;
    decodeData(frame, payload);
    return frame;
}

std::array<std::uint8_t, 9> identificationReply(int modelCode) {
    // E8 00 08, a reserved byte, the model, then the firmware version 1.04.
    return {0xE8, 0x00, 0x08, 0x00, static_cast<std::uint8_t>(modelCode), 0x01, 0x00, 0x04, 0x00};
}

std::array<std::uint8_t, 11> meterReply(int modelCode, int meter1, int meter2) {
    std::array<std::uint8_t, 11> reply{};
    const std::uint8_t m1 = clampByte(meter1);
    const std::uint8_t m2 = clampByte(meter2);
    reply[7] = static_cast<std::uint8_t>((m1 >> 7) | ((m2 >> 7) << 1));
    reply[8] = m1 & 0x7F;
    reply[9] = m2 & 0x7F;
    sealReply(reply, modelCode, kMeterCommand);
    return reply;
}

std::array<std::uint8_t, 10> temperatureReply(int modelCode, int first, int second) {
    std::array<std::uint8_t, 10> reply{};
    reply[7] = clampByte(first);
    reply[8] = clampByte(second);
    sealReply(reply, modelCode, kTemperatureCommand);
    return reply;
}

}  // namespace kv
