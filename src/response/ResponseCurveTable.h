#pragma once
// The table of response curves the graphs draw from: 30 slots of 420 dB values. The
// application creates one and hands it by reference to the pages and the report; which
// slot holds which element is fixed in CurveSlots.h.

#include <array>
#include <cstdint>
#include <memory>

#include "document/DocumentListener.h"
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

class CKorvaliserDoc;
class DspCurveCache;

// The table follows the document it is drawn from: every change record marks the slots of
// the elements it touched Stale, so no edit path can leave an old curve on show.
class ResponseCurveTable final : public DocumentListener {
public:
    static constexpr int kSlotCount = 30;

    ResponseCurveTable();
    ~ResponseCurveTable() override;
    ResponseCurveTable(const ResponseCurveTable&) = delete;
    ResponseCurveTable& operator=(const ResponseCurveTable&) = delete;

    // Subscribes to the document, which must outlive the subscription (or call follow
    // again with another document). Without it the table is only marked by hand.
    void follow(CKorvaliserDoc& doc);
    // The output whose elements the page slots (0 .. 15) hold; the page's activation sets it.
    void setPageOutput(int output) { pageOutput_ = output; }
    int pageOutput() const { return pageOutput_; }
    void documentChanged(const DocumentChange& change) override;

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

    // The response of the words sent to the unit for the elements, kept beside the
    // model's slots (made on first use). It forgets an element whenever a marker above or
    // a change record touches the element's slot, as the model's slots go Stale.
    DspCurveCache& dsp();

private:
    void markStaleIfPresent(int index);
    void markOutputElementsStale(int output);

    std::array<CurveSlot, kSlotCount> slots_{};
    std::unique_ptr<DspCurveCache> dsp_;
    CKorvaliserDoc* followed_ = nullptr;
    int pageOutput_ = -1;
};

}  // namespace kv
