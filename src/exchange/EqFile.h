#pragma once
// A filter text file (REW "Filter Settings file", Equalizer APO configuration, AutoEq
// ParametricEQ.txt) as read, before anything is put onto the unit's grid: the filters
// the unit can make and those it must refuse, the Preamp lines, the channel selections
// in force, and one message per line that was ignored or could not be read.

#include <cstddef>
#include <string>
#include <vector>

namespace kv {

inline constexpr std::size_t kMaxEqFileBytes = 1u << 20;  // filter files are a few kilobytes
inline constexpr std::size_t kMaxEqMessages = 100;        // kept; the rest are only counted

enum class EqMessageKind {
    Ignored,  // a line that is read but not used (unknown command, filter switched off)
    Error,    // a line that cannot be read; nothing is imported from such a file
};

struct EqMessage {
    int line = 0;  // 1-based; 0 for the file as a whole
    EqMessageKind kind = EqMessageKind::Ignored;
    std::string text;
};

// What a filter line asks of the unit.
enum class EqTarget {
    Band,               // one EQ band of peqType
    HighPassCrossover,  // the output's high-pass as 6 dB 1st Order (HP1)
    LowPassCrossover,   // the output's low-pass as 6 dB 1st Order (LP1)
    Refused,            // a filter the unit cannot make; refusal says why
};

struct EqFilter {
    int line = 0;
    std::string request;  // the filter as written, after ON ("PK Fc 105 Hz Gain -3.5 dB Q 0.70")
    EqTarget target = EqTarget::Band;
    int peqType = 0;         // PEQ type code, for Band
    double frequency = 0.0;  // Hz
    double gainDb = 0.0;
    bool hasGain = false;
    double q = 0.0;  // the Q, converted from BW Oct when the line gives a bandwidth
    std::string refusal;
    int scope = 0;  // index into EqFile::scopes
};

struct EqPreamp {
    int line = 0;
    double gainDb = 0.0;
    int scope = 0;
};

struct EqFile {
    std::vector<EqFilter> filters;
    std::vector<EqPreamp> preamps;
    // Channel selections: each "Channel:" line opens one; scope 0 (everything before the
    // first such line, and "Channel: all") holds no names and applies to every channel.
    std::vector<std::vector<std::string>> scopes{{}};
    std::vector<std::string> channels;  // every channel name selected, in first-seen order
    std::vector<EqMessage> messages;    // in line order, at most kMaxEqMessages
    std::size_t messagesLeftOut = 0;
    int errorLines = 0;  // lines that could not be read, counted also beyond the kept messages

    bool hasErrors() const { return errorLines > 0; }
};

}  // namespace kv
