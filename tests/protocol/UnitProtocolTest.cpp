#include "protocol/UnitProtocol.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numeric>
#include <string>
#include <vector>

#include "document/KorvaliserDoc.h"
#include "protocol/ProtocolDecoding.h"

namespace kv {
namespace {

using test::hex;

std::string hexOf(const CoefficientWord& w) { return hex(w); }

// --- frames that must come out byte for byte ---

struct WorkedFrame {
    const char* what;
    std::function<std::optional<UnitFrame>(CKorvaliserDoc&)> build;
    const char* bytes;
};

class WorkedFrames : public ::testing::TestWithParam<WorkedFrame> {};

TEST_P(WorkedFrames, ComeOutByteForByte) {
    CKorvaliserDoc doc;
    const std::optional<UnitFrame> frame = GetParam().build(doc);
    ASSERT_TRUE(frame.has_value());
    EXPECT_EQ(hex(frame->view()), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Protocol, WorkedFrames,
    ::testing::Values(
        WorkedFrame{
            "meter query KV520",
            [](CKorvaliserDoc&) { return std::optional(statusQueryFrame(kMeterCommand, kUnitKV520)); },
            "F0 00 07 32 01 0D 3E 75"},
        WorkedFrame{
            "temperature query KV420",
            [](CKorvaliserDoc&) { return std::optional(statusQueryFrame(kTemperatureCommand, kUnitKV420)); },
            "F0 00 07 31 01 0D 3D 73"},
        WorkedFrame{"recall of unit preset 3 on a KV420",
                    [](CKorvaliserDoc& doc) {
                        doc.setUnitType(kUnitKV420);
                        return framedUnitMessage(doc.preset(-1), doc.unitType(), MsgRecall, 3, 0);
                    },
                    "F1 00 08 31 01 0D 04 03 3F"},
        WorkedFrame{"limiter level 6 on Output 2 of a KV520",
                    [](CKorvaliserDoc& doc) {
                        doc.setUnitType(kUnitKV520);
                        doc.setLimiterLevel(1, 6);
                        return framedUnitMessage(doc.preset(-1), doc.unitType(), MsgLimiterLevel, 2, 0);
                    },
                    "F1 00 0A 32 01 0D 02 02 01 7A 3A"},
        WorkedFrame{"limiter level 0 on Output 2 packs as 00 01 00",
                    [](CKorvaliserDoc& doc) {
                        doc.setUnitType(kUnitKV520);
                        return framedUnitMessage(doc.preset(-1), doc.unitType(), MsgLimiterLevel, 2, 0);
                    },
                    "F1 00 0A 32 01 0D 02 00 01 00 3E"},
        WorkedFrame{"gain 150 on Output 1 of a KV420",
                    [](CKorvaliserDoc& doc) {
                        doc.setUnitType(kUnitKV420);
                        doc.setGain(0, 150);
                        return framedUnitMessage(doc.preset(-1), doc.unitType(), MsgGain, 1, 0);
                    },
                    "F1 00 12 31 01 0D 01 04 73 00 00 00 00 00 00 00 00 00 3A"},
        WorkedFrame{"muted gain sends a zero gain word",
                    [](CKorvaliserDoc& doc) {
                        doc.setUnitType(kUnitKV420);
                        doc.setMute(0, true);
                        return framedUnitMessage(doc.preset(-1), doc.unitType(), MsgGain, 1, 0);
                    },
                    "F1 00 12 31 01 0D 01 00 73 00 00 00 00 00 00 00 00 00 36"},
        WorkedFrame{"silencing gain on Output 2 whatever the gain",
                    [](CKorvaliserDoc& doc) {
                        doc.setUnitType(kUnitKV420);
                        doc.setGain(1, 30);
                        return framedUnitMessage(doc.preset(-1), doc.unitType(), MsgGainZero, 2, 0);
                    },
                    "F1 00 12 31 01 0D 01 00 75 00 00 00 00 00 00 00 00 00 38"},
        WorkedFrame{"delay 2038 on Output 2 lands in the third word",
                    [](CKorvaliserDoc& doc) {
                        doc.setUnitType(kUnitKV520);
                        doc.setDelay(1, 2038);
                        return framedUnitMessage(doc.preset(-1), doc.unitType(), MsgDelays, 1, 0);
                    },
                    // body FA 00000000 00000000 07F60000, packed in groups of seven
                    "F1 00 16 32 01 0D 01 01 7A 00 00 00 00 00 00 08 00 00 07 76 00 00 48"}),
    [](const auto& info) {
        std::string name;
        for (const char c : std::string(info.param.what))
            name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

// --- words ---

TEST(CoefficientWord, FixedPointExamplesAndWrap) {
    const struct {
        double value;
        const char* bytes;
    } cases[] = {
        {1.0, "00 80 00 00"},
        {-1.0, "0F 80 00 00"},
        {0.5, "00 40 00 00"},
        {-0.5, "0F C0 00 00"},
        {0.0, "00 00 00 00"},
        {15.999999, "07 FF FF F7"},
        {-16.0, "08 00 00 00"},
        {16.0, "08 00 00 00"},
        {17.0, "08 80 00 00"},
        {-1.0 / 8388608.0, "0F FF FF FF"},
        {0.9 / 8388608.0, "00 00 00 00"},
        {-0.9 / 8388608.0, "00 00 00 00"},
        {1e300, "00 00 00 00"},
        {std::nan(""), "00 00 00 00"},
        {INFINITY, "00 00 00 00"},
    };
    for (const auto& c : cases) EXPECT_EQ(hexOf(coefficientWord(c.value)), c.bytes) << c.value;
}

TEST(CoefficientWord, GainWordAppliesPolarityThenMute) {
    const struct {
        int gain;
        std::uint8_t flags;
        std::string bytes;
    } cases[] = {
        {150, 0, "00 80 00 00"},
        {150, kFlagInvert, "0F 80 00 00"},
        {150, kFlagInvert | kFlagMute, "00 00 00 00"},
        {150, kFlagMute, "00 00 00 00"},
        {30, 0, hexOf(coefficientWord(std::pow(10.0, 12.0 / 20.0)))},
        {10, 0, hexOf(coefficientWord(std::pow(10.0, 12.0 / 20.0)))},  // clamped to +12 dB
        {500, 0, hexOf(coefficientWord(std::pow(10.0, -30.0 / 20.0)))},
    };
    for (const auto& c : cases) {
        OutputChannel output;
        output.gain = static_cast<std::uint16_t>(c.gain);
        output.flags = c.flags;
        EXPECT_EQ(hexOf(gainWord(output)), c.bytes) << c.gain << " flags " << int(c.flags);
    }
    OutputChannel halfDb;
    halfDb.gain = 155;  // tenths of a dB count, not whole dB
    EXPECT_NEAR(test::wordValue(gainWord(halfDb).data()), std::pow(10.0, -0.5 / 20.0), 1e-6);
}

TEST(CoefficientWord, DelayAndLimiterLevelBytes) {
    EXPECT_EQ(hexOf(delayWord(2038)), "07 F6 00 00");
    EXPECT_EQ(hexOf(delayWord(1)), "00 01 00 00");
    EXPECT_EQ(hexOf(delayWord(0)), "00 00 00 00");
    const struct {
        int level;
        int byte;
    } levels[] = {{0, 0x00}, {1, 0xFF}, {6, 0xFA}, {20, 0xEC}, {0x1FF, 0x01}};
    for (const auto& c : levels) {
        LimiterSettings limiter;
        limiter.level = static_cast<std::uint16_t>(c.level);
        EXPECT_EQ(limiterLevelByte(limiter), c.byte) << c.level;
    }
}

TEST(CoefficientWord, LimiterTimesAreOnePoleSmoothersOfAttackAndSixteenTimesAttack) {
    for (const int attack : {2, 4, 6, 8, 10, 12, 14, 17}) {
        const LimiterTimeWords words = limiterTimeWords(attack);
        const double ta = 0.000125 * std::pow(std::sqrt(2.0), attack);
        const double ca = test::wordValue(words[1].data());
        const double cr = test::wordValue(words[3].data());
        // After one time constant of samples the smoother has fallen to 1/e.
        EXPECT_NEAR(std::log(ca) * 96000.0 * ta, -1.0, 1e-3) << attack;
        // The release pole sits so close to 1 that the word's last bit is what is left to check.
        EXPECT_NEAR(cr, std::exp(-1.0 / (96000.0 * 16.0 * ta)), 1.0 / 8388608.0) << attack;
        EXPECT_NEAR(test::wordValue(words[0].data()) + ca, 1.0, 2.5e-7) << attack;
        EXPECT_NEAR(test::wordValue(words[2].data()) + cr, 1.0, 2.5e-7) << attack;
    }
    EXPECT_NEAR(limiterAttackSeconds(17), 0.0453, 0.0001);  // the " 45mS" entry
}

// --- packing and checksum ---

TEST(Packing, GroupSizesAndTopBits) {
    const struct {
        std::vector<std::uint8_t> body;
        const char* packed;
    } cases[] = {
        {{}, ""},
        {{0x80}, "01 00"},
        {{1, 2, 3, 4, 5, 6, 7}, "00 01 02 03 04 05 06 07"},
        {{0x81, 2, 0x83, 4, 5, 6, 0xFF, 0x88}, "45 01 02 03 04 05 06 7F 01 08"},
        {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, "7F 7F 7F 7F 7F 7F 7F 7F 03 7F 7F"},
    };
    for (const auto& c : cases) {
        std::array<std::uint8_t, 32> out{};
        const std::size_t n = packSevenBit(c.body, out);
        EXPECT_EQ(n, packedSize(c.body.size()));
        EXPECT_EQ(hex({out.data(), n}), c.packed);
        EXPECT_EQ(test::unpackSevenBit({out.begin(), out.begin() + static_cast<std::ptrdiff_t>(n)}), c.body);
    }
    EXPECT_EQ(packedSize(7), 8u);
    EXPECT_EQ(packedSize(8), 10u);
    EXPECT_EQ(packedSize(641), 733u);
}

TEST(Packing, RefusesAnOutputThatIsTooSmall) {
    const std::vector<std::uint8_t> body(8, 0x55);
    std::array<std::uint8_t, 9> out{};
    EXPECT_EQ(packSevenBit(body, out), 0u);
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](auto b) { return b == 0; }));
}

TEST(Packing, ChecksumLeavesOutTheHighLengthByte) {
    const std::vector<std::uint8_t> shortFrame{0xF0, 0x00, 0x07, 0x32, 0x01, 0x0D, 0x3E};
    EXPECT_EQ(frameChecksum(shortFrame), 0x75);
    const std::vector<std::uint8_t> longFrame{0xF1, 0x05, 0x64, 0x31, 0x01};
    EXPECT_EQ(frameChecksum(longFrame), (0xF1 + 0x64 + 0x31 + 0x01) & 0x7F);
}

// --- message sizes and the per-output guards ---

TEST(Messages, LengthOfEveryCode) {
    CKorvaliserDoc doc;
    const struct {
        int code, output, band, d;
    } cases[] = {
        {MsgDelays, 1, 0, 22},
        {MsgGain, 2, 0, 18},
        {MsgPeqBand, 1, 8, 31},
        {MsgHighPass, 2, 0, 54},
        {MsgLowPass, 1, 0, 54},
        {MsgGainZero, 1, 0, 18},
        {MsgLimiterTimes, 2, 0, 27},
        {MsgLimiterLevel, 1, 0, 10},
        {MsgPresetImage, 9, 0, 740},
        {MsgRecall, 10, 0, 8},
        // nothing is built for a missing output, band or slot, or an unknown code
        {MsgPeqBand, 0, 1, 0},
        {MsgHighPass, 0, 0, 0},
        {MsgLowPass, 0, 0, 0},
        {MsgLimiterTimes, 0, 0, 0},
        {MsgLimiterLevel, 0, 0, 0},
        {MsgGain, 3, 0, 0},
        {MsgGainZero, 0, 0, 0},
        {MsgPeqBand, 1, 0, 0},
        {MsgPeqBand, 2, 9, 0},
        {MsgPresetImage, 10, 0, 0},
        {MsgPresetImage, -1, 0, 0},
        {MsgRecall, 0, 0, 0},
        {MsgRecall, 11, 0, 0},
        {4, 1, 0, 0},
        {0, 1, 1, 0},
    };
    for (const auto& c : cases) {
        UnitFrame frame;
        EXPECT_EQ(buildUnitMessage(doc.preset(-1), c.code, c.output, c.band, frame), c.d)
            << "code " << c.code << " output " << c.output << " band " << c.band;
        if (c.d == 0) continue;
        const std::optional<UnitFrame> sealed =
            framedUnitMessage(doc.preset(-1), doc.unitType(), c.code, c.output, c.band);
        ASSERT_TRUE(sealed);
        EXPECT_EQ(sealed->length, c.d + 1);
        EXPECT_EQ(sealed->bytes[0], kDataFrameStart);
        for (int i = 1; i < sealed->length; ++i)
            ASSERT_LT(sealed->bytes[static_cast<std::size_t>(i)], 0x80) << i;
    }
}

TEST(Messages, AddressesOfEveryBlock) {
    const struct {
        DspBlock block;
        int output, band, address;
    } cases[] = {
        {DspBlock::Delays, 1, 0, 0xFA},       {DspBlock::Delays, 2, 0, 0xFA},
        {DspBlock::Gain, 1, 0, 0x73},         {DspBlock::Gain, 2, 0, 0x75},
        {DspBlock::HighPass, 1, 0, 0x4F},     {DspBlock::HighPass, 2, 0, 0x67},
        {DspBlock::LowPass, 1, 0, 0x51},      {DspBlock::LowPass, 2, 0, 0x69},
        {DspBlock::PeqBand, 1, 1, 0x53},      {DspBlock::PeqBand, 1, 8, 0x5A},
        {DspBlock::PeqBand, 2, 1, 0x6B},      {DspBlock::PeqBand, 2, 8, 0x72},
        {DspBlock::LimiterTimes, 1, 0, 0xB5}, {DspBlock::LimiterTimes, 2, 0, 0xBA},
        {DspBlock::PeqBand, 1, 9, -1},        {DspBlock::Gain, 0, 0, -1},
    };
    for (const auto& c : cases) EXPECT_EQ(dspAddress(c.block, c.output, c.band), c.address);
}

TEST(Messages, BodiesCarryAddressAndContent) {
    CKorvaliserDoc doc;
    doc.setBandGain(1, 2, 60);
    doc.setHighPassFrequency(0, 100);
    const auto body = [&](int code, int output, int band) {
        return test::frameBody(*framedUnitMessage(doc.preset(-1), doc.unitType(), code, output, band));
    };
    const std::vector<std::uint8_t> band = body(MsgPeqBand, 2, 3);
    ASSERT_EQ(band.size(), 21u);
    EXPECT_EQ(band[0], 0x6D);
    const FilterSection expected = peqBandSection(doc.outputChannel(1).bands[2]);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), band.begin() + 1));

    const std::vector<std::uint8_t> limiter = body(MsgLimiterTimes, 1, 0);
    ASSERT_EQ(limiter.size(), 17u);
    EXPECT_EQ(limiter[0], 0xB5);
    const LimiterTimeWords words = limiterTimeWords(14);  // high-pass index 100 -> attack 14
    for (std::size_t w = 0; w < 4; ++w)
        EXPECT_TRUE(
            std::equal(words[w].begin(), words[w].end(), limiter.begin() + 1 + 4 * static_cast<long>(w)));

    const std::vector<std::uint8_t> highPass = body(MsgHighPass, 1, 0);
    ASSERT_EQ(highPass.size(), 41u);
    EXPECT_EQ(highPass[0], 0x4F);
    const CrossoverSections sections =
        crossoverSections(doc.outputChannel(0).highPass, CrossoverSide::HighPass);
    EXPECT_TRUE(std::equal(sections[0].begin(), sections[0].end(), highPass.begin() + 1));
    EXPECT_TRUE(std::equal(sections[1].begin(), sections[1].end(), highPass.begin() + 21));
}

