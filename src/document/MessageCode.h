#pragma once
// Message codes of the amplifier protocol. The document's setters name the message
// that carries a change by one of these codes; the link builds the frame.

namespace kv {

enum MessageCode : int {
    MsgDelays = 1,
    MsgGain = 2,
    MsgPeqBand = 3,
    MsgHighPass = 11,
    MsgLowPass = 12,
    MsgGainZero = 22,
    MsgLimiterTimes = 26,
    MsgLimiterLevel = 27,
    MsgPresetImage = 28,
    MsgRecall = 29,
};

}  // namespace kv
