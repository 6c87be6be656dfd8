#pragma once
// The one place that turns the bank's integer codes into the texts the user reads:
// the output page, the band and crossover dialogs, the graph labels, the settings
// report and the command-line tool all call these, so one value always reads the same.
// Results are UTF-8; the GUI converts them with QString::fromUtf8.

#include <string>

namespace kv {

// Frequency index (16-bit unsigned): " <10Hz", " 91.9Hz", "  981Hz", " 1k00Hz", ">32k0Hz".
std::string frequencyText(int index);
// Output gain code (taken as signed 16-bit): "%+ 5.1fdB" of 15 - code / 10.
std::string outputGainText(int code);
// Band gain in tenths of a dB (signed 16-bit): "%+5.1fdB" for types 0..2, else "N/A".
std::string bandGainText(int gain, int type);
// Band width of Q index q (16-bit unsigned): Q when showQ, else 1/Q; phase in degrees
// for the Phase type; "N/A" for the elliptic types.
std::string bandWidthText(int q, int type, bool showQ);
// Delay in counts of 1/96 ms (unsigned): "%7.4f mS".
std::string delayText(int count);
// Crossover slope code (low 8 bits): "24dB Link/Riley" etc.; empty above 11.
std::string slopeText(int code);
// PEQ type code (low 8 bits); the short form only differs for types 9..12; "PEQ" above 12.
std::string typeText(int type, bool shortForm);
// Limiter time table entry (low 8 bits, clamped to 0..19): "0.1mS" .. " 90mS".
std::string limiterTimeText(int index);
// Release multiplier (low 8 bits): "x2" .. "x32" for 0..4, empty otherwise.
std::string releaseMultiplierText(int index);

}  // namespace kv
