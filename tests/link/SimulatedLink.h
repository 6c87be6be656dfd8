#pragma once
// A document wired to a UnitLink on a pseudo-terminal served by the simulated amplifier,
// with the online sender as the document's sender and the user's messages recorded.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "connection/UnitConnection.h"
#include "document/KorvaliserDoc.h"
#include "link/LinkNotifier.h"
#include "link/OnlineSender.h"
#include "link/UnitLink.h"
#include "protocol/UnitProtocol.h"
#include "sim/SimulatedAmplifier.h"

namespace kv::test {

class RecordingNotifier : public LinkNotifier {
public:
    void showLinkMessage(const std::string& text) override { messages.push_back(text); }
    std::vector<std::string> messages;
};

// Everything the link may change in the document, for "nothing changed" checks.
struct DocumentSnapshot {
    std::vector<std::vector<std::uint8_t>> presetFrames;
    std::vector<std::u16string> names;
    int unitType = 0;
    int currentPreset = 0;
    bool modified = false;
    std::array<std::int16_t, kPresetCount> order{};

    static DocumentSnapshot of(const CKorvaliserDoc& doc) {
        DocumentSnapshot s;
        for (int slot = 0; slot < kPresetCount; ++slot) {
            const UnitFrame frame = presetImageFrame(doc.preset(slot), 0, doc.unitType());
            s.presetFrames.emplace_back(frame.bytes.begin(), frame.bytes.begin() + frame.length);
            s.names.push_back(doc.presetNameText(slot));
        }
        s.unitType = doc.unitType();
        s.currentPreset = doc.currentPreset();
        s.modified = doc.isModified();
        s.order = doc.presetOrder();
        return s;
    }
    bool operator==(const DocumentSnapshot&) const = default;
};

class SimulatedLinkTest : public ::testing::Test {
protected:
    static constexpr std::chrono::milliseconds kWait{3000};

    SimulatedLinkTest() { connection.choosePort(link.comPortIndex(), link.baudIndex(), sim.devicePath()); }

    // Frames the unit decoded, once `count` of them have arrived.
    std::vector<SimFrame> framesAfter(std::size_t count) {
        EXPECT_TRUE(sim.waitForFrames(count, kWait)) << "the unit saw only " << sim.frameCount() << " frames";
        return sim.frames();
    }

    std::vector<SimFrame> dataFrames() const {
        std::vector<SimFrame> data;
        for (const SimFrame& f : sim.frames())
            if (f.kind != SimFrameKind::Identify) data.push_back(f);
        return data;
    }

    void goOnline() {
        ASSERT_TRUE(connection.goOnline()) << (notifier.messages.empty() ? "" : notifier.messages.back());
        ASSERT_TRUE(sim.waitForFrames(1, kWait));
        sim.clearFrames();
    }

    SimulatedAmplifier sim;
    CKorvaliserDoc doc;
    RecordingNotifier notifier;
    UnitConnection connection{doc, &notifier};
    UnitLink& link = connection.link();
    OnlineSender& sender = connection.sender();
};

}  // namespace kv::test
