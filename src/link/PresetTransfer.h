#pragma once
// Storing presets of the document into the unit's ten preset slots, and making the unit
// recall one of them. Each operation identifies the unit anew and leaves the link
// offline afterwards (the port stays open), so the unit is never left half-edited.

#include <cstdint>
#include <functional>
#include <string>

namespace kv {

class CKorvaliserDoc;
class OnlineSender;
class UnitLink;

// Bit p set = position p (preset number p + 1); positions 0..9.
using PresetMask = std::uint16_t;
inline constexpr PresetMask kAllPresets = 0x03FF;

// "Sending Preset %i Data" for position p, the text of the "Please Wait" window.
std::string sendingPresetText(int position);

struct StoreSummary {
    bool started = false;  // the unit answered the first identification
    int sent = 0;          // whole-preset frames put on the wire
    int acknowledged = 0;
    PresetMask acknowledgedMask = 0;
};

class PresetTransfer {
public:
    // Called before each position is sent, so a wait window can show the position.
    using Progress = std::function<void(int position)>;

    PresetTransfer(UnitLink& link, CKorvaliserDoc& document, OnlineSender& sender);

    // Sends the preset shown at position p (slot presetOrder[p]) into unit slot p,
    // going online first if needed. The current preset is the same afterwards. True when
    // the unit acknowledged the frame.
    bool storePresetToUnit(int position);
    // The store loop: goes online once (stopping there if that fails), then stores every
    // position of the mask in ascending order.
    StoreSummary storeSelections(PresetMask mask, const Progress& progress = {});
    // Makes the unit recall its preset p + 1 (position p, 0..9). True when acknowledged.
    bool recallUnitPreset(int position);

private:
    enum class StoreOutcome { NotSent, Unacknowledged, Acknowledged };
    StoreOutcome storeOne(int position);

    UnitLink& link_;
    CKorvaliserDoc& document_;
    OnlineSender& sender_;
};

}  // namespace kv
