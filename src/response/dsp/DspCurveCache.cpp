#include "response/dsp/DspCurveCache.h"

#include <algorithm>

#include "document/KorvaliserDoc.h"

namespace kv {

namespace {

bool isOutput(int output) { return output >= 0 && output < kOutputSlots; }

std::size_t modelIndex(ResponseModel model) { return model == ResponseModel::Dsp ? 0 : 1; }

ComplexCurve flat() {
    ComplexCurve curve;
    curve.fill({1.0, 0.0});
    return curve;
}

}  // namespace

void DspCurveCache::hold(const CKorvaliserDoc& doc, int output) {
    if (output != output_) {
        forgetAll();
        output_ = output;
    }
    if (doc.activeBandCount() != totalBands_) {
        forgetTotals();
        totalBands_ = doc.activeBandCount();
    }
}

DspCurveCache::Curves& DspCurveCache::curves(ResponseModel model, int index) {
    return curves_[modelIndex(model)][static_cast<std::size_t>(index)];
}

DspCurveCache::Curves& DspCurveCache::slotCurves(const CKorvaliserDoc& doc, int output, int slot,
                                                 ResponseModel model) {
    hold(doc, output);
    if (!isElementSlot(slot) || !isOutput(output)) {
        if (!none_.responseKept) {
            none_.response = flat();
            none_.responseKept = true;
        }
        return none_;
    }
    Curves& c = curves(model, slot);
    if (!c.responseKept) {
        c.response = slotResponse(doc.outputChannel(output), slot, model, doc.unitType());
        c.responseKept = true;
        ++slotsComputed_;
    }
    return c;
}

template <typename SlotCurve>
void DspCurveCache::sumElements(const CKorvaliserDoc& doc, int output, GridCurve& sum, SlotCurve slotCurve) {
    sum.fill(0.0);
    if (!isOutput(output)) return;
    const int last = CurveSlots::lastElement(std::clamp(doc.activeBandCount(), 0, kBandSlots));
    for (int slot = 0; slot <= last; ++slot) {
        const GridCurve& element = slotCurve(slot);
        for (std::size_t k = 0; k < sum.size(); ++k) sum[k] += element[k];
    }
}

const GridCurve& DspCurveCache::magnitudeOf(Curves& c) {
    if (!c.magnitudeKept) {
        c.magnitudeDb = magnitudeDb(c.response);
        c.magnitudeKept = true;
    }
    return c.magnitudeDb;
}

const GridCurve& DspCurveCache::phaseOf(Curves& c) {
    if (!c.phaseKept) {
        c.phaseDegrees = phaseDegrees(c.response);
        c.phaseKept = true;
    }
    return c.phaseDegrees;
}

const GridCurve& DspCurveCache::slotMagnitude(const CKorvaliserDoc& doc, int output, int slot,
                                              ResponseModel model) {
    return magnitudeOf(slotCurves(doc, output, slot, model));
}

const GridCurve& DspCurveCache::slotPhase(const CKorvaliserDoc& doc, int output, int slot,
                                          ResponseModel model) {
    return phaseOf(slotCurves(doc, output, slot, model));
}

// A total is the sum of its kept elements, in dB and in degrees, as the model's page total
// is: a drag step then costs the dragged element and one addition per point and element.
const GridCurve& DspCurveCache::totalMagnitude(const CKorvaliserDoc& doc, int output, ResponseModel model) {
    hold(doc, output);
    Curves& total = curves(model, kTotal);
    if (!total.magnitudeKept) {
        sumElements(doc, output, total.magnitudeDb,
                    [&](int slot) -> const GridCurve& { return slotMagnitude(doc, output, slot, model); });
        total.magnitudeKept = true;
    }
    return total.magnitudeDb;
}

const GridCurve& DspCurveCache::totalPhase(const CKorvaliserDoc& doc, int output, ResponseModel model) {
    hold(doc, output);
    Curves& total = curves(model, kTotal);
    if (!total.phaseKept) {
        sumElements(doc, output, total.phaseDegrees,
                    [&](int slot) -> const GridCurve& { return slotPhase(doc, output, slot, model); });
        for (double& degrees : total.phaseDegrees) degrees = wrapDegrees(degrees);
        total.phaseKept = true;
    }
    return total.phaseDegrees;
}

const ModelDifference& DspCurveCache::totalDifference(const CKorvaliserDoc& doc, int output) {
    hold(doc, output);
    if (!differenceKept_) {
        const GridCurve& dsp = totalMagnitude(doc, output, ResponseModel::Dsp);
        difference_ = worstDifference(dsp, totalMagnitude(doc, output, ResponseModel::Analog));
        differenceKept_ = true;
    }
    return difference_;
}

ModelDifference DspCurveCache::totalDifference(const CKorvaliserDoc& doc, int output,
                                               const GridCurve& modelDb) {
    return worstDifference(totalMagnitude(doc, output, ResponseModel::Dsp), modelDb);
}

void DspCurveCache::Curves::forget() { responseKept = magnitudeKept = phaseKept = false; }

void DspCurveCache::forgetTotals() {
    for (auto& model : curves_) model[kTotal].forget();
    differenceKept_ = false;
}

void DspCurveCache::forget(int slot) {
    if (!isElementSlot(slot)) return;
    for (auto& model : curves_) model[static_cast<std::size_t>(slot)].forget();
    forgetTotals();
}

void DspCurveCache::forgetAll() {
    for (auto& model : curves_) {
        for (Curves& c : model) c.forget();
    }
    differenceKept_ = false;
}

void DspCurveCache::documentChanged(const DocumentChange& change) {
    if (!change.touchesCurves()) return;
    const bool ours = change.output == output_;
    switch (change.element) {
        case ChangedElement::Band:
            if (ours) {
                if (change.band >= 0 && change.band < kBandSlots)
                    forget(CurveSlots::band(change.band));
                else
                    forgetAll();
            }
            break;
        case ChangedElement::HighPass:
            if (ours) forget(CurveSlots::highPass);
            break;
        case ChangedElement::LowPass:
            if (ours) forget(CurveSlots::lowPass);
            break;
        case ChangedElement::Output:
            if (ours || change.output < 0) forgetAll();
            break;
        default: forgetAll(); break;
    }
}

}  // namespace kv
