#pragma once
// What the document needs from the unit link: every setter hands its message code to
// sendToUnit right after storing the value. The link implements it; tests record it.

namespace kv {

class UnitSender {
public:
    virtual ~UnitSender() = default;
    // output and band are 1-based; band is 0 for messages that are not per band.
    // The result is not used by the document (a dropped message stays in the bank).
    virtual bool sendToUnit(int code, int output, int band) = 0;
    // Brings the unit in line with the whole current preset (29 messages).
    virtual void sendAllParameters() = 0;
    virtual bool isOnline() const = 0;
};

}  // namespace kv
