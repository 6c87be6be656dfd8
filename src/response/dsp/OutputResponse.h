#pragma once
// The complex response of an output's elements on the response grid, in either model:
// the analog prototypes the graphs draw, or the unit's own sections read back from the
// words that go on the wire for them. Elements are named by their curve slots
// (CurveSlots::highPass, lowPass, band(b)), so a cache of these curves can sit beside the
// model's slots.
//
// Like the model, a total holds the crossover filters and the bands only. The unit also
// applies the output's gain word (level, polarity, mute) and its delay; the gain word is
// offered as an element of its own so that a comparison with the model stays like for
// like, and delay is left out of both.

#include <array>
#include <complex>

#include "document/PresetBank.h"
#include "response/ResponseGrid.h"

namespace kv {

enum class ResponseModel { Analog, Dsp };

using ComplexCurve = std::array<std::complex<double>, kGridPoints>;
using GridCurve = std::array<double, kGridPoints>;

// One element slot of an output: 0 and 1 its crossover filters, 2 + b its band b (any of
// the bank's twelve band slots). Any other slot (the other outputs' crossover pairs) gives
// 1 everywhere. unitType is handed to the analog model's range lookup and changes nothing.
ComplexCurve slotResponse(const OutputChannel& output, int slot, ResponseModel model, int unitType);

// The same slot's magnitude in dB, magnitudeDb(slotResponse(...)) to rounding. The unit's
// sections are evaluated as squared magnitudes, about half the work, so a cache of the
// curves can leave the complex response until a phase is asked for.
GridCurve slotMagnitudeDb(const OutputChannel& output, int slot, ResponseModel model, int unitType);

// The product of both crossover filters and the first activeBandCount bands.
ComplexCurve totalResponse(const OutputChannel& output, int activeBandCount, ResponseModel model,
                           int unitType);

// The output's gain word as the unit applies it: its level, negative when the polarity is
// inverted (180 degrees), zero when muted.
ComplexCurve gainWordResponse(const OutputChannel& output);

// 20 log10 |H|; a zero gives minus infinity.
GridCurve magnitudeDb(const ComplexCurve& response);
// arg H in degrees, in (-180, 180].
GridCurve phaseDegrees(const ComplexCurve& response);
double wrapDegrees(double degrees);
// Removes the 360-degree jumps of a wrapped phase curve, starting from its first point,
// so a display can draw it as one line. Points that are not a number stay so and are
// stepped over.
GridCurve unwrapDegrees(const GridCurve& wrapped);

}  // namespace kv
