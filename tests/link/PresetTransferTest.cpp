#include "link/PresetTransfer.h"

#include <gtest/gtest.h>

#include "document/MessageCode.h"
#include "protocol/ProtocolDecoding.h"
#include "link/SimulatedLink.h"

namespace kv {
namespace {

using test::hex;

class PresetStore : public test::SimulatedLinkTest {
protected:
    PresetStore() {
        // Positions no longer match slots, and every slot can be told apart.
        doc.setPresetOrder({9, 8, 7, 6, 5, 4, 3, 2, 1, 0});
        for (int slot = 0; slot < kPresetCount; ++slot) {
            doc.selectPreset(slot);
            doc.setGain(0, 100 + slot);
            const std::string name = "Slot" + std::to_string(slot);
            doc.setPresetName(slot, std::u16string(name.begin(), name.end()));
        }
        doc.selectPreset(3);
    }
    PresetTransfer transfer{link, doc, sender};
};

TEST_F(PresetStore, TwoPositionsAreIdentificationFrameIdentificationFrame) {
    std::vector<int> progress;
    const StoreSummary summary =
        transfer.storeSelections((1u << 2) | (1u << 5), [&](int position) { progress.push_back(position); });
    EXPECT_TRUE(summary.started);
    EXPECT_EQ(summary.sent, 2);
    EXPECT_EQ(summary.acknowledged, 2);
    EXPECT_EQ(summary.acknowledgedMask, (1u << 2) | (1u << 5));
    EXPECT_EQ(progress, (std::vector<int>{2, 5}));

    const std::vector<SimFrame> frames = framesAfter(4);
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(frames[0].kind, SimFrameKind::Identify);
    EXPECT_EQ(frames[2].kind, SimFrameKind::Identify);
    for (const auto& [index, position] : {std::pair{1, 2}, std::pair{3, 5}}) {
        const SimFrame& frame = frames[static_cast<std::size_t>(index)];
        EXPECT_EQ(frame.code, MsgPresetImage);
        EXPECT_EQ(frame.slot, position);
        EXPECT_EQ(frame.length, 741u);
        const int slot = doc.slotAtPosition(position);
        EXPECT_EQ(hex(frame.raw), hex(presetImageFrame(doc.preset(slot), position, doc.unitType()).view()));
        EXPECT_EQ(sim.storedPresetName(position), "Slot" + std::to_string(slot) + "           ");
    }
    EXPECT_EQ(doc.currentPreset(), 3);
    EXPECT_FALSE(link.online());
    EXPECT_TRUE(link.portOpen());
    EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(PresetStore, AllTenGoInPositionOrder) {
    const StoreSummary summary = transfer.storeSelections(kAllPresets);
    EXPECT_EQ(summary.acknowledged, 10);
    std::vector<int> slots;
    for (const SimFrame& f : framesAfter(20))
        if (f.kind == SimFrameKind::Data) slots.push_back(f.slot);
    EXPECT_EQ(slots, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(doc.currentPreset(), 3);
}

TEST_F(PresetStore, ASilentUnitIsReportedOnceAndNothingIsStored) {
    sim.setSilent(true);
    std::vector<int> progress;
    const StoreSummary summary = transfer.storeSelections(kAllPresets, [&](int p) { progress.push_back(p); });
    EXPECT_FALSE(summary.started);
    EXPECT_EQ(summary.sent, 0);
    EXPECT_TRUE(progress.empty());
    EXPECT_EQ(notifier.messages, std::vector<std::string>{kNoResponseText});
    EXPECT_EQ(doc.currentPreset(), 3);
}

TEST_F(PresetStore, AUnitLostMidwayIsReportedForEachRemainingPreset) {
    sim.hangUpAfterFrames(1);
    const StoreSummary summary = transfer.storeSelections((1u << 1) | (1u << 4) | (1u << 8));
    EXPECT_TRUE(summary.started);
    EXPECT_EQ(summary.sent, 1);
    EXPECT_EQ(summary.acknowledgedMask, 1u << 1);
    EXPECT_EQ(notifier.messages.size(), 2u);
    EXPECT_EQ(doc.currentPreset(), 3);
}

TEST_F(PresetStore, ARefusedPresetIsCountedButTheStoreGoesOn) {
    sim.refuseNextFrames(1);
    const StoreSummary summary = transfer.storeSelections((1u << 0) | (1u << 9));
    EXPECT_EQ(summary.sent, 2);
    EXPECT_EQ(summary.acknowledgedMask, 1u << 9);
}

TEST_F(PresetStore, RecallSendsThePresetNumberOneAboveThePosition) {
    for (const int position : {0, 9, 4}) {
        sim.clearFrames();
        EXPECT_TRUE(transfer.recallUnitPreset(position));
        const std::vector<SimFrame> frames = framesAfter(2);
        ASSERT_EQ(frames.size(), 2u);
        EXPECT_EQ(frames[0].kind, SimFrameKind::Identify);
        EXPECT_EQ(frames[1].code, MsgRecall);
        EXPECT_EQ(frames[1].presetNumber, position + 1);
        EXPECT_EQ(sim.recalledPreset(), position + 1);
        EXPECT_FALSE(link.online());
    }
    EXPECT_FALSE(transfer.recallUnitPreset(10));
    EXPECT_FALSE(transfer.recallUnitPreset(-1));
}

TEST_F(PresetStore, AfterAStoreOrRecallEditsSendNothingUntilOnlineAgain) {
    transfer.storePresetToUnit(0);
    transfer.recallUnitPreset(0);
    ASSERT_TRUE(sim.waitForFrames(4, kWait));
    sim.clearFrames();
    doc.setGain(1, 222);
    doc.setHighPassFrequency(0, 100);
    EXPECT_EQ(sim.frameCount(), 0u);
    EXPECT_EQ(doc.gain(1), 222);
}

TEST(PresetTransferText, WaitWindowText) {
    EXPECT_EQ(sendingPresetText(0), "Sending Preset 0 Data");
    EXPECT_EQ(sendingPresetText(9), "Sending Preset 9 Data");
}

}  // namespace
}  // namespace kv
