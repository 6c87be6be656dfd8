#pragma once
// Reads a filter text file in any of its three dialects: REW's "Filter Settings file",
// Equalizer APO configuration and AutoEq's ParametricEQ.txt. It never throws and never
// stops early: every problem becomes a message on its own line, so one damaged line does
// not hide the others. Only a file above kMaxEqFileBytes or in UTF-16 is refused whole.

#include <string_view>

#include "exchange/EqFile.h"

namespace kv {

EqFile parseEqFile(std::string_view text);

// The Q of a bandwidth in octaves, as the formats define it for peaking filters:
// 1/Q = 2 sinh(ln 2 / 2 * N), that is Q = 2^(N/2) / (2^N - 1).
double qOfBandwidth(double octaves);

}  // namespace kv
