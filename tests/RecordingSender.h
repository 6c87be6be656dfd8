#pragma once
// Stands in for the unit link in tests: records every message the document hands on,
// with the 1-based output and band numbers, and counts whole-preset sends.

#include <vector>

#include "document/UnitSender.h"

namespace kv::test {

struct SentMessage {
    int code, output, band;
    bool operator==(const SentMessage&) const = default;
};

class RecordingSender : public UnitSender {
public:
    explicit RecordingSender(bool isOnlineNow = false) : online(isOnlineNow) {}

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

}  // namespace kv::test
