#include "protocol/UnitProtocol.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "document/KorvaliserDoc.h"
#include "document/MessageCode.h"

namespace kv {

namespace {

// 2 pi / 96000: the angular step of one hertz at the unit's sample rate.
constexpr double kRadiansPerHertz = 0.00006544984694978735;
constexpr double kFixedPointOne = 8388608.0;                    // 2^23
constexpr double kWordModulus = 268435456.0;                    // 2^28: only 28 bits travel
constexpr int kLimiterReleaseShift = kLimiterReleaseIndex + 1;  // release = 2^(3+1) x attack
constexpr int kMinOutputGain = 30;
constexpr int kMaxOutputGain = 450;
constexpr int kHighPassFloorIndex = 12;    // 10 Hz and below: sent as a 5 Hz filter
constexpr int kLowPassCeilingIndex = 433;  // above 32 kHz: both sections pass through
constexpr double kHighPassFloorHz = 5.0;
constexpr int kSteepestSlope = 8;  // the unit has no 48 dB slopes
constexpr int kFallbackSlope = 6;  // ... and gets 24 dB Link/Riley instead

constexpr std::uint8_t kFrameByte4 = 0x01;
constexpr std::uint8_t kFrameByte5 = 0x0D;
constexpr std::uint8_t kCommandCoefficients = 1;
constexpr std::uint8_t kCommandLimiterLevel = 2;
constexpr std::uint8_t kCommandPresetImage = 3;
constexpr std::uint8_t kCommandRecall = 4;

// Body offsets of the whole-preset image.
constexpr std::size_t kImageOutputBytes = 240;  // 2 + 2 + 8 sections
constexpr std::size_t kImageDelays = 481;
constexpr std::size_t kImageGains = 493;
constexpr std::size_t kImageLimiterTimes = 501;
constexpr std::size_t kImageLimiterLevels = 533;
constexpr std::size_t kImageName = 535;
constexpr std::size_t kImageNameBytes = 16;

template <std::size_t N, std::size_t M>
std::size_t put(std::array<std::uint8_t, N>& target, std::size_t at,
                const std::array<std::uint8_t, M>& part) {
    std::copy(part.begin(), part.end(), target.begin() + static_cast<std::ptrdiff_t>(at));
    return at + M;
}

// One section of a crossover slope: a first- or second-order filter at factor x f.
struct SectionPlan {
    enum Kind { Pass, FirstOrder, SecondOrder } kind = Pass;
    double factor = 1.0;
    double q = 0.0;
};

struct SlopePlan {
    std::array<SectionPlan, 2> lowPass;
    std::array<SectionPlan, 2> highPass;
};

constexpr double kQButterworth = 0.7071067811865476;  // 1/sqrt 2
constexpr double kQBessel12 = std::numbers::inv_sqrt3;
constexpr double kQBessel18 = 0.691085003455425;
constexpr double kQBessel24a = 0.5219206680584552;
constexpr double kQBessel24b = 0.8058017727639;
constexpr double kQButterworth24a = 0.541196100146197;   // 1/sqrt(2 + sqrt 2)
constexpr double kQButterworth24b = 1.3065629648763766;  // 1/sqrt(2 - sqrt 2)

constexpr SectionPlan second(double factor, double q) { return {SectionPlan::SecondOrder, factor, q}; }
constexpr SectionPlan first(double factor) { return {SectionPlan::FirstOrder, factor, 0.0}; }
constexpr SectionPlan pass() { return {}; }

// Slope codes 0..8 (steeper codes are sent as code 6). The high-pass frequency factors
// of the Bessel slopes are the reciprocals of the low-pass ones.
constexpr std::array<SlopePlan, 9> kSlopePlans{{
    {{second(1.2736, kQBessel12), pass()}, {second(0.7851758793969849, kQBessel12), pass()}},
    {{second(1, kQButterworth), pass()}, {second(1, kQButterworth), pass()}},
    {{second(1.4524, kQBessel18), first(1.327)},
     {second(0.6885155604516663, kQBessel18), first(0.7535795026375283)}},
    {{second(1, 1), first(1)}, {second(1, 1), first(1)}},
    {{second(1.4192, kQBessel24a), second(1.5912, kQBessel24b)},
     {second(0.7046223224351748, kQBessel24a), second(0.628456510809452, kQBessel24b)}},
    {{second(1, kQButterworth24a), second(1, kQButterworth24b)},
     {second(1, kQButterworth24a), second(1, kQButterworth24b)}},
    {{second(1, kQButterworth), second(1, kQButterworth)},
     {second(1, kQButterworth), second(1, kQButterworth)}},
    {{first(1), pass()}, {first(1), pass()}},
    {{first(1), first(1)}, {first(1), first(1)}},
}};

FilterSection planSection(const SectionPlan& plan, CrossoverSide side, double frequency) {
    const double f = plan.factor * frequency;
    const bool lowPass = side == CrossoverSide::LowPass;
    switch (plan.kind) {
        case SectionPlan::SecondOrder:
            return secondOrderSection(lowPass ? SectionLowPass : SectionHighPass, f, 0.0, plan.q, false);
        case SectionPlan::FirstOrder:
            return lowPass ? firstOrderLowPassSection(f, false) : firstOrderHighPassSection(f, false);
        case SectionPlan::Pass: break;
    }
    return passThroughSection();
}

FilterSection sectionOfWords(const std::array<double, 5>& values) {
    FilterSection section{};
    for (std::size_t i = 0; i < values.size(); ++i) {
        const CoefficientWord word = coefficientWord(values[i]);
        std::copy(word.begin(), word.end(), section.begin() + static_cast<std::ptrdiff_t>(4 * i));
    }
    return section;
}

bool isOutputNumber(int output) { return output == 1 || output == 2; }

const OutputChannel& channelOf(const Preset& preset, int outputIndex) {
    return preset.outputs[static_cast<std::size_t>(outputIndex)];
}

// Body of a coefficient message: address byte, then the given words or sections.
struct MessageBody {
    std::array<std::uint8_t, kPresetImageBodyBytes> bytes{};
    std::size_t size = 0;
    std::uint8_t command = kCommandCoefficients;

