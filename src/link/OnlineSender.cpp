#include "link/OnlineSender.h"

#include <algorithm>
#include <optional>

#include "document/KorvaliserDoc.h"
#include "document/MessageCode.h"
#include "link/UnitLink.h"
#include "protocol/UnitProtocol.h"

namespace kv {

namespace {

constexpr int kAcknowledgeBytes = 1;
constexpr int kDataFrameTries = 3;
constexpr int kDataFrameExtraSeconds = 0;

}  // namespace

std::array<UnitMessage, kAllParametersMessageCount> allParametersSequence() {
    std::array<UnitMessage, kAllParametersMessageCount> sequence{};
    std::size_t n = 0;
    sequence[n++] = {MsgGainZero, 1, 0};
    sequence[n++] = {MsgGainZero, 2, 0};
    sequence[n++] = {MsgDelays, 1, 0};
    for (int output = 1; output <= kOutputsInUse; ++output) {
        sequence[n++] = {MsgHighPass, output, 0};
        sequence[n++] = {MsgLowPass, output, 0};
        for (int band = 1; band <= kBandsInUse; ++band) sequence[n++] = {MsgPeqBand, output, band};
        sequence[n++] = {MsgLimiterTimes, output, 0};
        sequence[n++] = {MsgLimiterLevel, output, 0};
    }
    sequence[n++] = {MsgGain, 1, 0};
    sequence[n++] = {MsgGain, 2, 0};
    return sequence;
}

OnlineSender::OnlineSender(UnitLink& link, CKorvaliserDoc& document) : link_(link), document_(document) {}

bool OnlineSender::isOnline() const { return link_.isUsable(); }

bool OnlineSender::sendToUnit(int code, int output, int band) {
    if (!link_.isUsable()) return false;
    const std::optional<UnitFrame> frame =
        framedUnitMessage(document_.preset(-1), document_.unitType(), code, output, band);
    return frame && sendFrame(*frame);
}

bool OnlineSender::sendFrame(const UnitFrame& frame) {
    if (!link_.isUsable()) return false;
    const LinkReply reply = link_.exchange(frame.view(), kAcknowledgeBytes,
                                           {kDataFrameTries, kDataFrameExtraSeconds, kAcknowledge});
    return reply.complete() && reply[0] == kAcknowledge;
}

bool OnlineSender::goOnline() {
    const OnlineAttempt attempt = link_.goOnline();
    if (attempt.model) document_.setUnitType(*attempt.model);
    return attempt.online;
}

void OnlineSender::sendAllParameters() { sendAllParametersSummary(); }

SendAllSummary OnlineSender::sendAllParametersSummary() {
    SendAllSummary summary;
    if (!link_.online()) goOnline();
    if (!link_.isUsable()) return summary;
    summary.online = true;
    for (const UnitMessage& message : allParametersSequence()) {
        if (!link_.isUsable()) break;  // the unit stopped answering: the link went offline
        ++summary.sent;
        if (sendToUnit(message.code, message.output, message.band)) ++summary.acknowledged;
    }
    return summary;
}

}  // namespace kv
