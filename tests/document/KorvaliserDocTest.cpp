#include "document/KorvaliserDoc.h"

#include "RecordingSender.h"
#include "document/file/OvkFile.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>
#include <vector>

namespace kv {
namespace {

using test::RecordingSender;
using test::SentMessage;

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
        {RangeKind::BandGain, 0, -300, 150},
        {RangeKind::BandGain, 13, -300, 150},
        {RangeKind::BandGain, 1, -150, 150},
        {RangeKind::BandGain, 7, 0, 0},
        {RangeKind::Frequency, 0, 48, 432},
        {RangeKind::Frequency, 1, 48, 396},
        {RangeKind::Frequency, 2, 78, 432},
        {RangeKind::Frequency, 10, 12, 432},
        {RangeKind::Frequency, 11, 78, 433},
        {RangeKind::Frequency, 8, 78, 396},
        {RangeKind::Q, 6, 0, 100},
        {RangeKind::Q, 2, 84, 108},
        {RangeKind::Q, 4, 0, 11},
        {RangeKind::Q, 7, 0, 108},
        {RangeKind::Q, 8, 0, 89},
        {RangeKind::Q, 9, 65, 100},
        {RangeKind::Q, 12, 72, 72},
        {RangeKind::Q, -1, 0, 100},
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

namespace kv {
namespace {

// Records, at the moment of each message, what the document already holds: the value
// must be stored before the sender is told, and the modified flag set only afterwards.
class ProbingSender : public UnitSender {
public:
    explicit ProbingSender(const CKorvaliserDoc& doc) : doc_(doc) {}
    bool sendToUnit(int code, int output, int band) override {
        sent.push_back({code, output, band});
        valuesAtSend.push_back(probe ? probe(doc_) : 0);
        modifiedAtSend.push_back(doc_.isModified());
        return true;
    }
    void sendAllParameters() override {}
    bool isOnline() const override { return false; }

