#pragma once
// What one change of the document touched. Every setter, paste, reorder, rename, unit type
// change, load and reset sends one (or, for a restore from the history, one per element
// that differs), so a view updates exactly what changed and nothing is forgotten.

#include <cstdint>

namespace kv {

enum class ChangedElement : std::uint8_t {
    ModifiedFlag,  // only the modified flag changed (saved, discarded)
    Selection,     // another preset became the current one
    Band,
    HighPass,
    LowPass,
    Gain,
    Mute,
    Polarity,
    Delay,
    Limiter,
    Name,
    Order,
    UnitType,
    Output,  // a whole output (paste to a channel)
    Preset,  // a whole preset (paste to a preset)
    Bank,    // everything (new bank, load)
};

// Which value of a band or crossover changed; Whole when several or not known.
enum class ChangedField : std::uint8_t { Whole, Frequency, Gain, Q, Type, Flat, Slope, FrequencyAndGain };

struct DocumentChange {
    ChangedElement element = ChangedElement::ModifiedFlag;
    ChangedField field = ChangedField::Whole;
    int slot = -1;               // preset slot 0..9, -1 when the change is not about one preset
    int output = -1;             // 0-based output, -1 when not about one output
    int band = -1;               // 0-based band, -1 when not about one band
    bool currentPreset = false;  // the slot is the preset being edited (what the unit plays)
    bool modified = false;       // the document's modified flag after the change

    // True when the change can alter the response curves of the preset being edited.
    bool touchesCurves() const;
};

}  // namespace kv
