#pragma once
// Sends every edit of the current preset to a connected unit the moment it is made, and
// brings the unit in line with the whole preset ("On Line"). Nothing is queued: while
// the link is not usable a message is simply dropped and the edit stays in the document.

#include <array>

#include "document/UnitSender.h"

namespace kv {

class CKorvaliserDoc;
class UnitLink;
struct UnitFrame;

// One message of a sequence: code with its 1-based output and band (0 when unused).
struct UnitMessage {
    int code = 0;
    int output = 0;
    int band = 0;
    bool operator==(const UnitMessage&) const = default;
};

inline constexpr int kAllParametersMessageCount = 29;

// The whole current preset in the order the unit takes it: both outputs silenced first,
// the delays, each output's filters and limiter, then the real gains restore the sound.
std::array<UnitMessage, kAllParametersMessageCount> allParametersSequence();

// What a whole-preset send achieved (the GUI ignores it, scripts report it).
struct SendAllSummary {
    bool online = false;  // going online succeeded, so the sequence was sent
    int sent = 0;         // frames put on the wire
    int acknowledged = 0;
};

class OnlineSender final : public UnitSender {
public:
    OnlineSender(UnitLink& link, CKorvaliserDoc& document);

    // Builds the message from the current preset and exchanges it against the unit's
    // acknowledge. False when the link is not usable, nothing was built, or the unit
    // refused or did not answer after three tries.
    bool sendToUnit(int code, int output, int band) override;
    // Exchanges a sealed data frame against the acknowledge, as sendToUnit does.
    bool sendFrame(const UnitFrame& frame);
    // Opens the port if needed and identifies the unit (the link tells the user why it
    // failed); the document learns the model the unit reported. True when online.
    bool goOnline();
    // Goes online if needed (the link reports a failure once) and sends the 29 messages;
    // a message that is refused does not stop the rest, a unit that stops answering does
    // (the link has gone offline).
    void sendAllParameters() override;
    SendAllSummary sendAllParametersSummary();
    bool isOnline() const override;

private:
    UnitLink& link_;
    CKorvaliserDoc& document_;
};

}  // namespace kv
