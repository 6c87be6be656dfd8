#pragma once
// Frames as the host seals them, built here independently of the link's protocol code
// so the simulator is checked against the wire format itself.

#include <cstdint>
#include <vector>

namespace kv::test {

using Bytes = std::vector<std::uint8_t>;

// Seven-bit packing: per group of up to 7 bytes a header of their top bits, then the
// bytes with the top bit cleared.
inline Bytes packed(const Bytes& body) {
    Bytes out;
    for (std::size_t at = 0; at < body.size(); at += 7) {
        const std::size_t end = std::min(at + 7, body.size());
        std::uint8_t header = 0;
        for (std::size_t i = at; i < end; ++i)
            header |= static_cast<std::uint8_t>((body[i] >> 7) << (i - at));
        out.push_back(header);
        for (std::size_t i = at; i < end; ++i) out.push_back(body[i] & 0x7F);
    }
    return out;
}

// start, length, model, 01 0D, command, payload, checksum (byte 1 left out of the sum).
inline Bytes hostFrame(std::uint8_t start, int model, std::uint8_t command, const Bytes& payload) {
    Bytes frame{start, 0x00, 0x00, static_cast<std::uint8_t>(model), 0x01, 0x0D, command};
    frame.insert(frame.end(), payload.begin(), payload.end());
    const std::size_t d = frame.size();
    frame[1] = static_cast<std::uint8_t>(d >> 7);
    frame[2] = static_cast<std::uint8_t>(d & 0x7F);
    unsigned sum = 0;
    for (std::size_t i = 0; i < d; ++i)
        if (i != 1) sum += frame[i];
    frame.push_back(static_cast<std::uint8_t>(sum & 0x7F));
    return frame;
}

}  // namespace kv::test
