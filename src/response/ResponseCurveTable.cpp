#include "response/ResponseCurveTable.h"

#include "document/KorvaliserDoc.h"
#include "response/CurveSlots.h"
#include "response/dsp/DspCurveCache.h"

namespace kv {

ResponseCurveTable::ResponseCurveTable() = default;

ResponseCurveTable::~ResponseCurveTable() {
    if (followed_) followed_->removeListener(this);
}

void ResponseCurveTable::follow(CKorvaliserDoc& doc) {
    if (followed_) followed_->removeListener(this);
    followed_ = &doc;
    doc.addListener(this);
}

DspCurveCache& ResponseCurveTable::dsp() {
    if (!dsp_) dsp_ = std::make_unique<DspCurveCache>();
    return *dsp_;
}

void ResponseCurveTable::setState(int index, CurveState state) {
    if (!isSlot(index)) return;
    slots_[static_cast<std::size_t>(index)].state = state;
    if (dsp_) dsp_->forget(index);
}

void ResponseCurveTable::markAll(CurveState state) {
    for (CurveSlot& s : slots_) s.state = state;
    if (dsp_) dsp_->forgetAll();
}

void ResponseCurveTable::markPresentStale() {
    for (CurveSlot& s : slots_) {
        if (s.state != CurveState::Absent) s.state = CurveState::Stale;
    }
    if (dsp_) dsp_->forgetAll();
}

void ResponseCurveTable::markStaleIfPresent(int index) {
    if (isSlot(index) && !isAbsent(index)) markStale(index);
}

void ResponseCurveTable::markOutputElementsStale(int output) {
    if (output == pageOutput_) {
        for (int s = 0; s < CurveSlots::firstCrossoverPair; ++s) {
            if (s != CurveSlots::report) markStaleIfPresent(s);
        }
    }
    markStaleIfPresent(CurveSlots::crossoverPair(output));
}

void ResponseCurveTable::documentChanged(const DocumentChange& change) {
    if (!change.touchesCurves()) return;
    // The DSP side keeps its own output's elements, which need not be the page's.
    if (dsp_) dsp_->documentChanged(change);
    const bool pageElement = change.output >= 0 && change.output == pageOutput_;
    switch (change.element) {
        case ChangedElement::Band:
            if (pageElement) markStaleIfPresent(CurveSlots::band(change.band));
            break;
        case ChangedElement::HighPass:
        case ChangedElement::LowPass:
            if (pageElement)
                markStaleIfPresent(change.element == ChangedElement::HighPass ? CurveSlots::highPass
                                                                              : CurveSlots::lowPass);
            if (change.output >= 0 && change.output < CurveSlots::crossoverPairCount)
                markStaleIfPresent(CurveSlots::crossoverPair(change.output));
            break;
        case ChangedElement::Output:
            if (change.output >= 0 && change.output < CurveSlots::crossoverPairCount)
                markOutputElementsStale(change.output);
            break;
        default: markPresentStale(); break;
    }
}

}  // namespace kv
