#pragma once
// Writes one output as a filter text file: Equalizer APO / AutoEq ("Preamp:" from the
// output gain, then "Filter N: ON ..." lines) or REW's "Filter Settings file". The bands
// that change something and the crossovers that are on go in where the format can say
// them (6 dB 1st Order as LP1/HP1, 12 dB Butterworth as LP/HP); every other one is named
// in a comment line (REW: the Notes line) and in leftOut, never dropped silently.
// The numbers carry enough digits that reading the file back gives the same codes.

#include <string>
#include <vector>

#include "document/PresetBank.h"

namespace kv {

enum class EqFormat { Apo, Rew };

struct EqExportHeader {
    std::string title;  // one line naming the source, e.g. Korvaliser preset 1 "Mains", Output 1
    std::string dated;  // REW's "Dated:" line; left out when empty
};

struct EqExport {
    std::string text;
    std::vector<std::string> leftOut;  // "Band 5: Phase", "Highpass: 24dB Link/Riley"
};

EqExport writeEqFile(const OutputChannel& channel, int activeBandCount, EqFormat format,
                     const EqExportHeader& header);

}  // namespace kv
