#include "editing/GraphBandEditor.h"

#include <algorithm>

#include "document/KorvaliserDoc.h"

namespace kv {

namespace {

constexpr int kWheelNotch = 120;
constexpr float kQPixelsPerStep = 4.0F;  // Q drags move four times slower than frequency

int truncated(float value) { return static_cast<int>(value); }

int limited(int value, const ValueRange& range) { return std::clamp(value, range.minimum, range.maximum); }

DragModifier modifierOf(const GraphPointer& pointer) {
    if (pointer.ctrl) return DragModifier::Ctrl;
    if (pointer.shift) return DragModifier::Shift;
    return DragModifier::None;
}

GraphEditResult handledResult() {
    GraphEditResult result;
    result.handled = true;
    return result;
}

// The drag a left-button press starts from a hover, and the hover its release returns to.
GraphHover leftDragFrom(GraphHover hover) {
    switch (hover) {
        case GraphHover::Band: return GraphHover::BandDrag;
        case GraphHover::GainZone: return GraphHover::GainZoneDrag;
        case GraphHover::FrequencyZone: return GraphHover::FrequencyZoneDrag;
        default: return GraphHover::None;
    }
}

GraphHover hoverAfterLeftDrag(GraphHover drag) {
    switch (drag) {
        case GraphHover::BandDrag: return GraphHover::Band;
        case GraphHover::GainZoneDrag: return GraphHover::GainZone;
        case GraphHover::FrequencyZoneDrag: return GraphHover::FrequencyZone;
        default: return drag;
    }
}

}  // namespace

RectF BandMarkerRect(const GraphGeometry& geometry, const CKorvaliserDoc& doc, int output, int band) {
    return geometry.markerRect(doc.bandFrequency(output, band), doc.bandGain(output, band));
}

std::optional<int> MarkerUnder(const GraphGeometry& geometry, const CKorvaliserDoc& doc, int output,
                               const OutputPageState& page, float px, float py) {
    const int bands = std::min(doc.activeBandCount(), kShownFlagCount);
    for (int band = 0; band < bands; ++band) {
        if (page.bandShown[static_cast<std::size_t>(band)] &&
            BandMarkerRect(geometry, doc, output, band).contains(px, py))
            return band;
    }
    return std::nullopt;
}

GraphBandEditor::GraphBandEditor(CKorvaliserDoc& document, int output, OutputPageState& page,
                                 const GraphGeometry& geometry)
    : doc_(document), output_(output), page_(page), geometry_(geometry) {}

GraphBandEditor::~GraphBandEditor() { reset(); }

bool GraphBandEditor::isDragging() const {
    return hover_ == GraphHover::BandDrag || hover_ == GraphHover::GainZoneDrag ||
           hover_ == GraphHover::FrequencyZoneDrag || hover_ == GraphHover::QDrag;
}

void GraphBandEditor::reset() {
    hover_ = GraphHover::None;
    modifier_ = DragModifier::None;
    wheelRemainder_ = 0;
    closeFinishedStep();
}

void GraphBandEditor::openStep() {
    if (stepOpen_) return;
    doc_.beginUndoStep();  // named after the drag's first change ("Move Band 3", "Band 3 Q")
    stepOpen_ = true;
}

void GraphBandEditor::closeFinishedStep() {
    if (!stepOpen_ || isDragging()) return;
    stepOpen_ = false;
    doc_.endUndoStep();
}

std::optional<int> GraphBandEditor::hitTest(int px, int py) const {
    return MarkerUnder(geometry_, doc_, output_, page_, static_cast<float>(px), static_cast<float>(py));
}

GraphBandEditor::BandValues GraphBandEditor::currentValues(int band) const {
    return {doc_.bandFrequency(output_, band), doc_.bandGain(output_, band), doc_.bandQ(output_, band)};
}

GraphEditResult GraphBandEditor::mouseMove(const GraphPointer& pointer) {
    GraphEditResult result = handledResult();
    if (!pointer.insideFrame) {
        result.updateCursor = hover_ != GraphHover::None;
        hover_ = GraphHover::None;
        closeFinishedStep();
        return result;
    }
    modifier_ = modifierOf(pointer);
    const std::optional<int> hit = hitTest(pointer.x, pointer.y);
    if (isDragging() && (pointer.leftHeld || pointer.rightHeld)) {
        // Shift or Ctrl may have changed since the press: the cursor shows what holds now.
        GraphEditResult step = dragStep(pointer);
        step.updateCursor = true;
        return step;
    }

    hover_ = hit ? GraphHover::Band : GraphHover::None;
    if (hit) hoverBand_ = *hit;
    closeFinishedStep();  // the buttons were released outside the window
    if (!hit && page_.selectedBand()) {
        const auto px = static_cast<float>(pointer.x);
        const auto py = static_cast<float>(pointer.y);
        if (geometry_.inGainZone(px)) {
            hover_ = GraphHover::GainZone;
        } else if (geometry_.inFrequencyZone(px, py)) {
            hover_ = GraphHover::FrequencyZone;
        }
    }
    result.updateCursor = true;
    return result;
}

void GraphBandEditor::startDrag(const GraphPointer& pointer) {
    openStep();  // the whole drag is one step of the history
    anchorX_ = pointer.x;
    anchorY_ = pointer.y;
    wheelRemainder_ = 0;
    if (const auto band = page_.selectedBand()) start_ = currentValues(*band);
}

bool GraphBandEditor::scrollToShow(int band) {
    const int before = page_.firstVisibleBand;
    if (band < page_.firstVisibleBand) {
        page_.firstVisibleBand = band;
    } else if (band >= page_.firstVisibleBand + kVisibleRows) {
        page_.firstVisibleBand = band - (kVisibleRows - 1);
    }
    page_.firstVisibleBand = std::clamp(page_.firstVisibleBand, 0, std::max(page_.scrollMaximum, 0));
    return page_.firstVisibleBand != before;
}

GraphEditResult GraphBandEditor::leftButtonDown(const GraphPointer& pointer) {
    const GraphHover drag = leftDragFrom(hover_);
    if (drag == GraphHover::None) return {};
    GraphEditResult result = handledResult();
    if (hover_ == GraphHover::Band) page_.selectedElement = bandElement(hoverBand_);
    hover_ = drag;
    startDrag(pointer);
    result.focusGraph = true;
    if (const auto band = page_.selectedBand()) result.scrolled = scrollToShow(*band);
    result.refreshRows = true;
    result.redrawGraph = true;
    result.updateCursor = true;
    return result;
}

GraphEditResult GraphBandEditor::leftButtonUp() {
    // Only a drag the left button started ends here; a right-button Q drag keeps going.
    if (!isDragging() || hover_ == GraphHover::QDrag) return {};
    hover_ = hoverAfterLeftDrag(hover_);
    closeFinishedStep();
    GraphEditResult result = handledResult();
    result.updateCursor = true;
    return result;
}

GraphEditResult GraphBandEditor::rightButtonDown(const GraphPointer& pointer) {
    if (hover_ == GraphHover::FrequencyZone) {
        hover_ = GraphHover::QDrag;
        startDrag(pointer);
        GraphEditResult result = handledResult();
        result.updateCursor = true;
        return result;
    }
    if (hover_ == GraphHover::None) {
        GraphEditResult result = handledResult();
        result.openContextMenu = true;
        return result;
    }
    return {};
}

GraphEditResult GraphBandEditor::rightButtonUp() {
    if (hover_ != GraphHover::QDrag) return {};
    hover_ = GraphHover::FrequencyZone;
    closeFinishedStep();
    GraphEditResult result = handledResult();
    result.updateCursor = true;
    return result;
}

GraphEditResult GraphBandEditor::dragStep(const GraphPointer& pointer) {
    const auto band = page_.selectedBand();
    if (!band || *band >= doc_.activeBandCount()) return handledResult();
    if (hover_ == GraphHover::QDrag) return qDragStep(*band, pointer.x);
    return markerDragStep(*band, pointer);
}

GraphEditResult GraphBandEditor::applyQ(int band, int wanted) {
    GraphEditResult result = handledResult();
    const ValueRange range = parameterRange(RangeKind::Q, doc_.bandType(output_, band), doc_.unitType());
    const int current = doc_.bandQ(output_, band);
    // A stored Q beyond its type's range (a slope code read from a file, say) is left alone.
    if (range.maximum < current) return result;
    const int q = limited(wanted, range);
    if (q == current) return result;
    doc_.setBandQ(output_, band, q);
    result.changedBand = band;
    result.qChanged = true;
    result.redrawGraph = true;
    return result;
}

GraphEditResult GraphBandEditor::qDragStep(int band, int px) {
    const float pixels = static_cast<float>(px - anchorX_);
    return applyQ(band, truncated(pixels / (kQPixelsPerStep * geometry_.xScale)) + start_.q);
}

GraphEditResult GraphBandEditor::markerDragStep(int band, const GraphPointer& pointer) {
    GraphEditResult result = handledResult();
    const int type = doc_.bandType(output_, band);
    const BandValues now = currentValues(band);
    const auto px = static_cast<float>(pointer.x);
    const auto py = static_cast<float>(pointer.y);

    int frequency = geometry_.frequencyIndexAt(px);
    int gain = geometry_.gainAt(py);
    // Each key holds its own value: Shift the frequency, Ctrl the gain (both: nothing moves).
    if (pointer.shift) frequency = now.frequency;
    if (pointer.ctrl) gain = now.gain;
    if (hover_ == GraphHover::FrequencyZoneDrag) {
        frequency = truncated(static_cast<float>(pointer.x - anchorX_) / geometry_.xScale) + start_.frequency;
        gain = now.gain;
    } else if (hover_ == GraphHover::GainZoneDrag) {
        frequency = now.frequency;
        gain = start_.gain - truncated(static_cast<float>(pointer.y - anchorY_) / geometry_.yScale);
    }

    const int unit = doc_.unitType();
    frequency = limited(frequency, parameterRange(RangeKind::Frequency, type, unit));
    gain = limited(gain, parameterRange(RangeKind::BandGain, type, unit));
    if (frequency == now.frequency && gain == now.gain) return result;

    doc_.setBandFrequencyAndGain(output_, band, frequency, gain);
    result.changedBand = band;
    result.frequencyChanged = frequency != now.frequency;
    result.gainChanged = gain != now.gain;
    result.redrawGraph = true;
    return result;
}

GraphEditResult GraphBandEditor::wheel(int angleDelta) {
    const auto band = page_.selectedBand();
    if (!isDragging() || !band || *band >= doc_.activeBandCount()) return {};
    wheelRemainder_ += angleDelta;
    const int notches = wheelRemainder_ / kWheelNotch;
    wheelRemainder_ -= notches * kWheelNotch;
    if (notches == 0) return handledResult();
    // A notch towards the user (negative delta) raises the Q index.
    return applyQ(*band, doc_.bandQ(output_, *band) - notches);
}

GraphCursor GraphBandEditor::cursor() const {
    const bool shift = modifier_ == DragModifier::Shift;
    const bool ctrl = modifier_ == DragModifier::Ctrl;
    switch (hover_) {
        case GraphHover::None: return GraphCursor::Default;
        case GraphHover::Band:
            if (shift) return GraphCursor::BandGainOnly;
            if (ctrl) return GraphCursor::BandFreqOnly;
            return GraphCursor::BandPick;
        case GraphHover::GainZone: return GraphCursor::BandGainOnly;
        case GraphHover::FrequencyZone: return GraphCursor::BandFreqOnly;
        case GraphHover::BandDrag:
            if (shift) return GraphCursor::SizeVertical;
            if (ctrl) return GraphCursor::SizeHorizontal;
            return GraphCursor::SizeAll;
        case GraphHover::GainZoneDrag: return GraphCursor::SizeVertical;
        case GraphHover::FrequencyZoneDrag:
        case GraphHover::QDrag: return GraphCursor::SizeHorizontal;
    }
    return GraphCursor::Default;
}

}  // namespace kv
