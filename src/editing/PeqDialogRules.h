#pragma once
// The arithmetic of the PEQ band dialog: what each typed text, scroll action, slider
// position and type choice writes into a band. The dialog calls these and writes the
// results through the document's band setters.

#include <array>
#include <optional>
#include <string_view>

#include "document/KorvaliserDoc.h"
#include "editing/slider/ScrollStep.h"
#include "response/analog/FilterCurve.h"

namespace kv {

inline constexpr int kPeqSliderHome = 150;  // slider position of 0.0 dB
inline constexpr int kQPageStep = 10;

// The types offered in the dialog's type list, in list order. HighPass (3) and LowPass
// (4) hold a slope code in their Q byte and are set on the output page only.
inline constexpr std::array<int, 11> kOfferedPeqTypes{
    PeqPeaking, PeqLowShelf,     PeqHighShelf,     PeqAllPass,         PeqBandPass,        PeqNotch,
    PeqPhase,   PeqVariQLowPass, PeqVariQHighPass, PeqEllipticLowPass, PeqEllipticHighPass};

// The editable ranges of one band type.
struct BandRanges {
    ValueRange frequency;
    ValueRange gain;
    ValueRange q;
};
BandRanges bandRangesForType(int type, int unitType);

// A gain text in dB ("-4.5", "+3dB") to tenths of a dB, truncated toward zero and limited
// to the range. Nothing when the text holds no number.
std::optional<int> bandGainFromText(std::string_view text, ValueRange gainRange);

// A Q text to the Q index. For Phase the text is in degrees (index = degrees / 2, at most
// 89); otherwise a Q value, or a bandwidth 1/Q when showQ is false. Limited to the range.
std::optional<int> bandQFromText(std::string_view text, int type, bool showQ, ValueRange qRange);

// The Q bar runs from 0 to (maximum - minimum). For Phase its position is the index; for
// every other type it is reversed (maximum - Q), so moving right always raises the Q.
int qBarPosition(int q, int type, ValueRange qRange);
int qAfterScroll(int current, ScrollAction action, int thumbPosition, int type, ValueRange qRange);

// Band gain for a gain slider position: position 0 is the top of the gain range and each
// step down is 0.1 dB less, stopping at the bottom of the range.
int bandGainFromSlider(int position, ValueRange gainRange);
inline int sliderPositionForBandGain(int gain) { return kPeqSliderHome - gain; }

// What choosing a type in the list writes: nothing unless the band is flat and the type
// differs; then the type, and for the shelves and VariQ types Q 90, for PEQ Q 65.
struct TypeChange {
    bool writeType = false;
    std::optional<int> q;
};
TypeChange typeChangeFor(int currentType, bool flat, int chosenType);

// Band stepping with the Dn and Up buttons; the index stays within 0..lastBand.
int previousBandIndex(int band);
int nextBandIndex(int band, int lastBand);

}  // namespace kv
