#pragma once
// Picking and dragging PEQ band markers on an output page's response graph, without any
// window system: the page converts its mouse events to GraphPointer values, hands them
// here, and carries out what the returned GraphEditResult asks for (refresh the rows,
// scroll, redraw, change the cursor, open the context menu). Values reach the bank only
// through the document's setters, always limited to the range of the band's type.

#include <array>
#include <cstdint>
#include <optional>

#include "editing/SelectedElement.h"
#include "response/GraphGeometry.h"

namespace kv {

class CKorvaliserDoc;

inline constexpr int kVisibleRows = 5;      // PEQ rows on the page
inline constexpr int kShownFlagCount = 10;  // one "shown on graph" flag per band

// Where the pointer is and what it is doing: over a band's marker (GraphBandEditor::hoverBand
// says which) or one of the two margin zones, and whether a button drags from there.
enum class GraphHover : std::uint8_t {
    None,
    Band,
    GainZone,       // left of the plot: a drag changes gain only
    FrequencyZone,  // below the plot: a drag changes frequency only
    BandDrag,       // the left button drags the selected band from its marker
    GainZoneDrag,
    FrequencyZoneDrag,
    QDrag,  // the right button drags the selected band's Q in the frequency zone
};

enum class DragModifier : int { None = 0, Shift = 1, Ctrl = 2 };

// What the pointer shape should say a press would do.
enum class GraphCursor {
    Default,         // nothing to pick
    BandGainOnly,    // over a marker with Shift, or the gain zone
    BandFreqOnly,    // over a marker with Ctrl, or the frequency zone
    BandPick,        // over a marker
    SizeVertical,    // dragging gain only
    SizeHorizontal,  // dragging frequency only, or Q
    SizeAll,         // dragging frequency and gain
};

// The part of an output page's state that the graph and its mouse handling share.
struct OutputPageState {
    SelectedElement selectedElement = SelectedElement::None;
    int firstVisibleBand = 0;
    int scrollMaximum = 0;  // activeBandCount - 5, at least 0
    std::array<bool, kShownFlagCount> bandShown{true, true, true, true, true, true, true, true, true, true};

    std::optional<int> selectedBand() const { return bandOfElement(selectedElement); }
    bool bandIsInRows(int band) const {
        return band >= firstVisibleBand && band < firstVisibleBand + kVisibleRows;
    }
    // Row (0..4) showing the band, or nothing while it is scrolled out of the rows.
    std::optional<int> rowOfBand(int band) const {
        if (!bandIsInRows(band)) return std::nullopt;
        return band - firstVisibleBand;
    }
};

// One mouse event, in graph frame client coordinates.
struct GraphPointer {
    int x = 0;
    int y = 0;
    bool insideFrame = true;
    bool shift = false;
    bool ctrl = false;
    bool leftHeld = false;
    bool rightHeld = false;
};

// What the page must do after an event. handled = false asks for the default handling.
struct GraphEditResult {
    bool handled = false;
    bool scrolled = false;     // first visible band changed: set the scroll bar, refresh all
    bool refreshRows = false;  // the selection moved: relight the rows
    bool redrawGraph = false;
    bool focusGraph = false;  // a drag starts: take the focus (commits any edit)
    bool updateCursor = false;
    bool openContextMenu = false;  // right-click on empty graph area
    int changedBand = -1;          // band written to the document (its curve is stale)
    bool frequencyChanged = false;
    bool gainChanged = false;
    bool qChanged = false;
};

// A band's marker on the graph, placed from its frequency and gain codes: the rectangle
// the painter draws and the hit test picks.
RectF BandMarkerRect(const GraphGeometry& geometry, const CKorvaliserDoc& doc, int output, int band);

// The lowest band in use, shown on the graph, whose marker contains the pixel.
std::optional<int> MarkerUnder(const GraphGeometry& geometry, const CKorvaliserDoc& doc, int output,
                               const OutputPageState& page, float px, float py);

class GraphBandEditor {
public:
    // The geometry is the graph's, filled once its frame is known; it must outlive the editor.
    GraphBandEditor(CKorvaliserDoc& document, int output, OutputPageState& page,
                    const GraphGeometry& geometry);
    ~GraphBandEditor();
    GraphBandEditor(const GraphBandEditor&) = delete;
    GraphBandEditor& operator=(const GraphBandEditor&) = delete;

    GraphEditResult mouseMove(const GraphPointer& pointer);
    GraphEditResult leftButtonDown(const GraphPointer& pointer);
    GraphEditResult leftButtonUp();
    GraphEditResult rightButtonDown(const GraphPointer& pointer);
    GraphEditResult rightButtonUp();
    // angleDelta in eighths of a degree as the wheel reports it (120 per notch; positive
    // away from the user). Partial notches of fine-grained wheels add up.
    GraphEditResult wheel(int angleDelta);

    // The lowest band in use, shown on the graph, whose marker contains the point.
    std::optional<int> hitTest(int px, int py) const;
    GraphCursor cursor() const;

    GraphHover hover() const { return hover_; }
    // The band under the pointer while hover() is Band or BandDrag.
    int hoverBand() const { return hoverBand_; }
    DragModifier modifier() const { return modifier_; }
    bool isDragging() const;
    // Forget any drag, e.g. when the page is deactivated.
    void reset();

private:
    struct BandValues {
        int frequency = 0;
        int gain = 0;
        int q = 0;
    };

    BandValues currentValues(int band) const;
    void startDrag(const GraphPointer& pointer);
    bool scrollToShow(int band);
    GraphEditResult dragStep(const GraphPointer& pointer);
    GraphEditResult qDragStep(int band, int px);
    GraphEditResult markerDragStep(int band, const GraphPointer& pointer);
    GraphEditResult applyQ(int band, int wanted);
    // A drag's changes form one undo step, open from the press until the drag ends.
    void openStep();
    void closeFinishedStep();

    CKorvaliserDoc& doc_;
    int output_;
    OutputPageState& page_;
    const GraphGeometry& geometry_;
    GraphHover hover_ = GraphHover::None;
    int hoverBand_ = 0;
    DragModifier modifier_ = DragModifier::None;
    int anchorX_ = 0;
    int anchorY_ = 0;
    BandValues start_{};
    int wheelRemainder_ = 0;
    bool stepOpen_ = false;
};

}  // namespace kv
