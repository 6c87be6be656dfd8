#pragma once
// Where the unit parts from its picture: the worst difference between the response of the
// words on the wire and the analog model, over the band a listener hears, and the short
// warning a graph or dialog shows when it is large enough to hear.

#include <string>

#include "document/PresetBank.h"
#include "response/dsp/OutputResponse.h"

namespace kv {

struct FrequencySpan {
    double lowHz = 20.0;
    double highHz = 20000.0;
};

// A difference larger than this (in dB) earns the warning.
inline constexpr double kAudibleDifferenceDb = 1.0;
// Both curves are held at no less than this before comparing: deep notches and stop
// bands far below the passband do not count as differences.
inline constexpr double kComparisonFloorDb = -60.0;

struct ModelDifference {
    int point = -1;          // grid point of the worst difference; -1 when nothing was compared
    double frequency = 0.0;  // Hz
    double decibels = 0.0;   // DSP minus model; the largest in size, the lowest point on ties
};

// Compares two dB curves at the grid points inside the span; points where either is not a
// number are passed over.
ModelDifference worstDifference(const GridCurve& dspDb, const GridCurve& modelDb, FrequencySpan span = {});

// The output's total (crossover filters and the first activeBandCount bands).
ModelDifference outputModelDifference(const OutputChannel& output, int activeBandCount, int unitType,
                                      FrequencySpan span = {});
// One element slot (CurveSlots::highPass, lowPass, band(b)) on its own.
ModelDifference elementModelDifference(const OutputChannel& output, int slot, int unitType,
                                       FrequencySpan span = {});

// "DSP differs by 4.6 dB at 9.8 Hz" when the difference is larger than
// kAudibleDifferenceDb, otherwise empty. The frequency reads as the value texts write it.
std::string modelDifferenceWarning(const ModelDifference& difference);

}  // namespace kv