    template <std::size_t M>
    void append(const std::array<std::uint8_t, M>& part) {
        size = put(bytes, size, part);
    }
    void append(std::uint8_t byte) { bytes[size++] = byte; }
};

std::optional<MessageBody> messageBody(const Preset& preset, int code, int output, int band) {
    MessageBody body;
    const int index = output - 1;
    switch (code) {
        case MsgDelays:
            body.append(static_cast<std::uint8_t>(dspAddress(DspBlock::Delays, 1)));
            body.append(delayWord(channelOf(preset, 0).delay));
            body.append(CoefficientWord{});
            body.append(delayWord(channelOf(preset, 1).delay));
            return body;
        case MsgGain:
        case MsgGainZero:
            if (!isOutputNumber(output)) return std::nullopt;
            body.append(static_cast<std::uint8_t>(dspAddress(DspBlock::Gain, output)));
            body.append(code == MsgGain ? gainWord(channelOf(preset, index)) : CoefficientWord{});
            body.append(CoefficientWord{});
            return body;
        case MsgPeqBand:
            if (!isOutputNumber(output) || band < 1 || band > kBandsInUse) return std::nullopt;
            body.append(static_cast<std::uint8_t>(dspAddress(DspBlock::PeqBand, output, band)));
            body.append(peqBandSection(channelOf(preset, index).bands[static_cast<std::size_t>(band - 1)]));
            return body;
        case MsgHighPass:
        case MsgLowPass: {
            if (!isOutputNumber(output)) return std::nullopt;
            const bool high = code == MsgHighPass;
            const OutputChannel& channel = channelOf(preset, index);
            body.append(
                static_cast<std::uint8_t>(dspAddress(high ? DspBlock::HighPass : DspBlock::LowPass, output)));
            const CrossoverSections sections =
                high ? crossoverSections(channel.highPass, CrossoverSide::HighPass)
                     : crossoverSections(channel.lowPass, CrossoverSide::LowPass);
            for (const FilterSection& section : sections) body.append(section);
            return body;
        }
        case MsgLimiterTimes:
            if (!isOutputNumber(output)) return std::nullopt;
            body.append(static_cast<std::uint8_t>(dspAddress(DspBlock::LimiterTimes, output)));
            for (const CoefficientWord& word :
                 limiterTimeWords(limiterAttackIndex(channelOf(preset, index).highPass.frequency)))
                body.append(word);
            return body;
        case MsgLimiterLevel:
            if (!isOutputNumber(output)) return std::nullopt;
            body.command = kCommandLimiterLevel;
            body.append(static_cast<std::uint8_t>(index));
            body.append(limiterLevelByte(channelOf(preset, index).limiter));
            return body;
        case MsgPresetImage:
            if (output < 0 || output >= kPresetCount) return std::nullopt;
            body.command = kCommandPresetImage;
            body.append(presetImageBody(preset, output));
            return body;
        default: return std::nullopt;
    }
}

}  // namespace

double outputGainLinear(int gainCode) { return std::pow(10.0, (15.0 - gainCode / 10.0) / 20.0); }

double limiterAttackSeconds(int attackIndex) { return 0.000125 * std::pow(std::numbers::sqrt2, attackIndex); }

CoefficientWord coefficientWord(double value) {
    if (!std::isfinite(value)) return {};
    // fmod keeps the wrap of oversized values defined; the result is the low 28 bits of
    // the two's-complement integer.
    double wrapped = std::fmod(std::trunc(value * kFixedPointOne), kWordModulus);
    if (wrapped < 0.0) wrapped += kWordModulus;
    const auto n = static_cast<std::uint32_t>(wrapped);
    return {static_cast<std::uint8_t>((n >> 24) & 0x0F), static_cast<std::uint8_t>((n >> 16) & 0xFF),
            static_cast<std::uint8_t>((n >> 8) & 0xFF), static_cast<std::uint8_t>(n & 0xFF)};
}

std::optional<Biquad> cookbookBiquad(int type, double frequency, double gainDb, double q) {
    const double w0 = frequency * kRadiansPerHertz;
    const double cs = std::cos(w0);
    const double alpha = std::sin(w0) / (2.0 * q);
    const double a = std::pow(10.0, gainDb / 40.0);
    const double shelf = 2.0 * std::sqrt(a) * alpha;
    switch (type) {
        case SectionPeaking:
            return Biquad{1 + alpha * a, -2 * cs, 1 - alpha * a, 1 + alpha / a, -2 * cs, 1 - alpha / a};
        case SectionLowShelf:
            return Biquad{a * ((a + 1) - (a - 1) * cs + shelf), 2 * a * ((a - 1) - (a + 1) * cs),
                          a * ((a + 1) - (a - 1) * cs - shelf), (a + 1) + (a - 1) * cs + shelf,
                          -2 * ((a - 1) + (a + 1) * cs),        (a + 1) + (a - 1) * cs - shelf};
        case SectionHighShelf:
            return Biquad{a * ((a + 1) + (a - 1) * cs + shelf), -2 * a * ((a - 1) + (a + 1) * cs),
                          a * ((a + 1) + (a - 1) * cs - shelf), (a + 1) - (a - 1) * cs + shelf,
                          2 * ((a - 1) - (a + 1) * cs),         (a + 1) - (a - 1) * cs - shelf};
        case SectionAllPass: return Biquad{1 - alpha, -2 * cs, 1 + alpha, 1 + alpha, -2 * cs, 1 - alpha};
        case SectionBandPass: return Biquad{alpha, 0, -alpha, 1 + alpha, -2 * cs, 1 - alpha};
        case SectionNotch: return Biquad{1, -2 * cs, 1, 1 + alpha, -2 * cs, 1 - alpha};
        case SectionLowPass: return Biquad{(1 - cs) / 2, 1 - cs, (1 - cs) / 2, 1 + alpha, -2 * cs, 1 - alpha};
        case SectionHighPass:
            return Biquad{(1 + cs) / 2, -(1 + cs), (1 + cs) / 2, 1 + alpha, -2 * cs, 1 - alpha};
        default: return std::nullopt;
    }
}

FilterSection biquadSection(const Biquad& b) {
    return sectionOfWords({-b.a1 / b.a0, -b.a2 / b.a0, b.b0 / b.a0, b.b1 / b.a0, b.b2 / b.a0});
}

FilterSection passThroughSection() { return sectionOfWords({0.0, 0.0, 1.0, 0.0, 0.0}); }

FilterSection secondOrderSection(int type, double frequency, double gainDb, double q, bool bypass) {
    if (bypass) return passThroughSection();
    const std::optional<Biquad> biquad = cookbookBiquad(type, frequency, gainDb, q);
    return biquad ? biquadSection(*biquad) : passThroughSection();
}

namespace {
double firstOrderPole(double frequency) {
    const double t = std::tan(frequency * kRadiansPerHertz / 2.0);
    return (1.0 - t) / (1.0 + t);
}
}  // namespace

FilterSection firstOrderLowPassSection(double frequency, bool bypass) {
    if (bypass) return passThroughSection();
    const double p = firstOrderPole(frequency);
    return sectionOfWords({p, 0.0, (1.0 - p) / 2.0, (1.0 - p) / 2.0, 0.0});
}

FilterSection firstOrderHighPassSection(double frequency, bool bypass) {
    if (bypass) return passThroughSection();
    const double p = firstOrderPole(frequency);
    return sectionOfWords({p, 0.0, (1.0 + p) / 2.0, -(1.0 + p) / 2.0, 0.0});
}

FilterSection peqBandSection(const PeqBand& band) {
    return secondOrderSection(band.type, frequencyOfIndex(band.frequency), band.gain / 10.0, qOfIndex(band.q),
                              band.flat != 0);
}

CrossoverSections crossoverSections(const CrossoverFilter& filter, CrossoverSide side) {
    if (side == CrossoverSide::LowPass && filter.frequency >= kLowPassCeilingIndex)
        return {passThroughSection(), passThroughSection()};
    if (side == CrossoverSide::HighPass && filter.frequency <= kHighPassFloorIndex)
        return {secondOrderSection(SectionHighPass, kHighPassFloorHz, 0.0, kQButterworth, false),
                passThroughSection()};
    const int slope = filter.slope > kSteepestSlope ? kFallbackSlope : filter.slope;
    const SlopePlan& plan = kSlopePlans[static_cast<std::size_t>(slope)];
    const auto& sections = side == CrossoverSide::LowPass ? plan.lowPass : plan.highPass;
    const double f = frequencyOfIndex(filter.frequency);
    return {planSection(sections[0], side, f), planSection(sections[1], side, f)};
}

CoefficientWord gainWord(const OutputChannel& output) {
    if ((output.flags & kFlagMute) != 0) return coefficientWord(0.0);
    const double linear = outputGainLinear(std::clamp<int>(output.gain, kMinOutputGain, kMaxOutputGain));
    return coefficientWord((output.flags & kFlagInvert) != 0 ? -linear : linear);
}

CoefficientWord delayWord(int delayCount) {
    return {static_cast<std::uint8_t>((delayCount >> 8) & 0x0F), static_cast<std::uint8_t>(delayCount & 0xFF),
            0, 0};
}

LimiterTimeWords limiterTimeWords(int attackIndex) {
    const double attack = limiterAttackSeconds(attackIndex);
    const double release = std::ldexp(attack, kLimiterReleaseShift);
    const double ca = std::exp(-1.0 / (kUnitSampleRate * attack));
    const double cr = std::exp(-1.0 / (kUnitSampleRate * release));
    return {coefficientWord(1.0 - ca), coefficientWord(ca), coefficientWord(1.0 - cr), coefficientWord(cr)};
}

std::uint8_t limiterLevelByte(const LimiterSettings& limiter) {
    return static_cast<std::uint8_t>((0x100 - (limiter.level & 0xFF)) & 0xFF);
}

int dspAddress(DspBlock block, int output, int band) {
    if (block == DspBlock::Delays) return 0xFA;  // one message for both outputs
    if (!isOutputNumber(output)) return -1;
    const bool second = output == 2;
    switch (block) {
        case DspBlock::Gain: return second ? 0x75 : 0x73;
        case DspBlock::HighPass: return second ? 0x67 : 0x4F;
        case DspBlock::LowPass: return second ? 0x69 : 0x51;
        case DspBlock::PeqBand:
            if (band < 1 || band > kBandsInUse) return -1;
            return (second ? 0x6B : 0x53) + band - 1;
        case DspBlock::LimiterTimes: return second ? 0xBA : 0xB5;
        case DspBlock::Delays: break;
    }
    return -1;
}

std::size_t packSevenBit(std::span<const std::uint8_t> body, std::span<std::uint8_t> out) {
    const std::size_t needed = packedSize(body.size());
    if (out.size() < needed) return 0;
    std::size_t written = 0;
    for (std::size_t start = 0; start < body.size(); start += 7) {
        const std::size_t count = std::min<std::size_t>(7, body.size() - start);
        std::uint8_t header = 0;
        for (std::size_t k = 0; k < count; ++k) {
            const std::uint8_t byte = body[start + k];
            header = static_cast<std::uint8_t>(header | ((byte >> 7) << k));
            out[written + 1 + k] = static_cast<std::uint8_t>(byte & 0x7F);
        }
        out[written] = header;
        written += count + 1;
    }
    return written;
}

std::uint8_t frameChecksum(std::span<const std::uint8_t> bytes) {
    unsigned sum = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (i != 1) sum += bytes[i];
    return static_cast<std::uint8_t>(sum & 0x7F);
}

PresetImage presetImageBody(const Preset& preset, int slotByte) {
    PresetImage image{};
    image[0] = static_cast<std::uint8_t>(slotByte);
    for (std::size_t o = 0; o < kOutputsInUse; ++o) {
        const OutputChannel& channel = preset.outputs[o];
        std::size_t at = 1 + o * kImageOutputBytes;
        for (const FilterSection& s : crossoverSections(channel.highPass, CrossoverSide::HighPass))
            at = put(image, at, s);
        for (const FilterSection& s : crossoverSections(channel.lowPass, CrossoverSide::LowPass))
            at = put(image, at, s);
        for (std::size_t b = 0; b < kBandsInUse; ++b) at = put(image, at, peqBandSection(channel.bands[b]));
    }
    std::size_t at = put(image, kImageDelays, delayWord(preset.outputs[0].delay));
    at = put(image, at, CoefficientWord{});
    put(image, at, delayWord(preset.outputs[1].delay));
    for (std::size_t o = 0; o < kOutputsInUse; ++o) {
        const OutputChannel& channel = preset.outputs[o];
        put(image, kImageGains + 4 * o, gainWord(channel));
        std::size_t words = kImageLimiterTimes + 16 * o;
        for (const CoefficientWord& w : limiterTimeWords(limiterAttackIndex(channel.highPass.frequency)))
            words = put(image, words, w);
        image[kImageLimiterLevels + o] = limiterLevelByte(channel.limiter);
    }
    bool ended = false;  // the name ends at its terminator; spaces fill the rest
    for (std::size_t i = 0; i < kImageNameBytes; ++i) {
        ended = ended || preset.name[i] == u'\0';
        image[kImageName + i] = ended ? std::uint8_t{0x20} : static_cast<std::uint8_t>(preset.name[i] & 0x7F);
    }
    return image;  // the tail stays zero
}

int buildUnitMessage(const Preset& preset, int code, int output, int band, UnitFrame& frame) {
    frame.bytes[4] = kFrameByte4;
    frame.bytes[5] = kFrameByte5;
    if (code == MsgRecall) {
        if (output < 1 || output > kPresetCount) return 0;
        frame.bytes[6] = kCommandRecall;
        frame.bytes[7] = static_cast<std::uint8_t>(output);
        return kPayloadOffset + 1;
    }
    const std::optional<MessageBody> body = messageBody(preset, code, output, band);
    if (!body) return 0;
    frame.bytes[6] = body->command;
    const std::span<std::uint8_t> payload(frame.bytes.data() + kPayloadOffset,
                                          frame.bytes.size() - kPayloadOffset);
    const std::size_t packed = packSevenBit({body->bytes.data(), body->size}, payload);
    return packed == 0 ? 0 : kPayloadOffset + static_cast<int>(packed);
}

void sealFrame(UnitFrame& frame, std::uint8_t startByte, int d, int unitType) {
    frame.bytes[0] = startByte;
    frame.bytes[1] = static_cast<std::uint8_t>((d >> 7) & 0x7F);
    frame.bytes[2] = static_cast<std::uint8_t>(d & 0x7F);
    frame.bytes[3] = static_cast<std::uint8_t>(unitType & 0xFF);
    const auto dBytes = static_cast<std::size_t>(d);
    frame.bytes[dBytes] = frameChecksum({frame.bytes.data(), dBytes});
    frame.length = d + 1;
}

std::optional<UnitFrame> framedUnitMessage(const Preset& preset, int unitType, int code, int output,
                                           int band) {
    UnitFrame frame;
    const int d = buildUnitMessage(preset, code, output, band, frame);
    if (d == 0) return std::nullopt;
    sealFrame(frame, kDataFrameStart, d, unitType);
    return frame;
}

UnitFrame presetImageFrame(const Preset& preset, int slotByte, int unitType) {
    UnitFrame frame;
    frame.bytes[4] = kFrameByte4;
    frame.bytes[5] = kFrameByte5;
    frame.bytes[6] = kCommandPresetImage;
    const PresetImage body = presetImageBody(preset, slotByte);
    const std::size_t packed =
        packSevenBit(body, {frame.bytes.data() + kPayloadOffset, packedSize(body.size())});
    sealFrame(frame, kDataFrameStart, kPayloadOffset + static_cast<int>(packed), unitType);
    return frame;
}

UnitFrame statusQueryFrame(std::uint8_t command, int unitType) {
    UnitFrame frame;
    frame.bytes[4] = kFrameByte4;
    frame.bytes[5] = kFrameByte5;
    frame.bytes[6] = command;
    sealFrame(frame, kStatusFrameStart, kPayloadOffset, unitType);
    return frame;
}

}  // namespace kv
