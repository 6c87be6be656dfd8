#include "editing/GraphBandEditor.h"

#include <algorithm>

#include "document/KorvaliserDoc.h"

namespace kv {

namespace {

constexpr int kWheelNotch = 120;
constexpr float kPlotHeightUnits = 360.0F;
constexpr int kFirstFrequencyIndex = 12;  // graph x = 0
constexpr int kZeroDbRow = 180;           // graph y of 0 dB, in tenths of a dB from the top
constexpr float kQPixelsPerStep = 4.0F;   // Q drags move four times slower than frequency

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

}  // namespace

GraphBandEditor::GraphBandEditor(CKorvaliserDoc& document, int output, OutputPageState& page)
    : doc_(document), output_(output), page_(page) {}

GraphBandEditor::~GraphBandEditor() { reset(); }

void GraphBandEditor::reset() {
    hover_ = hover::kNone;
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
    const int bands = std::min(doc_.activeBandCount(), kShownFlagCount);
    for (int band = 0; band < bands; ++band) {
        const auto index = static_cast<std::size_t>(band);
        if (page_.bandShown[index] &&
            page_.markers[index].contains(static_cast<float>(px), static_cast<float>(py)))
            return band;
    }
    return std::nullopt;
}

GraphBandEditor::BandValues GraphBandEditor::currentValues(int band) const {
    return {doc_.bandFrequency(output_, band), doc_.bandGain(output_, band), doc_.bandQ(output_, band)};
}

GraphEditResult GraphBandEditor::mouseMove(const GraphPointer& pointer) {
    GraphEditResult result = handledResult();
    if (!pointer.insideFrame) {
        result.updateCursor = hover_ != hover::kNone;
        hover_ = hover::kNone;
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

    hover_ = hit ? *hit + 1 : hover::kNone;
    closeFinishedStep();  // the buttons were released outside the window
    if (!hit && page_.selectedBand()) {
        const auto px = static_cast<float>(pointer.x);
        const auto py = static_cast<float>(pointer.y);
        if (px < mapping_.plotLeft - 2.0F) {
            hover_ = hover::kGainZone;
        } else if (px > mapping_.plotLeft + 1.0F &&
                   py > mapping_.plotTop + kPlotHeightUnits * mapping_.yScale) {
            hover_ = hover::kFrequencyZone;
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
    if (hover_ < 1 || hover_ >= hover::kDragging) return {};
    GraphEditResult result = handledResult();
    if (hover_ <= hover::kLastBand) page_.selectedTarget = hover_ + (kTargetFirstBand - 1);
    hover_ += hover::kDragging;
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
    if (!isDragging() || hover_ == hover::kQDrag) return {};
    hover_ -= hover::kDragging;
    closeFinishedStep();
    GraphEditResult result = handledResult();
    result.updateCursor = true;
    return result;
}

GraphEditResult GraphBandEditor::rightButtonDown(const GraphPointer& pointer) {
    if (hover_ == hover::kFrequencyZone) {
        hover_ = hover::kQDrag;
        startDrag(pointer);
        GraphEditResult result = handledResult();
        result.updateCursor = true;
        return result;
    }
    if (hover_ == hover::kNone) {
        GraphEditResult result = handledResult();
        result.openContextMenu = true;
        return result;
    }
    return {};
}

GraphEditResult GraphBandEditor::rightButtonUp() {
    if (hover_ != hover::kQDrag) return {};
    hover_ = hover::kFrequencyZone;
    closeFinishedStep();
    GraphEditResult result = handledResult();
    result.updateCursor = true;
    return result;
}

GraphEditResult GraphBandEditor::dragStep(const GraphPointer& pointer) {
    const auto band = page_.selectedBand();
    if (!band || *band >= doc_.activeBandCount()) return handledResult();
    if (hover_ == hover::kQDrag) return qDragStep(*band, pointer.x);
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
    return applyQ(band, truncated(pixels / (kQPixelsPerStep * mapping_.xScale)) + start_.q);
}

GraphEditResult GraphBandEditor::markerDragStep(int band, const GraphPointer& pointer) {
    GraphEditResult result = handledResult();
    const int type = doc_.bandType(output_, band);
    const BandValues now = currentValues(band);
    const auto px = static_cast<float>(pointer.x);
    const auto py = static_cast<float>(pointer.y);

    int frequency = truncated((px - mapping_.plotLeft) / mapping_.xScale) + kFirstFrequencyIndex;
    int gain = truncated(static_cast<float>(kZeroDbRow) - (py - mapping_.plotTop) / mapping_.yScale);
    // Each key holds its own value: Shift the frequency, Ctrl the gain (both: nothing moves).
    if (pointer.shift) frequency = now.frequency;
    if (pointer.ctrl) gain = now.gain;
    if (hover_ == hover::kFrequencyZone + hover::kDragging) {
        frequency = truncated(static_cast<float>(pointer.x - anchorX_) / mapping_.xScale) + start_.frequency;
        gain = now.gain;
    } else if (hover_ == hover::kGainZone + hover::kDragging) {
        frequency = now.frequency;
        gain = start_.gain - truncated(static_cast<float>(pointer.y - anchorY_) / mapping_.yScale);
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
    if (hover_ <= hover::kNone) return GraphCursor::Default;
    if (hover_ > hover::kDragging) {
        const bool bandDrag = hover_ <= hover::kDragging + hover::kLastBand;
        if ((bandDrag && modifier_ == DragModifier::Shift) || hover_ == hover::kGainZone + hover::kDragging)
            return GraphCursor::SizeVertical;
        if ((bandDrag && modifier_ == DragModifier::Ctrl) ||
            hover_ == hover::kFrequencyZone + hover::kDragging || hover_ == hover::kQDrag)
            return GraphCursor::SizeHorizontal;
        return GraphCursor::SizeAll;
    }
    const bool overBand = hover_ <= hover::kLastBand;
    if ((overBand && modifier_ == DragModifier::Shift) || hover_ == hover::kGainZone)
        return GraphCursor::BandGainOnly;
    if ((overBand && modifier_ == DragModifier::Ctrl) || hover_ == hover::kFrequencyZone)
        return GraphCursor::BandFreqOnly;
    if (overBand) return GraphCursor::BandPick;
    return GraphCursor::Default;
}

}  // namespace kv
