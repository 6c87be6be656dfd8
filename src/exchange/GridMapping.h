#pragma once
// One filter of a text file put onto the unit's own code grid: the nearest frequency
// index (36 per octave), the nearest Q index (12 per doubling) and the gain in tenths of
// a dB, each kept within its type's range; every value that had to be limited gets a note
// in the user's terms. Also the texts of the mapping table and the exact element each
// filter asks for, in the same analog model the graphs draw.

#include <string>
#include <vector>

#include "document/PresetBank.h"
#include "exchange/EqFile.h"
#include "response/analog/AnalogElement.h"

namespace kv {

inline constexpr int kFirstOrderSlope = 7;     // "6dB 1st Order"
inline constexpr int kButterworth12Slope = 1;  // "12dB Butterworth"
inline constexpr int kLowestOnHighPass = 13;   // index 12 and below: the high-pass is off
inline constexpr int kHighestOnLowPass = 432;  // index 433 and above: the low-pass is off

struct BandCodes {
    PeqBand band;
    std::vector<std::string> notes;  // what was limited or ignored
};

struct CrossoverCodes {
    CrossoverFilter filter;
    std::vector<std::string> notes;
};

struct GainCodes {
    int code = 150;  // output gain code, (150 - code) / 10 dB
    std::vector<std::string> notes;
};

// A filter whose target is Band, as a band that is not flat.
BandCodes bandCodesOf(const EqFilter& filter, int unitType);
// A filter whose target is a crossover (HP1, LP1), as that crossover at 6 dB 1st Order.
CrossoverCodes crossoverCodesOf(const EqFilter& filter, int unitType);
// A Preamp in dB as the output gain code, within +12 to -30 dB.
GainCodes outputGainCodeOf(double preampDb);

// What the filter asks for, with its exact parameters; empty for a refused filter.
AnalogElement requestedElement(const EqFilter& filter);

// The values set as the value texts show them: "Band 3: PEQ 1k00Hz -3.5dB Q 0.71",
// "Highpass: 35.4Hz 6dB 1st Order", "Gain: -6.0dB".
std::string bandSetText(int band, const PeqBand& codes);
std::string crossoverSetText(bool highPass, const CrossoverFilter& codes);
std::string outputGainSetText(int code);

}  // namespace kv