// --- the whole preset ---

TEST(PresetImage, LayoutOfEveryField) {
    CKorvaliserDoc doc;
    doc.setPresetName(-1, u"Main");
    doc.setHighPassFrequency(0, 100);
    doc.setLowPassSlope(1, 2);
    doc.setBandType(0, 7, 2);
    doc.setBandGain(1, 0, -90);
    doc.setDelay(0, 300);
    doc.setDelay(1, 1200);
    doc.setGain(0, 200);
    doc.setInvert(1, true);
    doc.setLimiterLevel(0, 3);
    doc.setLimiterLevel(1, 20);
    const Preset& preset = doc.preset(-1);
    const PresetImage image = presetImageBody(preset, 7);

    const auto at = [&](std::size_t offset, const auto& part) {
        return std::equal(part.begin(), part.end(), image.begin() + static_cast<std::ptrdiff_t>(offset));
    };
    EXPECT_EQ(image[0], 7);
    for (std::size_t o = 0; o < 2; ++o) {
        const OutputChannel& ch = preset.outputs[o];
        const std::size_t base = 1 + 240 * o;
        const auto hp = crossoverSections(ch.highPass, CrossoverSide::HighPass);
        const auto lp = crossoverSections(ch.lowPass, CrossoverSide::LowPass);
        EXPECT_TRUE(at(base, hp[0]) && at(base + 20, hp[1])) << o;
        EXPECT_TRUE(at(base + 40, lp[0]) && at(base + 60, lp[1])) << o;
        for (std::size_t b = 0; b < 8; ++b)
            EXPECT_TRUE(at(base + 80 + 20 * b, peqBandSection(ch.bands[b]))) << b;
        EXPECT_TRUE(at(493 + 4 * o, gainWord(ch))) << o;
        const LimiterTimeWords words = limiterTimeWords(limiterAttackIndex(ch.highPass.frequency));
        for (std::size_t w = 0; w < 4; ++w) EXPECT_TRUE(at(501 + 16 * o + 4 * w, words[w])) << o;
        EXPECT_EQ(image[533 + o], limiterLevelByte(ch.limiter));
    }
    EXPECT_EQ(hex({image.data() + 481, 12}), "01 2C 00 00 00 00 00 00 04 B0 00 00");
    EXPECT_EQ(image[533], 0xFD);
    EXPECT_EQ(image[534], 0xEC);
    EXPECT_EQ(std::string(image.begin() + 535, image.begin() + 551), "Main            ");
    EXPECT_TRUE(std::all_of(image.begin() + 551, image.end(), [](auto b) { return b == 0; }));
}

