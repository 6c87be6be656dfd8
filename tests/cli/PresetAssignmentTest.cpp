#include "cli/PresetAssignment.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "document/file/OvkFile.h"

namespace kv {
namespace {

using Reader = std::function<int(const CKorvaliserDoc&)>;

TEST(PresetAssignment, EachKeyReachesItsSetter) {
    struct Case {
        const char* assignment;
        Reader read;
        int expected;
    };
    const std::vector<Case> cases{
        {"out1.gain=140", [](const CKorvaliserDoc& d) { return d.gain(0); }, 140},
        {"out2.gain=+200", [](const CKorvaliserDoc& d) { return d.gain(1); }, 200},
        {"out1.mute=1", [](const CKorvaliserDoc& d) { return int(d.mute(0)); }, 1},
        {"out2.invert=1", [](const CKorvaliserDoc& d) { return int(d.invert(1)); }, 1},
        {"out2.delay=96", [](const CKorvaliserDoc& d) { return d.delay(1); }, 96},
        {"out1.limiter=20", [](const CKorvaliserDoc& d) { return d.limiterLevel(0); }, 20},
        {"out1.hp.freq=12", [](const CKorvaliserDoc& d) { return d.highPassFrequency(0); }, 12},
        {"out2.hp.slope=11", [](const CKorvaliserDoc& d) { return d.highPassSlope(1); }, 11},
        {"out1.lp.freq=433", [](const CKorvaliserDoc& d) { return d.lowPassFrequency(0); }, 433},
        {"out2.lp.slope=7", [](const CKorvaliserDoc& d) { return d.lowPassSlope(1); }, 7},
        {"out1.band1.freq=48", [](const CKorvaliserDoc& d) { return d.bandFrequency(0, 0); }, 48},
        {"out2.band8.gain=-300", [](const CKorvaliserDoc& d) { return d.bandGain(1, 7); }, -300},
        {"out1.band4.q=100", [](const CKorvaliserDoc& d) { return d.bandQ(0, 3); }, 100},
        {"out1.band5.flat=1", [](const CKorvaliserDoc& d) { return int(d.bandFlat(0, 4)); }, 1},
        {"out2.band2.type=12", [](const CKorvaliserDoc& d) { return d.bandType(1, 1); }, 12},
        // The setters' own clamps apply.
        {"out1.gain=10", [](const CKorvaliserDoc& d) { return d.gain(0); }, 30},
        {"out1.gain=500", [](const CKorvaliserDoc& d) { return d.gain(0); }, 450},
        {"out1.delay=5000", [](const CKorvaliserDoc& d) { return d.delay(0); }, 2038},
    };
    for (const Case& c : cases) {
        CKorvaliserDoc doc;
        doc.selectPreset(6);
        EXPECT_EQ(applyAssignment(doc, c.assignment), "") << c.assignment;
        EXPECT_EQ(c.read(doc), c.expected) << c.assignment;
        EXPECT_TRUE(doc.isModified()) << c.assignment;
        EXPECT_EQ(doc.currentPreset(), 6);
        // Other presets keep their values.
        const CKorvaliserDoc untouched;
        doc.selectPreset(5);
        EXPECT_EQ(c.read(doc), c.read(untouched)) << c.assignment << " leaked into another preset";
    }
}

TEST(PresetAssignment, AssignmentsApplyInOrderSoRangesFollowTheType) {
    CKorvaliserDoc doc;
    EXPECT_EQ(applyAssignment(doc, "out1.band1.gain=-200"), "");  // inside -300..150 of a PEQ band
    // On a Low Shelf the gain range narrows to -150..150.
    EXPECT_EQ(applyAssignment(doc, "out1.band1.type=1"), "");
    EXPECT_NE(applyAssignment(doc, "out1.band1.gain=-200"), "");
    EXPECT_EQ(applyAssignment(doc, "out1.band1.gain=-150"), "");
    // A HighPass band keeps a slope code in q.
    EXPECT_EQ(applyAssignment(doc, "out1.band2.type=3"), "");
    EXPECT_EQ(applyAssignment(doc, "out1.band2.q=11"), "");
    EXPECT_NE(applyAssignment(doc, "out1.band2.q=12"), "");
    EXPECT_EQ(doc.bandGain(0, 0), -150);
    EXPECT_EQ(doc.bandQ(0, 1), 11);
}

TEST(PresetAssignment, NamesAreCutToSixteenUnitsWithoutSplittingAPair) {
    struct Case {
        const char* assignment;
        std::u16string expected;
    };
    const std::vector<Case> cases{
        {"name=Mains", u"Mains"},
        {"name=", u""},
        {"name=a=b", u"a=b"},
        {"name=Front of house left", u"Front of house l"},
        {"name=Caf\xC3\xA9", u"Caf\u00E9"},
        {"name=123456789012345\xF0\x9F\x8E\xB8", u"123456789012345"},
        {"name=12345678901234\xF0\x9F\x8E\xB8", u"12345678901234\U0001F3B8"},
        {"name=bad \xFF byte", u"bad \uFFFD byte"},
    };
    for (const Case& c : cases) {
        CKorvaliserDoc doc;
        doc.selectPreset(2);
        EXPECT_EQ(applyAssignment(doc, c.assignment), "") << c.assignment;
        EXPECT_EQ(doc.presetNameText(2), c.expected) << c.assignment;
    }
}

TEST(PresetAssignment, RefusedAssignmentsChangeNothing) {
    struct Case {
        const char* assignment;
        const char* reasonPart;
    };
    const std::vector<Case> cases{
        {"gain", "not KEY=VALUE"},
        {"out3.gain=100", "unknown key"},
        {"out0.gain=100", "unknown key"},
        {"out1.volume=100", "unknown key"},
        {"out1.band9.gain=0", "unknown key"},
        {"out1.band0.gain=0", "unknown key"},
        {"out1.band+1.gain=0", "unknown key"},
        {"out1.band1.width=3", "unknown key"},
        {"out1.hp=12", "unknown key"},
        {"Name=x", "unknown key"},
        {"out1.gain=", "not a whole number"},
        {"out1.gain=12.5", "not a whole number"},
        {"out1.gain=0x20", "not a whole number"},
        {"out1.gain= 40", "not a whole number"},
        {"out1.gain=99999999999", "not a whole number"},
        {"out1.mute=2", "outside 0..1"},
        {"out1.band1.flat=-1", "outside 0..1"},
        {"out1.delay=-1", "outside 0..65535"},
        {"out1.limiter=21", "outside 0..20"},
        {"out1.hp.slope=12", "outside 0..11"},
        {"out1.hp.freq=11", "outside 12..277"},
        {"out1.lp.freq=434", "outside 85..433"},
        // The filters of an output never cross, as in the crossover dialog.
        {"out1.hp.freq=400", "outside 12..277: the high-pass filter cannot go above the low-pass filter at "},
        {"out2.hp.freq=414", "outside 12..413: the high-pass"},
        {"out2.lp.freq=276",
         "outside 277..433: the low-pass filter cannot go below the high-pass filter at "},
        {"out1.band1.type=13", "outside 0..12"},
        {"out1.band1.freq=47", "outside 48..432 for a PEQ band"},
        {"out1.band1.gain=151", "outside -300..150 for a PEQ band"},
        {"out1.band1.q=101", "outside 0..100 for a PEQ band"},
    };
    for (const Case& c : cases) {
        CKorvaliserDoc doc;
        const std::vector<std::uint8_t> before = encodeDocument(doc);
        const std::string reason = applyAssignment(doc, c.assignment);
        EXPECT_NE(reason.find(c.reasonPart), std::string::npos) << c.assignment << ": " << reason;
        EXPECT_EQ(encodeDocument(doc), before) << c.assignment;
        EXPECT_FALSE(doc.isModified()) << c.assignment;
    }
}

}  // namespace
}  // namespace kv
