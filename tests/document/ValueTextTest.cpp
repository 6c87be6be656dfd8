#include "document/ValueText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kv {
namespace {

struct TextCase {
    const char* what;
    std::string text;
    std::string expected;
};

void expectTexts(const std::vector<TextCase>& cases) {
    for (const TextCase& c : cases) EXPECT_EQ(c.text, c.expected) << c.what;
}

TEST(ValueText, FrequencyBoundariesAndDecimals) {
    expectTexts({
        {"index 0", frequencyText(0), " <10Hz"},
        {"index 12", frequencyText(12), " <10Hz"},
        {"index 13", frequencyText(13), " 10.0Hz"},
        {"index 128", frequencyText(128), " 91.9Hz"},
        {"index 129", frequencyText(129), "   94Hz"},
        {"index 251", frequencyText(251), "  981Hz"},
        {"index 252", frequencyText(252), " 1k00Hz"},
        {"index 277", frequencyText(277), " 1k62Hz"},
        {"index 371", frequencyText(371), " 9k89Hz"},
        {"index 372", frequencyText(372), " 10k1Hz"},
        {"index 396", frequencyText(396), " 16k0Hz"},
        {"index 432", frequencyText(432), " 32k0Hz"},
        {"index 433", frequencyText(433), ">32k0Hz"},
        {"index 65535", frequencyText(65535), ">32k0Hz"},
        // Taken as 16-bit unsigned: -1 is 65535, 65536 + 252 is 252.
        {"index -1", frequencyText(-1), ">32k0Hz"},
        {"index 65788", frequencyText(65536 + 252), " 1k00Hz"},
    });
}

TEST(ValueText, OutputGainIsFifteenMinusTenthsWithSignAndWidth) {
    expectTexts({
        {"code 150", outputGainText(150), " +0.0dB"},
        {"code 30", outputGainText(30), "+12.0dB"},
        {"code 450", outputGainText(450), "-30.0dB"},
        {"code 140", outputGainText(140), " +1.0dB"},
        {"code 155", outputGainText(155), " -0.5dB"},
        // Signed 16-bit: 65535 reads as -1, i.e. +15.1 dB.
        {"code 65535", outputGainText(65535), "+15.1dB"},
    });
}

TEST(ValueText, BandGainOnlyForPeqAndShelves) {
    expectTexts({
        {"-300 PEQ", bandGainText(-300, 0), "-30.0dB"},
        {"150 PEQ", bandGainText(150, 0), "+15.0dB"},
        {"0 PEQ", bandGainText(0, 0), " +0.0dB"},
        {"-45 Low Shelf", bandGainText(-45, 1), " -4.5dB"},
        {"60 High Shelf", bandGainText(60, 2), " +6.0dB"},
        {"HighPass", bandGainText(60, 3), "N/A"},
        {"Notch", bandGainText(0, 7), "N/A"},
        {"Elliptic HighPass", bandGainText(0, 12), "N/A"},
        {"type 13", bandGainText(0, 13), "N/A"},
        {"signed 16-bit gain", bandGainText(65536 - 300, 0), "-30.0dB"},
        {"type 256 is type 0", bandGainText(10, 256), " +1.0dB"},
    });
}

TEST(ValueText, BandWidthAsQReciprocalOrPhase) {
    expectTexts({
        {"q 84 Q", bandWidthText(84, 0, true), "1.00"},
        {"q 84 BW", bandWidthText(84, 0, false), "1.0000"},
        {"q 65 Q", bandWidthText(65, 0, true), " 3.0"},
        {"q 0 Q", bandWidthText(0, 0, true), " 128"},
        {"q 38 Q", bandWidthText(38, 0, true), "  14"},
        {"q 39 Q", bandWidthText(39, 0, true), "13.5"},
        {"q 79 Q", bandWidthText(79, 0, true), " 1.3"},
        {"q 80 Q", bandWidthText(80, 0, true), "1.26"},
        {"q 108 Q", bandWidthText(108, 0, true), "0.25"},
        {"q 72 BW", bandWidthText(72, 5, false), "0.5000"},
        {"q 108 BW", bandWidthText(108, 0, false), "4.0000"},
        {"phase 45", bandWidthText(45, 8, true), "90\u00B0"},
        {"phase 0 in BW mode", bandWidthText(0, 8, false), "0\u00B0"},
        {"phase 89", bandWidthText(89, 8, true), "178\u00B0"},
        {"elliptic LP", bandWidthText(72, 11, true), "N/A"},
        {"elliptic HP", bandWidthText(72, 12, false), "N/A"},
        {"type 264 is Phase", bandWidthText(10, 264, true), "20\u00B0"},
    });
}

TEST(ValueText, DelayInMilliseconds) {
    expectTexts({
        {"0", delayText(0), " 0.0000 mS"},
        {"96", delayText(96), " 1.0000 mS"},
        {"1", delayText(1), " 0.0104 mS"},
        {"2038", delayText(2038), "21.2292 mS"},
        {"65535", delayText(65535), "682.6562 mS"},
    });
}

TEST(ValueText, SlopeCodes) {
    expectTexts({
        {"0", slopeText(0), "12dB Bessel"},
        {"1", slopeText(1), "12dB Butterworth"},
        {"2", slopeText(2), "18dB Bessel"},
        {"3", slopeText(3), "18dB Butterworth"},
        {"4", slopeText(4), "24dB Bessel"},
        {"5", slopeText(5), "24dB Butterworth"},
        {"6", slopeText(6), "24dB Link/Riley"},
        {"7", slopeText(7), "6dB 1st Order"},
        {"8", slopeText(8), "12dB Link/Riley"},
        {"9", slopeText(9), "48dB Bessel"},
        {"10", slopeText(10), "48dB Butterworth"},
        {"11", slopeText(11), "48dB Link/Riley"},
        {"12", slopeText(12), ""},
        {"255", slopeText(255), ""},
        {"256 is code 0", slopeText(256), "12dB Bessel"},
    });
}

TEST(ValueText, TypeTextsLongAndShort) {
    const std::vector<std::string> longNames{
        "PEQ",
        "Low Shelf",
        "High Shelf",
        "HighPass",
        "LowPass",
        "AllPass",
        "BandPass",
        "Notch",
        "Phase",
        "VariQ LowPass",
        "VariQ HighPass",
        "Elliptic LowPass",
        "Elliptic HighPass",
    };
    const std::vector<std::string> shortNames{
        "PEQ",   "Low Shelf", "High Shelf", "HighPass", "LowPass",  "AllPass",  "BandPass",
        "Notch", "Phase",     "VariQ LP",   "VariQ HP", "Ellip.LP", "Ellip.HP",
    };
    for (int type = 0; type < 13; ++type) {
        EXPECT_EQ(typeText(type, false), longNames[static_cast<std::size_t>(type)]) << type;
        EXPECT_EQ(typeText(type, true), shortNames[static_cast<std::size_t>(type)]) << type;
    }
    expectTexts({
        {"13", typeText(13, false), "PEQ"},
        {"255 short", typeText(255, true), "PEQ"},
        {"256 + 9 short", typeText(256 + 9, true), "VariQ LP"},
    });
}

TEST(ValueText, LimiterTimesClampAndReleaseMultipliers) {
    expectTexts({
        {"time 0", limiterTimeText(0), "0.1mS"},
        {"time 11", limiterTimeText(11), "5.7mS"},
        {"time 13", limiterTimeText(13), " 11mS"},
        {"time 17", limiterTimeText(17), " 45mS"},
        {"time 19", limiterTimeText(19), " 90mS"},
        {"time 25 clamps", limiterTimeText(25), " 90mS"},
        {"time 256 is 0", limiterTimeText(256), "0.1mS"},
        {"time -1 is 255", limiterTimeText(-1), " 90mS"},
        {"release 0", releaseMultiplierText(0), "x2"},
        {"release 3", releaseMultiplierText(3), "x16"},
        {"release 4", releaseMultiplierText(4), "x32"},
        {"release 5", releaseMultiplierText(5), ""},
        {"release 259 is 3", releaseMultiplierText(259), "x16"},
    });
}

}  // namespace
}  // namespace kv
