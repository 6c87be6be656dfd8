// Undo and redo while online send the unit exactly the frames an edit of the restored
// values sends: same messages, same bytes, nothing else (output by output).

#include <gtest/gtest.h>

#include "document/MessageCode.h"
#include "link/SimulatedLink.h"
#include "protocol/UnitProtocol.h"

namespace kv {
namespace {

class UndoOnline : public test::SimulatedLinkTest {
protected:
    // The frame the document's current values give for a message, as the link sends it.
    std::vector<std::uint8_t> frameNow(int code, int output, int band) const {
        const std::optional<UnitFrame> frame =
            framedUnitMessage(doc.preset(-1), doc.unitType(), code, output, band);
        EXPECT_TRUE(frame.has_value());
        return {frame->bytes.begin(), frame->bytes.begin() + frame->length};
    }
    void expectFramesNow(const std::vector<std::array<int, 3>>& messages) {
        const std::vector<SimFrame> frames = framesAfter(messages.size());
        ASSERT_EQ(frames.size(), messages.size());
        for (std::size_t i = 0; i < frames.size(); ++i) {
            const auto& [code, output, band] = messages[i];
            EXPECT_EQ(frames[i].raw, frameNow(code, output, band)) << "frame " << i;
            EXPECT_TRUE(frames[i].accepted);
        }
    }
};

TEST_F(UndoOnline, RestoredValuesTravelAsTheirEditsWould) {
    goOnline();
    doc.beginUndoStep();
    doc.setHighPassFrequency(1, 120);
    doc.setBandFrequencyAndGain(0, 4, 300, -75);
    doc.setGain(0, 90);
    doc.endUndoStep();
    doc.setPresetName(-1, u"Sub");  // its own step; names travel only with a whole preset

    sim.clearFrames();
    doc.undo();
    doc.undo();
    expectFramesNow({{MsgPeqBand, 1, 5}, {MsgGain, 1, 0}, {MsgHighPass, 2, 0}, {MsgLimiterTimes, 2, 0}});
    EXPECT_EQ(doc.highPassFrequency(1), 277);

    sim.clearFrames();
    doc.redo();
    expectFramesNow({{MsgPeqBand, 1, 5}, {MsgGain, 1, 0}, {MsgHighPass, 2, 0}, {MsgLimiterTimes, 2, 0}});
    EXPECT_EQ(doc.highPassFrequency(1), 120);
}

}  // namespace
}  // namespace kv
