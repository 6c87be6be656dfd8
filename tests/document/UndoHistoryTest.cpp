// Undo and redo restore the bank byte for byte (as saved), send what an edit of the
// restored values sends, follow the saved state with the modified flag, and group a drag.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "RecordingSender.h"
#include "document/KorvaliserDoc.h"
#include "document/file/OvkFile.h"

namespace kv {
namespace {

using test::RecordingSender;
using test::SentMessage;
using Bytes = std::vector<std::uint8_t>;

// A bank with something in every field the edits below touch, saved and unmodified.
CKorvaliserDoc savedDocument() {
    CKorvaliserDoc doc;
    for (int o = 0; o < 2; ++o) {
        doc.setHighPassFrequency(o, 90 + o);
        doc.setDelay(o, 100 + o);
        for (int b = 0; b < 8; ++b) doc.setBandFrequencyAndGain(o, b, 100 + 20 * b, 10 * b - 40);
    }
    doc.copyOutput(1);
    doc.copyPreset(0);
    doc.loadBank(doc.bank(), doc.unitType(), doc.activeBandCount());  // as if read from its file
    doc.selectPreset(2);
    return doc;
}

struct EditCase {
    const char* what;
    const char* name;  // what the Undo item names
    std::function<void(CKorvaliserDoc&)> edit;
    std::vector<SentMessage> undoSends;  // what undoing it sends while online
};

TEST(UndoHistory, EveryKindOfChangeUndoesAndRedoesByteForByte) {
    const std::vector<EditCase> cases{
        {"band gain", "Band 3 Gain", [](auto& d) { d.setBandGain(1, 2, 55); }, {{3, 2, 3}}},
        {"band frequency", "Band 1 Frequency", [](auto& d) { d.setBandFrequency(0, 0, 300); }, {{3, 1, 1}}},
        {"band Q", "Band 8 Q", [](auto& d) { d.setBandQ(0, 7, 12); }, {{3, 1, 8}}},
        {"band type", "Band 2 Type", [](auto& d) { d.setBandType(0, 1, 7); }, {{3, 1, 2}}},
        {"band flat", "Band 4 Flat", [](auto& d) { d.setBandFlat(1, 3, 1); }, {{3, 2, 4}}},
        {"high-pass frequency",
         "High-Pass Frequency",
         [](auto& d) { d.setHighPassFrequency(0, 200); },
         {{11, 1, 0}, {26, 1, 0}}},
        {"high-pass slope", "High-Pass Slope", [](auto& d) { d.setHighPassSlope(1, 2); }, {{11, 2, 0}}},
        {"low-pass frequency",
         "Low-Pass Frequency",
         [](auto& d) { d.setLowPassFrequency(1, 300); },
         {{12, 2, 0}}},
        {"low-pass slope", "Low-Pass Slope", [](auto& d) { d.setLowPassSlope(0, 9); }, {{12, 1, 0}}},
        {"gain", "Output 2 Gain", [](auto& d) { d.setGain(1, 60); }, {{2, 2, 0}}},
        {"mute", "Output 1 Mute", [](auto& d) { d.setMute(0, true); }, {{2, 1, 0}}},
        {"polarity", "Output 2 Polarity", [](auto& d) { d.setInvert(1, true); }, {{2, 2, 0}}},
        {"delay", "Output 1 Delay", [](auto& d) { d.setDelay(0, 700); }, {{1, 1, 0}}},
        {"limiter", "Output 2 Limiter", [](auto& d) { d.setLimiterLevel(1, 6); }, {{27, 2, 0}}},
        {"rename", "Rename Preset 5", [](auto& d) { d.setPresetName(4, u"Main L/R"); }, {}},
        {"reorder",
         "Move Preset",
         [](auto& d) {
             d.setPresetOrder({9, 8, 7, 6, 5, 4, 3, 2, 1, 0});
         },
         {}},
        {"unit type", "Unit Type", [](auto& d) { d.switchUnitType(kUnitKV520); }, {}},
        {"paste preset", "Paste to Preset 6", [](auto& d) { d.pastePreset(5); }, {}},
        // The pasted output differs in its delay and crossovers and in every band.
        {"paste channel",
         "Paste to Channel 1",
         [](auto& d) { d.pasteOutput(0); },
         {{1, 1, 0},
          {11, 1, 0},
          {26, 1, 0},
          {12, 1, 0},
          {3, 1, 1},
          {3, 1, 2},
          {3, 1, 3},
          {3, 1, 4},
          {3, 1, 5},
          {3, 1, 6},
          {3, 1, 7},
          {3, 1, 8}}},
    };
    for (const EditCase& c : cases) {
        CKorvaliserDoc doc = savedDocument();
        RecordingSender sender(/*isOnlineNow=*/true);
        doc.setSender(&sender);
        const Bytes before = encodeDocument(doc);
        c.edit(doc);
        const Bytes after = encodeDocument(doc);
        ASSERT_NE(before, after) << c.what;
        ASSERT_TRUE(doc.canUndo()) << c.what;
        EXPECT_EQ(doc.undoName(), c.name) << c.what;

        sender.sent.clear();
        doc.undo();
        EXPECT_EQ(encodeDocument(doc), before) << c.what;
        EXPECT_FALSE(doc.isModified()) << c.what << ": back at the saved state";
        EXPECT_EQ(sender.sent, c.undoSends) << c.what;
        EXPECT_EQ(doc.redoName(), c.name) << c.what;

        doc.redo();
        EXPECT_EQ(encodeDocument(doc), after) << c.what;
        EXPECT_TRUE(doc.isModified()) << c.what;
        EXPECT_FALSE(doc.canRedo()) << c.what;
    }
}

TEST(UndoHistory, ADragIsOneStepAndAnEditAfterUndoDropsTheRedo) {
    CKorvaliserDoc doc = savedDocument();
    const Bytes before = encodeDocument(doc);
    doc.beginUndoStep();
    for (int move = 0; move < 50; ++move) doc.setBandFrequencyAndGain(0, 2, 150 + move, move - 25);
    EXPECT_FALSE(doc.canUndo()) << "nothing to undo while the drag goes on";
    doc.endUndoStep();
    EXPECT_EQ(doc.undoName(), "Move Band 3");
    doc.undo();
    EXPECT_EQ(encodeDocument(doc), before);
    EXPECT_FALSE(doc.canUndo());

    doc.setGain(0, 100);
    EXPECT_FALSE(doc.canRedo());
    // A step that ends where it began is no step.
    doc.beginUndoStep();
    doc.setGain(1, 200);
    doc.setGain(1, 150);
    doc.endUndoStep();
    EXPECT_EQ(doc.undoName(), "Output 1 Gain");
}

TEST(UndoHistory, ModifiedFlagFollowsTheSavedState) {
    CKorvaliserDoc doc = savedDocument();
    doc.setGain(0, 100);
    doc.setGain(0, 110);
    doc.setModified(false);  // saved here
    doc.undo();
    EXPECT_TRUE(doc.isModified());
    doc.redo();
    EXPECT_FALSE(doc.isModified());
    // Undo past the save, then a new edit: the saved state can no longer be reached.
    doc.undo();
    doc.setGain(0, 120);
    doc.undo();
    EXPECT_TRUE(doc.isModified());

    // New and load clear the history and leave the bank unmodified.
    doc.resetNewBank();
    EXPECT_FALSE(doc.canUndo());
    doc.setGain(0, 100);
    ASSERT_TRUE(decodeDocument(doc, encodeDocument(CKorvaliserDoc{}), "x.ovk").ok);
    EXPECT_FALSE(doc.canUndo());
    EXPECT_FALSE(doc.isModified());
}

TEST(UndoHistory, ChangesOfAnotherPresetAreRestoredButNotSent) {
    CKorvaliserDoc doc = savedDocument();
    RecordingSender sender(/*isOnlineNow=*/true);
    doc.setSender(&sender);
    doc.setBandGain(0, 0, 90);  // preset slot 2
    doc.selectPreset(7);
    sender.sent.clear();
    doc.undo();
    EXPECT_TRUE(sender.sent.empty()) << "the unit plays preset slot 7";
    EXPECT_EQ(doc.preset(2).outputs[0].bands[0].gain, 0);
}

}  // namespace
}  // namespace kv
