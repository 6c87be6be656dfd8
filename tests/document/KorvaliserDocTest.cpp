#include "document/KorvaliserDoc.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace kv {
namespace {

struct SentMessage {
    int code, output, band;
    bool operator==(const SentMessage&) const = default;
};

class RecordingSender : public UnitSender {
public:
    bool sendToUnit(int code, int output, int band) override {
        sent.push_back({code, output, band});
        return true;
    }
    void sendAllParameters() override { ++sendAllCount; }
    bool isOnline() const override { return online; }

    std::vector<SentMessage> sent;
    int sendAllCount = 0;
    bool online = false;
};

class DocTest : public ::testing::Test {
protected:
    void SetUp() override { doc.setSender(&sender); }
    CKorvaliserDoc doc;
    RecordingSender sender;
};

TEST_F(DocTest, NewBankNamesSlotsFromZeroWithDefaultNotes) {
    for (int slot = 0; slot < kPresetCount; ++slot) {
        EXPECT_EQ(doc.presetNameText(slot), u"Preset " + std::u16string(1, char16_t(u'0' + slot)));
        doc.selectPreset(slot);
        EXPECT_EQ(doc.notesText(), u"(None)");
        EXPECT_EQ(doc.slotAtPosition(slot), slot);
    }
    doc.selectPreset(0);
    EXPECT_EQ(doc.highPassFrequency(0), 85);
    EXPECT_EQ(doc.lowPassFrequency(0), 277);
    EXPECT_EQ(doc.highPassFrequency(1), 277);
    EXPECT_EQ(doc.lowPassFrequency(1), 413);
    EXPECT_EQ(doc.bank().presets[3].outputs[2].highPass.frequency, 12);
    EXPECT_EQ(doc.bank().presets[3].outputs[3].lowPass.frequency, 433);
    EXPECT_FALSE(doc.isModified());
}

TEST_F(DocTest, DelayIsLimitedByTheOtherOutput) {
    doc.setDelay(1, 2000);
    doc.setDelay(0, 100);
    EXPECT_EQ(doc.delay(0), 38);
    doc.setDelay(0, 20);
    EXPECT_EQ(doc.delay(0), 20);
}

TEST_F(DocTest, GainIsClampedOnWrite) {
    const std::vector<std::pair<int, int>> cases{{10, 30}, {500, 450}, {30, 30}, {450, 450}, {151, 151}};
    for (const auto& [in, stored] : cases) {
        doc.setGain(0, in);
        EXPECT_EQ(doc.gain(0), stored) << in;
    }
}

TEST(LimiterAttack, FollowsHighPassOctaves) {
    const std::vector<std::pair<int, int>> cases{{0, 17},   {71, 17},  {72, 14}, {107, 14}, {108, 12},
                                                 {143, 12}, {144, 10}, {180, 8}, {216, 6},  {251, 6},
                                                 {252, 4},  {287, 4},  {288, 2}, {433, 2}};
    for (const auto& [h, index] : cases) EXPECT_EQ(limiterAttackIndex(h), index) << h;
}

TEST_F(DocTest, SelectingOutsideTheBankKeepsTheCurrentSlot) {
    doc.selectPreset(4);
    doc.selectPreset(10);
    doc.selectPreset(-1);
    EXPECT_EQ(doc.currentPreset(), 4);
}

TEST_F(DocTest, SettersSendTheirMessagesWithOneBasedNumbers) {
    doc.setHighPassFrequency(1, 100);
    EXPECT_EQ(sender.sent, (std::vector<SentMessage>{{11, 2, 0}, {26, 2, 0}}));
    sender.sent.clear();
    doc.setHighPassSlope(0, 3);
    EXPECT_EQ(sender.sent, (std::vector<SentMessage>{{11, 1, 0}}));
    sender.sent.clear();
    doc.setBandFrequencyAndGain(1, 7, 300, -20);
    doc.setDelay(0, 5);
    doc.setMute(1, true);
    doc.setLimiterLevel(0, 0x105);
    EXPECT_EQ(sender.sent, (std::vector<SentMessage>{{3, 2, 8}, {1, 1, 0}, {2, 2, 0}, {27, 1, 0}}));
    EXPECT_EQ(doc.limiterLevel(0), 5);
}

TEST_F(DocTest, EveryChangeMarksModifiedAndNamesSendNothing) {
    doc.setPresetName(-1, u"A very long preset name");
    EXPECT_TRUE(doc.isModified());
    EXPECT_TRUE(sender.sent.empty());
    EXPECT_EQ(doc.presetNameText(-1), u"A very long pres");
}

TEST_F(DocTest, MuteAndInvertTouchOnlyTheirBits) {
    doc.setInvert(0, true);
    doc.setMute(0, true);
    doc.setMute(0, false);
    EXPECT_FALSE(doc.mute(0));
    EXPECT_TRUE(doc.invert(0));
    EXPECT_EQ(doc.outputChannel(0).flags, kFlagInvert);
}

TEST(ParameterRange, TableOfKindsAndTypes) {
    struct Row {
        RangeKind kind;
        int type, min, max;
    };
    const std::vector<Row> rows{
        {RangeKind::BandGain, 0, -300, 150}, {RangeKind::BandGain, 13, -300, 150},
        {RangeKind::BandGain, 1, -150, 150}, {RangeKind::BandGain, 7, 0, 0},
        {RangeKind::Frequency, 0, 48, 432},  {RangeKind::Frequency, 1, 48, 396},
        {RangeKind::Frequency, 2, 78, 432},  {RangeKind::Frequency, 10, 12, 432},
        {RangeKind::Frequency, 11, 78, 433}, {RangeKind::Frequency, 8, 78, 396},
        {RangeKind::Q, 6, 0, 100},           {RangeKind::Q, 2, 84, 108},
        {RangeKind::Q, 4, 0, 11},            {RangeKind::Q, 7, 0, 108},
        {RangeKind::Q, 8, 0, 89},            {RangeKind::Q, 9, 65, 100},
        {RangeKind::Q, 12, 72, 72},          {RangeKind::Q, -1, 0, 100},
    };
    for (const Row& r : rows) {
        for (int unit : {kUnitKV420, kUnitKV520}) {
            const ValueRange range = parameterRange(r.kind, r.type, unit);
            EXPECT_EQ(range.minimum, r.min) << static_cast<int>(r.kind) << " type " << r.type;
            EXPECT_EQ(range.maximum, r.max) << static_cast<int>(r.kind) << " type " << r.type;
        }
    }
}

TEST_F(DocTest, PasteOutputLimitsDelayAndResendsOnlyWhileOnline) {
    doc.setDelay(0, 1500);
    doc.copyOutput(0);
    doc.pasteOutput(1);
    EXPECT_EQ(doc.delay(1), 538);
    EXPECT_EQ(sender.sendAllCount, 0);
    sender.online = true;
    doc.pasteOutput(1);
    EXPECT_EQ(sender.sendAllCount, 1);
}

TEST_F(DocTest, PastePresetKeepsTargetNameAndNeverSends) {
    EXPECT_FALSE(doc.presetCopied());
    doc.selectPreset(2);
    doc.setGain(0, 222);
    doc.copyPreset(2);
    sender.sent.clear();
    sender.online = true;
    doc.pastePreset(5);
    EXPECT_TRUE(sender.sent.empty());
    EXPECT_EQ(sender.sendAllCount, 0);
    EXPECT_EQ(doc.preset(5).outputs[0].gain, 222);
    EXPECT_EQ(doc.presetNameText(5), u"Preset 5");
    EXPECT_TRUE(doc.presetCopied());
    doc.resetNewBank();
    EXPECT_TRUE(doc.presetCopied());  // clipboards outlive New
}

}  // namespace
}  // namespace kv