    std::function<int(const CKorvaliserDoc&)> probe;
    std::vector<SentMessage> sent;
    std::vector<int> valuesAtSend;
    std::vector<bool> modifiedAtSend;

private:
    const CKorvaliserDoc& doc_;
};

TEST(DocSetters, EachStoresThenSendsItsMessagesThenMarksModified) {
    using Doc = CKorvaliserDoc;
    struct Case {
        const char* what;
        std::function<void(Doc&)> set;
        std::function<int(const Doc&)> read;
        int expected;
        std::vector<SentMessage> messages;
    };
    const std::vector<Case> cases{
        {"high-pass frequency",
         [](Doc& d) { d.setHighPassFrequency(0, 140); },
         [](const Doc& d) { return d.highPassFrequency(0); },
         140,
         {{11, 1, 0}, {26, 1, 0}}},
        {"high-pass slope",
         [](Doc& d) { d.setHighPassSlope(1, 9); },
         [](const Doc& d) { return d.highPassSlope(1); },
         9,
         {{11, 2, 0}}},
        {"low-pass frequency",
         [](Doc& d) { d.setLowPassFrequency(1, 300); },
         [](const Doc& d) { return d.lowPassFrequency(1); },
         300,
         {{12, 2, 0}}},
        {"low-pass slope",
         [](Doc& d) { d.setLowPassSlope(0, 7); },
         [](const Doc& d) { return d.lowPassSlope(0); },
         7,
         {{12, 1, 0}}},
        {"band flat, any non-zero is 1",
         [](Doc& d) { d.setBandFlat(1, 4, 7); },
         [](const Doc& d) { return int{d.outputChannel(1).bands[4].flat}; },
         1,
         {{3, 2, 5}}},
        {"band frequency",
         [](Doc& d) { d.setBandFrequency(0, 0, 100); },
         [](const Doc& d) { return d.bandFrequency(0, 0); },
         100,
         {{3, 1, 1}}},
        {"band frequency and gain, one message",
         [](Doc& d) { d.setBandFrequencyAndGain(1, 2, 90, -55); },
         [](const Doc& d) { return d.bandFrequency(1, 2) * 1000 + d.bandGain(1, 2); },
         90 * 1000 - 55,
         {{3, 2, 3}}},
        {"band gain",
         [](Doc& d) { d.setBandGain(0, 7, -300); },
         [](const Doc& d) { return d.bandGain(0, 7); },
         -300,
         {{3, 1, 8}}},
        {"band Q",
         [](Doc& d) { d.setBandQ(1, 6, 100); },
         [](const Doc& d) { return d.bandQ(1, 6); },
         100,
         {{3, 2, 7}}},
        {"band type",
         [](Doc& d) { d.setBandType(0, 3, 12); },
         [](const Doc& d) { return d.bandType(0, 3); },
         12,
         {{3, 1, 4}}},
        {"gain", [](Doc& d) { d.setGain(1, 200); }, [](const Doc& d) { return d.gain(1); }, 200, {{2, 2, 0}}},
        {"mute",
         [](Doc& d) { d.setMute(0, true); },
         [](const Doc& d) { return int{d.mute(0)}; },
         1,
         {{2, 1, 0}}},
        {"invert",
         [](Doc& d) { d.setInvert(1, true); },
         [](const Doc& d) { return int{d.invert(1)}; },
         1,
         {{2, 2, 0}}},
        {"delay",
         [](Doc& d) { d.setDelay(1, 480); },
         [](const Doc& d) { return d.delay(1); },
         480,
         {{1, 2, 0}}},
        {"whole high-pass, one pair of messages",
         [](Doc& d) {
             d.setHighPass(1, {150, 7});
         },
         [](const Doc& d) { return d.highPassFrequency(1) * 100 + d.highPassSlope(1); },
         150 * 100 + 7,
         {{11, 2, 0}, {26, 2, 0}}},
        {"whole low-pass, one message",
         [](Doc& d) {
             d.setLowPass(0, {300, 1});
         },
         [](const Doc& d) { return d.lowPassFrequency(0) * 100 + d.lowPassSlope(0); },
         300 * 100 + 1,
         {{12, 1, 0}}},
        {"whole band, one message, flat as 0/1",
         [](Doc& d) {
             d.setBand(1, 5, {120, -45, 70, 9, 2});
         },
         [](const Doc& d) {
             const PeqBand& b = d.outputChannel(1).bands[5];
             return int{b.frequency == 120 && b.gain == -45 && b.q == 70 && b.flat == 1 && b.type == 2};
         },
         1,
         {{3, 2, 6}}},
        {"limiter level, low byte",
         [](Doc& d) { d.setLimiterLevel(1, 0x20C); },
         [](const Doc& d) { return d.limiterLevel(1); },
         12,
         {{27, 2, 0}}},
    };
    for (const Case& c : cases) {
        CKorvaliserDoc doc;
        ProbingSender sender(doc);
        sender.probe = c.read;
        doc.setSender(&sender);
        doc.selectPreset(3);
        c.set(doc);
        EXPECT_EQ(c.read(doc), c.expected) << c.what;
        EXPECT_EQ(sender.sent, c.messages) << c.what;
        for (std::size_t i = 0; i < sender.sent.size(); ++i) {
            EXPECT_EQ(sender.valuesAtSend[i], c.expected) << c.what << ": sent before storing";
            EXPECT_FALSE(sender.modifiedAtSend[i]) << c.what << ": marked modified before sending";
        }
        EXPECT_TRUE(doc.isModified()) << c.what;
        EXPECT_EQ(doc.currentPreset(), 3) << c.what;
    }
}

TEST(DocSetters, DerivedLimiterTimesIgnoreWritesAndSendNothing) {
    CKorvaliserDoc doc;
    ProbingSender sender(doc);
    doc.setSender(&sender);
    const std::vector<std::uint8_t> before = encodeDocument(doc);
    for (int output : {0, 1}) {
        doc.setLimiterAttack(output, 0);
        doc.setLimiterRelease(output, 0);
        EXPECT_EQ(doc.limiterAttack(output), limiterAttackIndex(doc.highPassFrequency(output)));
        EXPECT_EQ(doc.limiterRelease(output), 3);
    }
    EXPECT_TRUE(sender.sent.empty());
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(encodeDocument(doc), before);
    doc.setHighPassFrequency(1, 71);
    EXPECT_EQ(doc.limiterAttack(1), 17);
    doc.setHighPassFrequency(1, 300);
    EXPECT_EQ(doc.limiterAttack(1), 2);
}

// A loaded file can hold any gain code; the getters clamp on reading, and the
// file keeps the stored code as it was.
TEST(DocGetters, GainIsClampedOnReadingALoadedValue) {
    const std::vector<std::pair<std::uint16_t, int>> cases{{0, 30},    {29, 30},   {30, 30},     {150, 150},
                                                           {450, 450}, {451, 450}, {0xFFFF, 450}};
    for (const auto& [stored, read] : cases) {
        CKorvaliserDoc doc;
        PresetBank bank = doc.bank();
        bank.presets[0].outputs[1].gain = stored;
        doc.loadBank(bank, doc.unitType(), doc.activeBandCount());
        EXPECT_EQ(doc.gain(1), read) << stored;
        EXPECT_EQ(doc.outputChannel(1).gain, stored) << stored;
    }
}

TEST(DocSetters, DelayLimitLooksAtTheOtherOutput) {
    struct Case {
        int output, otherDelay, wanted, stored;
    };
    const std::vector<Case> cases{
        {0, 2000, 100, 38}, {0, 2000, 20, 20},  {1, 2000, 100, 38},
        {1, 0, 2038, 2038}, {1, 0, 5000, 2038}, {0, 2038, 1, 0},
    };
    for (const Case& c : cases) {
        CKorvaliserDoc doc;
        doc.setDelay(1 - c.output, c.otherDelay);
        doc.setDelay(c.output, c.wanted);
        EXPECT_EQ(doc.delay(c.output), c.stored) << c.output << " beside " << c.otherDelay;
        EXPECT_EQ(doc.delay(1 - c.output), c.otherDelay);
    }
}

TEST(DocReset, NewBankResetsEverySlotButKeepsModelAndReservedFields) {
    CKorvaliserDoc doc;
    doc.setUnitType(kUnitKV520);
    PresetBank bank = doc.bank();
    for (int slot = 0; slot < kPresetCount; ++slot) {
        Preset& p = bank.presets[static_cast<std::size_t>(slot)];
        p.reservedWord = 0x1234 + slot;
        p.reservedText[0] = u'R';
        p.notes[10] = u'x';  // after the "(None)" terminator: left as it is
        for (OutputChannel& o : p.outputs) {
            o = OutputChannel{7, 31, 900, {200, 1}, {201, 2}, {}, {1, 1, 9}};
            o.bands.fill(PeqBand{100, -5, 3, 1, 9});
        }
        bank.presetOrder[static_cast<std::size_t>(slot)] = static_cast<std::int16_t>(9 - slot);
    }
    doc.loadBank(bank, doc.unitType(), 5);
    doc.selectPreset(6);
    doc.resetNewBank();

    EXPECT_EQ(doc.currentPreset(), 0);
    EXPECT_EQ(doc.unitType(), kUnitKV520);
    EXPECT_EQ(doc.activeBandCount(), 8);
    EXPECT_EQ(doc.outputCount(), 2);
    for (int slot = 0; slot < kPresetCount; ++slot) {
        const Preset& p = doc.preset(slot);
        EXPECT_EQ(doc.slotAtPosition(slot), slot);
        EXPECT_EQ(p.reservedWord, 0x1234 + slot);
        EXPECT_EQ(p.reservedText[0], u'R');
        EXPECT_EQ(p.notes[10], u'x');
        for (int o = 0; o < kOutputSlots; ++o) {
            const OutputChannel& out = p.outputs[static_cast<std::size_t>(o)];
            const int hp = o == 0 ? 85 : (o == 1 ? 277 : 12);
            const int lp = o == 0 ? 277 : (o == 1 ? 413 : 433);
            EXPECT_EQ(out.flags, 0);
            EXPECT_EQ(out.gain, 150);
            EXPECT_EQ(out.delay, 0);
            EXPECT_EQ(out.highPass.frequency, hp) << slot << "/" << o;
            EXPECT_EQ(out.lowPass.frequency, lp) << slot << "/" << o;
            EXPECT_EQ(out.highPass.slope, 6);
            EXPECT_EQ(out.lowPass.slope, 6);
            EXPECT_EQ(out.limiter.spareA, 8);
            EXPECT_EQ(out.limiter.spareB, 2);
            EXPECT_EQ(out.limiter.level, 0);
            for (const PeqBand& b : out.bands) {
                EXPECT_EQ(b.frequency, 252);
                EXPECT_EQ(b.gain, 0);
                EXPECT_EQ(b.q, 65);
                EXPECT_EQ(b.flat, 0);
                EXPECT_EQ(b.type, 0);
            }
        }
    }
}

TEST(DocSelection, PositionFollowsTheOrderAndNamesUseTheSlot) {
    CKorvaliserDoc doc;
    doc.setPresetOrder({3, 0, 1, 2, 4, 5, 6, 7, 9, 8});
    const std::vector<std::pair<int, int>> slotToPosition{{3, 0}, {0, 1}, {2, 3}, {9, 8}, {8, 9}};
    for (const auto& [slot, position] : slotToPosition) {
        doc.selectPreset(slot);
        EXPECT_EQ(doc.positionOfCurrentPreset(), position) << slot;
        EXPECT_EQ(doc.presetNameText(-1), doc.presetNameText(slot));
    }
    doc.setPresetName(8, u"Sixteen chars ok!");
    EXPECT_EQ(doc.presetNameText(8), u"Sixteen chars ok");
    EXPECT_EQ(std::u16string(doc.presetName(8)), u"Sixteen chars ok");
    EXPECT_EQ(doc.presetNameText(-1), u"Sixteen chars ok");  // slot 8 is current
}

// Positions index the bank through the order, so only a permutation of the slots is taken.
TEST(DocSelection, AnOrderThatIsNoPermutationIsIgnored) {
    using Order = std::array<std::int16_t, kPresetCount>;
    const std::vector<std::pair<const char*, Order>> refused{
        {"slot named twice", {0, 1, 2, 3, 4, 5, 6, 7, 8, 8}},
        {"slot 10", {0, 1, 2, 3, 4, 5, 6, 7, 8, 10}},
        {"negative slot", {-1, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
    };
    for (const auto& [what, order] : refused) {
        CKorvaliserDoc doc;
        const Order before = doc.presetOrder();
        doc.setPresetOrder(order);
        EXPECT_EQ(doc.presetOrder(), before) << what;
        EXPECT_FALSE(doc.isModified()) << what;
    }
    CKorvaliserDoc doc;
    const Order reversed{9, 8, 7, 6, 5, 4, 3, 2, 1, 0};
    doc.setPresetOrder(reversed);
    EXPECT_EQ(doc.presetOrder(), reversed);
    EXPECT_TRUE(doc.isModified());
}

}  // namespace
}  // namespace kv
