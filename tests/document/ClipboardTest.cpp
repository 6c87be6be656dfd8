#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/KorvaliserDoc.h"
#include "document/file/OvkFile.h"

namespace kv {
namespace {

class CountingSender : public UnitSender {
public:
    bool sendToUnit(int, int, int) override {
        ++messages;
        return true;
    }
    void sendAllParameters() override { ++wholePresets; }
    bool isOnline() const override { return online; }
    int messages = 0;
    int wholePresets = 0;
    bool online = false;
};

// Fills every field of the slot with values no new bank holds, the unused output and
// band slots included, by writing the bank directly as a loaded file would.
void scribble(CKorvaliserDoc& doc, int slot, int seed) {
    PresetBank bank = doc.bank();
    Preset& preset = bank.presets[static_cast<std::size_t>(slot)];
    preset.reservedWord = 0x4000 + seed;
    preset.reservedText[3] = static_cast<char16_t>(u'a' + seed);
    for (int o = 0; o < kOutputSlots; ++o) {
        OutputChannel& out = preset.outputs[static_cast<std::size_t>(o)];
        const int base = seed * 10 + o;
        out.flags = static_cast<std::uint8_t>(base % 4);
        out.gain = static_cast<std::uint16_t>(40 + base);
        out.delay = static_cast<std::uint16_t>(base);
        out.highPass = {static_cast<std::uint16_t>(50 + base), static_cast<std::uint8_t>(base % 12)};
        out.lowPass = {static_cast<std::uint16_t>(300 + base), static_cast<std::uint8_t>((base + 5) % 12)};
        for (int b = 0; b < kBandSlots; ++b)
            out.bands[static_cast<std::size_t>(b)] = {
                static_cast<std::uint16_t>(100 + base + b), static_cast<std::int16_t>(-base - b),
                static_cast<std::uint8_t>(b), static_cast<std::uint8_t>(b % 2), static_cast<std::uint8_t>(b)};
        out.limiter = {static_cast<std::uint8_t>(base), static_cast<std::uint8_t>(base + 1),
                       static_cast<std::uint16_t>(base % 21)};
    }
    doc.loadBank(bank, doc.unitType(), doc.activeBandCount());
}

// The file bytes of a slot's four outputs: every field of every output and band slot.
std::vector<std::uint8_t> outputBytes(const CKorvaliserDoc& doc, int slot) {
    const std::vector<std::uint8_t> file = encodeDocument(doc);
    const std::size_t outputs = kOvkHeaderSize + static_cast<std::size_t>(slot) * kOvkPresetRecordSize + 622;
    return {file.begin() + static_cast<long>(outputs), file.begin() + static_cast<long>(outputs + 4 * 99)};
}

TEST(PresetClipboard, PasteCarriesEveryOutputSlotButNotNameTextsOrOrder) {
    struct Case {
        const char* what;
        int copyPosition;
        int pastePosition;
    };
    const std::vector<Case> cases{{"onto another preset", 1, 6}, {"onto itself", 4, 4}};
    for (const Case& c : cases) {
        CKorvaliserDoc doc;
        CountingSender sender;
        sender.online = true;
        doc.setSender(&sender);
        std::array<std::int16_t, kPresetCount> order{9, 8, 7, 6, 5, 4, 3, 2, 1, 0};
        doc.setPresetOrder(order);
        const int source = doc.slotAtPosition(c.copyPosition);
        const int target = doc.slotAtPosition(c.pastePosition);
        scribble(doc, source, 3);
        const Preset copied = doc.preset(source);
        const std::vector<std::uint8_t> copiedOutputs = outputBytes(doc, source);
        const Preset targetBefore = doc.preset(target);
        doc.setModified(false);

        doc.copyPreset(c.copyPosition);
        doc.pastePreset(c.pastePosition);

        const Preset& pasted = doc.preset(target);
        EXPECT_EQ(outputBytes(doc, target), copiedOutputs) << c.what;
        EXPECT_EQ(pasted.reservedWord, copied.reservedWord) << c.what;
        EXPECT_EQ(pasted.name, targetBefore.name) << c.what;
        EXPECT_EQ(pasted.notes, targetBefore.notes) << c.what;
        EXPECT_EQ(pasted.reservedText, targetBefore.reservedText) << c.what;
        EXPECT_EQ(doc.presetOrder(), order) << c.what;
        EXPECT_TRUE(doc.isModified()) << c.what;
        EXPECT_EQ(sender.messages + sender.wholePresets, 0) << c.what;
    }
}

TEST(OutputClipboard, PasteLimitsDelayByTheOtherOutput) {
    struct Case {
        const char* what;
        int copyFrom, copiedDelay, pasteTo, otherDelay, expectedDelay;
    };
    const std::vector<Case> cases{
        {"1500 onto Output 2 beside 1500", 0, 1500, 1, 1500, 538},
        {"back onto itself", 0, 1500, 0, 0, 1500},
        {"fits beside the other", 1, 38, 0, 2000, 38},
        {"nothing left", 1, 500, 0, 2038, 0},
    };
    for (const Case& c : cases) {
        CKorvaliserDoc doc;
        doc.selectPreset(2);
        doc.setDelay(c.copyFrom, c.copiedDelay);
        doc.setGain(c.copyFrom, 333);
        doc.setBandType(c.copyFrom, 11, 9);
        doc.copyOutput(c.copyFrom);
        doc.setDelay(c.copyFrom, 0);
        doc.setDelay(1 - c.pasteTo, c.otherDelay);
        doc.pasteOutput(c.pasteTo);
        EXPECT_EQ(doc.delay(c.pasteTo), c.expectedDelay) << c.what;
        EXPECT_EQ(doc.gain(c.pasteTo), 333) << c.what;
        EXPECT_EQ(doc.bandType(c.pasteTo, 11), 9) << c.what;  // the unused band slots too
    }
}

// While online the whole preset goes out once the output is pasted in full, and the
// document is marked modified only after that.
class PasteWatchingSender : public UnitSender {
public:
    explicit PasteWatchingSender(const CKorvaliserDoc& doc) : doc_(doc) {}
    bool sendToUnit(int, int, int) override { return true; }
    void sendAllParameters() override {
        const OutputChannel& pasted = doc_.outputChannel(1);
        seen.push_back({pasted.gain, pasted.delay, pasted.bands[11].type, doc_.isModified()});
    }
    bool isOnline() const override { return true; }
    struct Seen {
        int gain, delay, lastBandType;
        bool modified;
    };
    std::vector<Seen> seen;

private:
    const CKorvaliserDoc& doc_;
};

TEST(OutputClipboard, OnlinePasteSendsTheStoredOutputBeforeMarkingModified) {
    CKorvaliserDoc doc;
    doc.setGain(0, 333);
    doc.setDelay(0, 1500);
    doc.setBandType(0, 11, 5);
    doc.copyOutput(0);
    doc.setModified(false);
    PasteWatchingSender sender(doc);
    doc.setSender(&sender);
    doc.pasteOutput(1);
    ASSERT_EQ(sender.seen.size(), 1u);
    EXPECT_EQ(sender.seen[0].gain, 333);
    EXPECT_EQ(sender.seen[0].delay, 538);  // limited beside Output 1 before sending
    EXPECT_EQ(sender.seen[0].lastBandType, 5);
    EXPECT_FALSE(sender.seen[0].modified);
    EXPECT_TRUE(doc.isModified());
}

TEST(Clipboards, EmptyUntilTheFirstCopyAndKeptAcrossNewAndOpen) {
    CKorvaliserDoc doc;
    EXPECT_FALSE(doc.presetCopied());
    EXPECT_FALSE(doc.outputCopied());
    const std::vector<std::uint8_t> newBank = encodeDocument(doc);
    doc.pastePreset(0);
    doc.pasteOutput(0);
    EXPECT_EQ(encodeDocument(doc), newBank);  // nothing to paste yet
    EXPECT_FALSE(doc.isModified());

    doc.setGain(0, 77);
    doc.copyPreset(0);
    doc.copyOutput(0);
    doc.resetNewBank();
    ASSERT_TRUE(decodeDocument(doc, newBank, "other.ovk").ok);
    EXPECT_TRUE(doc.presetCopied());
    EXPECT_TRUE(doc.outputCopied());
    doc.pastePreset(5);
    doc.selectPreset(6);
    doc.pasteOutput(1);
    EXPECT_EQ(doc.preset(5).outputs[0].gain, 77);
    EXPECT_EQ(doc.gain(1), 77);
}

}  // namespace
}  // namespace kv
