#pragma once
// Every byte that goes to the amplifier. The unit's DSP is programmed by the host: each
// parameter becomes filter, gain or limiter coefficients computed here for the unit's
// 96 kHz clock and written as signed 5.23 fixed-point words to numbered addresses. A
// whole preset travels as one long frame of the same coefficients, which is also what a
// preset build file holds.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "document/CodeScales.h"
#include "document/CrossoverSide.h"
#include "document/PresetBank.h"

namespace kv {

using CoefficientWord = std::array<std::uint8_t, 4>;
using FilterSection = std::array<std::uint8_t, 20>;  // five words, see biquadSection
using CrossoverSections = std::array<FilterSection, 2>;
using LimiterTimeWords = std::array<CoefficientWord, 4>;

inline constexpr double kUnitSampleRate = 96000.0;

// Frame layout.
inline constexpr std::uint8_t kDataFrameStart = 0xF1;    // needs the one-byte acknowledge
inline constexpr std::uint8_t kStatusFrameStart = 0xF0;  // meter and temperature queries
inline constexpr std::uint8_t kAcknowledge = 0xA0;
inline constexpr std::uint8_t kStatusReplyStart = 0xA8;
inline constexpr std::uint8_t kMeterCommand = 0x3E;        // '>'
inline constexpr std::uint8_t kTemperatureCommand = 0x3D;  // '='
inline constexpr int kPayloadOffset = 7;

// Body sizes before packing, and the longest frame (the whole preset).
inline constexpr int kPresetImageBodyBytes = 641;
inline constexpr int kPresetImageFrameBytes = 741;
inline constexpr int kMaxFrameBytes = kPresetImageFrameBytes;
inline constexpr int kStatusQueryBytes = 8;
inline constexpr int kMeterReplyBytes = 11;
inline constexpr int kTemperatureReplyBytes = 10;

// A frame for the unit: bytes 0..d, where d (the length before the checksum) is
// `length - 1` once the frame is sealed.
struct UnitFrame {
    std::array<std::uint8_t, kMaxFrameBytes> bytes{};
    int length = 0;  // bytes in use, checksum included

    std::span<const std::uint8_t> view() const { return {bytes.data(), static_cast<std::size_t>(length)}; }
};

// --- value conversions from the document's codes ---
double outputGainLinear(int gainCode);
double limiterAttackSeconds(int attackIndex);

// --- words and sections ---

// Signed 5.23 fixed point, truncated toward zero, 28 bits most significant first. Values
// of magnitude 16 and more wrap (only the low 28 bits travel); a value that is not a
// number travels as zero.
CoefficientWord coefficientWord(double value);

// Second-order section before normalisation:
// y[n] = b0 x[n] + b1 x[n-1] + b2 x[n-2] - a1 y[n-1] - a2 y[n-2], divided through by a0.
struct Biquad {
    double b0 = 1.0, b1 = 0.0, b2 = 0.0, a0 = 1.0, a1 = 0.0, a2 = 0.0;
};

// Section type codes: the PEQ type codes, with 9 and 10 doubling as the crossovers'
// second-order low-pass and high-pass sections.
enum SectionType : int {
    SectionPeaking = 0,
    SectionLowShelf = 1,
    SectionHighShelf = 2,
    SectionAllPass = 5,
    SectionBandPass = 6,
    SectionNotch = 7,
    SectionLowPass = 9,
    SectionHighPass = 10,
};

// The cookbook biquad for a section type at frequency f (Hz), gain (dB) and Q; empty for
// a type that has no formula on the wire.
std::optional<Biquad> cookbookBiquad(int type, double frequency, double gainDb, double q);

// Words -a1/a0, -a2/a0, b0/a0, b1/a0, b2/a0.
FilterSection biquadSection(const Biquad& biquad);
FilterSection passThroughSection();
// A cookbook section, or the pass-through section when bypassed or without a formula.
FilterSection secondOrderSection(int type, double frequency, double gainDb, double q, bool bypass);
FilterSection firstOrderLowPassSection(double frequency, bool bypass);
FilterSection firstOrderHighPassSection(double frequency, bool bypass);

FilterSection peqBandSection(const PeqBand& band);

CrossoverSections crossoverSections(const CrossoverFilter& filter, CrossoverSide side);

CoefficientWord gainWord(const OutputChannel& output);  // mute wins over invert
CoefficientWord delayWord(int delayCount);              // 12 bits in bits 16..27
LimiterTimeWords limiterTimeWords(int attackIndex);     // release is always 16 x attack
std::uint8_t limiterLevelByte(const LimiterSettings& limiter);

// --- addresses ---
enum class DspBlock { Delays, Gain, HighPass, LowPass, PeqBand, LimiterTimes };
// output 1 or 2, band 1..8 (PeqBand only); -1 when the block has no such address.
int dspAddress(DspBlock block, int output, int band = 0);

// --- frames ---

// Seven-bit packing: each group of up to 7 body bytes becomes a header byte holding the
// group's top bits (bit k for the k-th byte) followed by the bytes with the top bit
// cleared. Writes body.size() + ceil(body.size() / 7) bytes; returns that count, or 0
// when `out` is too small.
std::size_t packSevenBit(std::span<const std::uint8_t> body, std::span<std::uint8_t> out);
constexpr std::size_t packedSize(std::size_t bodyBytes) { return bodyBytes + (bodyBytes + 6) / 7; }

// (byte 0 + byte 2 + bytes 3..d-1) & 0x7F over the first d bytes (byte 1 is left out).
std::uint8_t frameChecksum(std::span<const std::uint8_t> bytesBeforeChecksum);

using PresetImage = std::array<std::uint8_t, kPresetImageBodyBytes>;
// The whole-preset body: slot byte, then every section, word and the name of the preset.
PresetImage presetImageBody(const Preset& preset, int slotByte);

// Fills frame bytes 4 onward (0x01, 0x0D, command, packed body) for a message code of a
// preset and returns d, or 0 when nothing was built. `output` is 1 or 2 (the slot byte
// 0..9 for MsgPresetImage, the preset number 1..10 for MsgRecall); `band` is 1..8.
int buildUnitMessage(const Preset& preset, int code, int output, int band, UnitFrame& frame);

// Writes start byte, length, model code and checksum around a built message of length d.
void sealFrame(UnitFrame& frame, std::uint8_t startByte, int d, int unitType);

// buildUnitMessage and sealFrame together, exactly as the frame goes on the wire; empty
// when nothing was built.
std::optional<UnitFrame> framedUnitMessage(const Preset& preset, int unitType, int code, int output,
                                           int band);

// The whole-preset frame of any preset, without selecting it in the document.
UnitFrame presetImageFrame(const Preset& preset, int slotByte, int unitType);

// The 8-byte status query ('>' meters, '=' temperature).
UnitFrame statusQueryFrame(std::uint8_t command, int unitType);

}  // namespace kv
