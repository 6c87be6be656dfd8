#pragma once
// The curve table's second half: what the unit really does with one output's elements,
// beside the model slots the graphs draw. For each element slot (CurveSlots: 0 and 1 the
// crossover filters, 2 + b band b) it keeps the response of the words sent for the
// element, the sum of them all (the DSP total), the same two in the analog model for
// the phase, and the worst difference of the totals for the warning. Curves are computed
// when first asked for and kept until the table's markers or change records touch their
// element, so a redraw during a drag recomputes only the dragged element.
//
//   RecomputeStaleSlots(table, doc, output);            // the model curves, as ever
//   DspCurveCache& dsp = table.dsp();
//   const GridCurve model = PageTotal(table, doc.activeBandCount());
//   drawDashed(dsp.totalMagnitude(doc, output));
//   const std::string warning = modelDifferenceWarning(dsp.totalDifference(doc, output, model));

#include <array>

#include "document/DocumentChange.h"
#include "document/PresetBank.h"
#include "response/CurveSlots.h"
#include "response/dsp/ModelDifference.h"
#include "response/dsp/OutputResponse.h"

namespace kv {

class CKorvaliserDoc;

class DspCurveCache {
public:
    // Every element slot an output has: both crossover filters and all band slots.
    static constexpr int kElementSlots = CurveSlots::band(kBandSlots);
    static constexpr bool isElementSlot(int slot) { return slot >= 0 && slot < kElementSlots; }

    // One element of `output` in the current preset: magnitude in dB, phase in degrees in
    // (-180, 180] (unwrapDegrees joins it into one line). Anything that is no element
    // slot of an output gives 0 dB and 0 degrees.
    const GridCurve& slotMagnitude(const CKorvaliserDoc& doc, int output, int slot,
                                   ResponseModel model = ResponseModel::Dsp);
    const GridCurve& slotPhase(const CKorvaliserDoc& doc, int output, int slot,
                               ResponseModel model = ResponseModel::Dsp);

    // The output's total: both crossover filters and the first activeBandCount bands.
    const GridCurve& totalMagnitude(const CKorvaliserDoc& doc, int output,
                                    ResponseModel model = ResponseModel::Dsp);
    const GridCurve& totalPhase(const CKorvaliserDoc& doc, int output,
                                ResponseModel model = ResponseModel::Dsp);

    // The DSP total against the analog total over the heard band, from the kept totals.
    const ModelDifference& totalDifference(const CKorvaliserDoc& doc, int output);
    // The same against a model total the caller holds: a page passes the total it draws
    // (PageTotal), so a drag step computes the dragged element's analog curve only once.
    ModelDifference totalDifference(const CKorvaliserDoc& doc, int output, const GridCurve& modelDb);

    // How many element curves (of either model) were computed so far: what a redraw cost.
    int slotsComputed() const { return slotsComputed_; }

    // One element slot of the output held changed (other slot numbers are ignored).
    void forget(int slot);
    void forgetAll();
    // Forgets what a change of the document touched: the same records that mark the
    // model's slots stale.
    void documentChanged(const DocumentChange& change);

private:
    // One element slot or the total, in one model; each part is filled when first asked
    // (a total keeps no complex response: it is summed from its elements' curves).
    struct Curves {
        ComplexCurve response{};
        GridCurve magnitudeDb{};
        GridCurve phaseDegrees{};
        bool responseKept = false;
        bool magnitudeKept = false;
        bool phaseKept = false;
        void forget();
    };
    static constexpr int kTotal = kElementSlots;  // index of the total beside the slots
    static constexpr int kModels = 2;

    void hold(const CKorvaliserDoc& doc, int output);
    Curves& curves(ResponseModel model, int index);
    Curves& slotCurves(const CKorvaliserDoc& doc, int output, int slot, ResponseModel model);
    template <typename SlotCurve>
    static void sumElements(const CKorvaliserDoc& doc, int output, GridCurve& sum, SlotCurve slotCurve);
    void forgetTotals();
    static const GridCurve& magnitudeOf(Curves& c);
    static const GridCurve& phaseOf(Curves& c);

    std::array<std::array<Curves, kElementSlots + 1>, kModels> curves_{};
    Curves none_{};  // what a slot that names no element gives: flat, computed once
    ModelDifference difference_{};
    bool differenceKept_ = false;
    int output_ = -1;      // whose elements are kept
    int totalBands_ = -1;  // how many bands the kept totals hold
    int slotsComputed_ = 0;
};

}  // namespace kv
