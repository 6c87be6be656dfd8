#pragma once
// Auto-EQ: sets chosen bands of an output so that the predicted response (measurement
// plus the output's total response) comes as close as it can to a target, in the unit's
// own codes. It fits continuous parameters first (greedy placement at the largest
// errors, then a damped Gauss-Newton over all bands), then snaps them to the codes and
// searches the neighbouring codes. The same request always gives the same result.

#include <string>
#include <vector>

#include "document/PresetBank.h"
#include "measurement/GridCurve.h"

namespace kv {

class CKorvaliserDoc;

struct AutoEqOptions {
    double lowHz = 40.0;  // the error is measured over this range, and band centres stay in it
    double highHz = 16000.0;
    double maxBoostDb = 6.0;
    bool cutsOnly = false;
    bool allowShelves = true;  // at most one Low Shelf and one High Shelf
    double maxQ = 10.0;        // narrower bands would chase measurement noise
};

struct AutoEqRequest {
    GridCurve measurement = absentCurve();  // offset applied; absent points are left out
    GridCurve target = constantCurve(0.0);
    GridCurve weights = constantCurve(1.0);  // per grid point, 0 leaves a point out
    OutputChannel channel;                   // the output as it stands
    int activeBandCount = kBandsInUse;
    int unitType = kUnitKV420;
    std::vector<int> bands;  // 0-based band numbers the fit may set
    AutoEqOptions options;
};

struct FittedBand {
    int band = 0;       // 0-based band number
    PeqBand codes;      // what the band is set to
    bool used = false;  // false: not needed; left as it was if it changed nothing, else 0 dB
    double hz = 0.0;    // the continuous fit, before snapping
    double gainDb = 0.0;
    double q = 0.0;
};

struct AutoEqResult {
    std::string error;  // empty when the fit ran
    int points = 0;     // grid points the error was measured on
    // RMS error in dB: the output as it stands, after the continuous fit, after snapping.
    double rmsBefore = 0.0;
    double rmsContinuous = 0.0;
    double rmsSnapped = 0.0;
    std::vector<FittedBand> bands;  // in band order
    bool ok() const { return error.empty(); }
};

// A request for an output of the document's current preset (0 or 1), against curves on
// the grid; the bands and options are left for the caller to choose.
AutoEqRequest autoEqRequest(const CKorvaliserDoc& doc, int output, const GridCurve& measurement,
                            const GridCurve& target);

AutoEqResult fitAutoEq(const AutoEqRequest& request);

// The bands in use that change nothing: switched flat, or a PEQ or shelf at 0 dB.
std::vector<int> freeBands(const OutputChannel& channel, int activeBandCount);

// Writes the fitted bands of the result into output of the current preset, through the
// document's setters, calling only those whose value changes.
void applyAutoEq(CKorvaliserDoc& doc, int output, const AutoEqResult& result);

}  // namespace kv
