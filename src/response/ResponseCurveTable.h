#pragma once
// The table of response curves the graphs draw from: 30 slots of 420 dB values. The
// application creates one and hands it by reference to the pages and the report; which
// slot holds which element is fixed in CurveSlots.h.

#include <array>
#include <cstdint>

#include "response/ResponseGrid.h"

namespace kv {

enum class CurveState : std::uint8_t {
    Absent,  // not used by the page on show
    Stale,   // its element changed: recompute before drawing
    Valid,   // values are current
};

struct CurveSlot {
    CurveState state = CurveState::Absent;
    std::array<float, kGridPoints> values{};  // dB at each grid point
};

class ResponseCurveTable {
public:
    static constexpr int kSlotCount = 30;

    static constexpr bool isSlot(int index) { return index >= 0 && index < kSlotCount; }

    // Throws std::out_of_range for a slot number outside 0..29.
    CurveSlot& slot(int index) { return slots_.at(static_cast<std::size_t>(index)); }
    const CurveSlot& slot(int index) const { return slots_.at(static_cast<std::size_t>(index)); }

    CurveState state(int index) const { return slot(index).state; }
    bool isValid(int index) const { return state(index) == CurveState::Valid; }
    bool isStale(int index) const { return state(index) == CurveState::Stale; }
    bool isAbsent(int index) const { return state(index) == CurveState::Absent; }

    // Out-of-range slot numbers are ignored by the markers, so a page may mark freely.
    void setState(int index, CurveState state);
    void markStale(int index) { setState(index, CurveState::Stale); }
    void markAbsent(int index) { setState(index, CurveState::Absent); }
    void markAll(CurveState state);
    // Every slot in use (not Absent) becomes Stale: after an edit that may touch any element.
    void markPresentStale();

private:
    std::array<CurveSlot, kSlotCount> slots_{};
};

}  // namespace kv