TEST(PresetImage, NameBytesKeepSevenBitsAndStopAtSixteen) {
    Preset preset{};
    const std::u16string name = u"\u00E9t\u00E9 sixteen chars+";  // longer than 16 and not ASCII
    std::copy_n(name.begin(), 16, preset.name.begin());
    const PresetImage image = presetImageBody(preset, 0);
    EXPECT_EQ(image[535], 0xE9 & 0x7F);
    EXPECT_EQ(image[536], 't');
    EXPECT_EQ(std::string(image.begin() + 537, image.begin() + 551), "\x69 sixteen char");
    EXPECT_EQ(image[551], 0);
}

TEST(PresetImage, FrameIs741BytesWithTheHighLengthByteOutsideTheChecksum) {
    CKorvaliserDoc doc;
    doc.setUnitType(kUnitKV520);
    const std::optional<UnitFrame> frame =
        framedUnitMessage(doc.preset(-1), doc.unitType(), MsgPresetImage, 4, 0);
    ASSERT_TRUE(frame);
    ASSERT_EQ(frame->length, 741);
    EXPECT_EQ(hex({frame->bytes.data(), 7}), "F1 05 64 32 01 0D 03");
    const unsigned plain = std::accumulate(frame->bytes.begin(), frame->bytes.begin() + 740, 0u);
    EXPECT_EQ(frame->bytes[740], (plain - 0x05) & 0x7F);
    EXPECT_NE(frame->bytes[740], plain & 0x7F);
    const std::vector<std::uint8_t> body = test::frameBody(*frame);
    ASSERT_EQ(body.size(), 641u);
    const PresetImage image = presetImageBody(doc.preset(-1), 4);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), body.begin()));
    // the same frame for a preset that is not current
    const UnitFrame direct = presetImageFrame(doc.preset(-1), 4, kUnitKV520);
    EXPECT_EQ(hex(direct.view()), hex(frame->view()));
}

}  // namespace
}  // namespace kv
