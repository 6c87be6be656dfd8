#include "editing/GraphBandEditor.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "RecordingSender.h"
#include "document/KorvaliserDoc.h"
#include "document/UnitSender.h"

namespace kv {
namespace {

using test::RecordingSender;
using test::SentMessage;

// The plot 36 pixels from the left and 6 from the top of the frame, at the given scales.
GraphGeometry plotAt(float xScale, float yScale) {
    GraphGeometry g;
    g.xScale = xScale;
    g.yScale = yScale;
    return g;
}

class GraphBandEditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        doc.setSender(&sender);
        page.scrollMaximum = doc.activeBandCount() - kVisibleRows;
    }

    // One pixel per frequency step and per tenth of a dB; tests that need other scales
    // switch to the wide plot (two pixels per step, half a pixel per tenth).
    void useWidePlot() { geometry = plotAt(2.0F, 0.5F); }
    // Pixel of a band's marker centre.
    GraphPointer at(int band) const {
        const RectF r = BandMarkerRect(geometry, doc, output, band);
        return {static_cast<int>(r.x + 5.0F), static_cast<int>(r.y + 5.0F)};
    }
    static GraphPointer held(GraphPointer p, bool shift = false, bool ctrl = false) {
        p.leftHeld = true;
        p.shift = shift;
        p.ctrl = ctrl;
        return p;
    }
    // Hover over a band's marker and press the left button on it.
    void grab(int band) {
        editor.mouseMove(at(band));
        ASSERT_EQ(editor.hover(), GraphHover::Band);
        ASSERT_EQ(editor.hoverBand(), band);
        editor.leftButtonDown(at(band));
        sender.sent.clear();
    }
    void spreadBands() {
        for (int b = 0; b < doc.activeBandCount(); ++b)
            doc.setBandFrequencyAndGain(output, b, 60 + 40 * b, 0);
        sender.sent.clear();
    }

    int output = 1;
    CKorvaliserDoc doc;
    RecordingSender sender{/*isOnlineNow=*/true};
    OutputPageState page;
    GraphGeometry geometry = plotAt(1.0F, 1.0F);
    GraphBandEditor editor{doc, output, page, geometry};
};

TEST_F(GraphBandEditorTest, HitTestPicksTheLowestShownBandInUse) {
    // Every band at frequency 81 and +8.1 dB: all markers at (100, 100, 10, 10).
    for (int b = 0; b < kShownFlagCount; ++b) doc.setBandFrequencyAndGain(output, b, 81, 81);
    struct Case {
        const char* what;
        std::vector<int> hidden;
        int px, py;
        std::optional<int> expected;
    };
    const std::vector<Case> cases = {
        {"all overlap: band 1 wins", {}, 105, 105, 0},
        {"left and top edges are inside", {}, 100, 100, 0},
        {"right edge is outside", {}, 110, 105, std::nullopt},
        {"bottom edge is outside", {}, 105, 110, std::nullopt},
        {"hidden band 1 lets band 2 win", {0}, 105, 105, 1},
        {"bands 1..7 hidden: band 8", {0, 1, 2, 3, 4, 5, 6}, 105, 105, 7},
        {"every band in use hidden: slots 9 and 10 are not in use",
         {0, 1, 2, 3, 4, 5, 6, 7},
         105,
         105,
         std::nullopt},
    };
    for (const Case& c : cases) {
        page.bandShown.fill(true);
        for (int b : c.hidden) page.bandShown[static_cast<std::size_t>(b)] = false;
        EXPECT_EQ(editor.hitTest(c.px, c.py), c.expected) << c.what;
    }
}

TEST_F(GraphBandEditorTest, MouseMoveSetsHoverStateAndModifier) {
    spreadBands();
    const int bottom = 6 + 360 + 1;  // first pixel row below the plot with yScale 1
    struct Case {
        const char* what;
        SelectedElement selected;
        GraphPointer pointer;
        GraphHover hover;
        DragModifier modifier;
    };
    const auto band3 = GraphHover::Band;  // band 3 is band index 2
    const auto none = GraphHover::None;
    const std::vector<Case> cases = {
        {"over band 3's marker", SelectedElement::None, at(2), band3, DragModifier::None},
        {"marker with Shift", SelectedElement::None,
         [&] {
             auto p = at(2);
             p.shift = true;
             return p;
         }(),
         band3, DragModifier::Shift},
        {"marker with Ctrl and Shift: Ctrl wins", SelectedElement::None,
         [&] {
             auto p = at(2);
             p.shift = p.ctrl = true;
             return p;
         }(),
         band3, DragModifier::Ctrl},
        {"empty area", SelectedElement::None, {300, 50}, none, DragModifier::None},
        {"left margin, nothing selected", SelectedElement::None, {10, 100}, none, DragModifier::None},
        {"left margin, band selected", bandElement(1), {10, 100}, GraphHover::GainZone, DragModifier::None},
        {"two pixels left of the plot is not the zone", bandElement(1), {34, 100}, none, DragModifier::None},
        {"below the plot, band selected",
         bandElement(0),
         {200, bottom},
         GraphHover::FrequencyZone,
         DragModifier::None},
        {"below the plot, crossover selected",
         SelectedElement::LowPass,
         {200, bottom},
         none,
         DragModifier::None},
        {"on the plot's bottom row", bandElement(0), {200, 366}, none, DragModifier::None},
        {"outside the frame", bandElement(0), {200, bottom, false}, none, DragModifier::None},
    };
    for (const Case& c : cases) {
        page.selectedElement = c.selected;
        editor.mouseMove(c.pointer);
        EXPECT_EQ(editor.hover(), c.hover) << c.what;
        if (c.hover == GraphHover::Band) {
            EXPECT_EQ(editor.hoverBand(), 2) << c.what;
        }
        if (c.pointer.insideFrame) {
            EXPECT_EQ(editor.modifier(), c.modifier) << c.what;
        }
    }
}

TEST_F(GraphBandEditorTest, HiddenBandCannotBePicked) {
    spreadBands();
    page.bandShown[4] = false;
    editor.mouseMove(at(4));
    EXPECT_EQ(editor.hover(), GraphHover::None);
    EXPECT_FALSE(editor.leftButtonDown(at(4)).handled);
    EXPECT_EQ(page.selectedElement, SelectedElement::None);
}

TEST_F(GraphBandEditorTest, PressSelectsTheBandAndScrollsItIntoTheRows) {
    spreadBands();
    struct Case {
        int firstVisible;
        int band;
        int expectedFirst;
        bool scrolled;
    };
    const std::vector<Case> cases = {
        {0, 7, 3, true},   // band 8 becomes the bottom row
        {0, 5, 1, true},   // band 6 becomes the bottom row
        {0, 4, 0, false},  // already the bottom row
        {3, 0, 0, true},   // band 1 becomes the top row
        {3, 2, 2, true},  {2, 2, 2, false},
    };
    for (const Case& c : cases) {
        page.firstVisibleBand = c.firstVisible;
        editor.mouseMove(at(c.band));
        const GraphEditResult r = editor.leftButtonDown(at(c.band));
        EXPECT_TRUE(r.handled);
        EXPECT_EQ(page.selectedElement, bandElement(c.band));
        EXPECT_EQ(editor.hover(), GraphHover::BandDrag);
        EXPECT_EQ(page.firstVisibleBand, c.expectedFirst) << "band " << c.band;
        EXPECT_EQ(r.scrolled, c.scrolled) << "band " << c.band;
        EXPECT_TRUE(r.refreshRows && r.redrawGraph && r.focusGraph);
        editor.leftButtonUp();
        EXPECT_EQ(editor.hover(), GraphHover::Band);
        EXPECT_EQ(editor.hoverBand(), c.band);
    }
    EXPECT_TRUE(sender.sent.empty()) << "picking a band writes nothing";
}

TEST_F(GraphBandEditorTest, DragArithmeticFollowsThePointerWithinTheTypeRanges) {
    // Band 2 of output 2 as PEQ, shelf and high-pass; wide plot xScale 2, yScale 0.5.
    useWidePlot();
    spreadBands();  // keeps the other markers away from band 2's
    struct Case {
        const char* what;
        int type;
        int px, py;
        bool shift, ctrl;
        int frequency, gain;  // expected afterwards (start: 252, 0)
    };
    const std::vector<Case> cases = {
        {"plain drag", 0, 36 + 2 * 100 + 1, 6 + 60, false, false, 112, 60},
        {"odd pixel truncates towards the plot", 0, 36 + 2 * 100 + 1, 6 + 61, false, false, 112, 58},
        {"Shift keeps the frequency", 0, 36 + 2 * 100, 6 + 60, true, false, 252, 60},
        {"Ctrl keeps the gain", 0, 36 + 2 * 100, 6 + 60, false, true, 112, 0},
        {"above the plot: PEQ gain tops at +15 dB", 0, 36 + 2 * 100, 0, false, false, 112, 150},
        {"far below: PEQ gain floors at -30 dB", 0, 36 + 2 * 100, 6 + 400, false, false, 112, -300},
        {"left of the plot: PEQ frequency floors at 48", 0, 30, 96, false, false, 48, 0},
        {"far right: PEQ frequency tops at 432", 0, 2000, 96, false, false, 432, 0},
        {"shelf gain limited to +15 dB", 1, 36 + 2 * 100, 0, false, false, 112, 150},
        {"shelf gain limited to -15 dB", 1, 36 + 2 * 100, 6 + 400, false, false, 112, -150},
        {"low shelf frequency tops at 396", 1, 2000, 96, false, false, 396, 0},
        {"high-pass type has no gain", 3, 36 + 2 * 10, 0, false, false, 22, 0},
    };
    for (const Case& c : cases) {
        doc.setBandType(output, 1, c.type);
        doc.setBandFrequencyAndGain(output, 1, 252, 0);
        page.selectedElement = SelectedElement::None;
        grab(1);
        if (HasFatalFailure()) return;
        const GraphEditResult r = editor.mouseMove(held({c.px, c.py}, c.shift, c.ctrl));
        EXPECT_EQ(doc.bandFrequency(output, 1), c.frequency) << c.what;
        EXPECT_EQ(doc.bandGain(output, 1), c.gain) << c.what;
        EXPECT_EQ(r.frequencyChanged, c.frequency != 252) << c.what;
        EXPECT_EQ(r.gainChanged, c.gain != 0) << c.what;
        ASSERT_EQ(sender.sent.size(), 1U) << c.what;
        EXPECT_EQ(sender.sent[0], (SentMessage{MsgPeqBand, output + 1, 2})) << c.what;
        EXPECT_EQ(r.changedBand, 1);
        EXPECT_TRUE(r.redrawGraph);
        editor.leftButtonUp();
    }
}

TEST_F(GraphBandEditorTest, MovementThatChangesNothingWritesNothing) {
    spreadBands();
    grab(3);
    const auto before = std::make_tuple(doc.bandFrequency(output, 3), doc.bandGain(output, 3));
    GraphEditResult r = editor.mouseMove(held(at(3)));
    EXPECT_TRUE(sender.sent.empty());
    EXPECT_FALSE(r.redrawGraph);
    EXPECT_EQ(r.changedBand, -1);
    // A purely vertical move with Ctrl held keeps both values: nothing to write.
    GraphPointer p = at(3);
    p.y += 30;
    r = editor.mouseMove(held(p, false, true));
    EXPECT_TRUE(sender.sent.empty());
    EXPECT_EQ(std::make_tuple(doc.bandFrequency(output, 3), doc.bandGain(output, 3)), before);
    // Shift and Ctrl together hold the frequency and the gain: a diagonal move writes nothing.
    p.x += 40;
    r = editor.mouseMove(held(p, true, true));
    EXPECT_TRUE(sender.sent.empty());
    EXPECT_EQ(r.changedBand, -1);
    EXPECT_EQ(std::make_tuple(doc.bandFrequency(output, 3), doc.bandGain(output, 3)), before);
}

TEST_F(GraphBandEditorTest, DragEndsWhenNoButtonIsHeldOrThePointerLeaves) {
    spreadBands();
    grab(2);
    ASSERT_TRUE(editor.isDragging());
    editor.mouseMove({300, 50});  // no button held: recomputes the hover state
    EXPECT_EQ(editor.hover(), GraphHover::None);
    EXPECT_FALSE(editor.isDragging());

    grab(2);
    GraphPointer outside = held({300, 50});
    outside.insideFrame = false;
    editor.mouseMove(outside);
    EXPECT_EQ(editor.hover(), GraphHover::None);
    EXPECT_TRUE(sender.sent.empty());
}

TEST_F(GraphBandEditorTest, MarginZoneDragsMoveOneValueFromTheAnchor) {
    useWidePlot();
    doc.setBandFrequencyAndGain(output, 0, 200, 30);
    page.selectedElement = bandElement(0);

    // Gain zone: gain = start gain - trunc(dy / yScale); frequency stays.
    editor.mouseMove({10, 100});
    ASSERT_EQ(editor.hover(), GraphHover::GainZone);
    editor.leftButtonDown({10, 100});
    EXPECT_EQ(editor.hover(), GraphHover::GainZoneDrag);
    EXPECT_EQ(editor.cursor(), GraphCursor::SizeVertical);
    editor.mouseMove(held({500, 90}));
    EXPECT_EQ(doc.bandGain(output, 0), 50);
    EXPECT_EQ(doc.bandFrequency(output, 0), 200);
    editor.mouseMove(held({10, 100 + 1000}));
    EXPECT_EQ(doc.bandGain(output, 0), -300);
    editor.leftButtonUp();
    EXPECT_EQ(editor.hover(), GraphHover::GainZone);

    // Frequency zone: frequency = start + trunc(dx / xScale); gain stays.
    const int below = 6 + 180 + 2;  // plot bottom is 6 + 360 * 0.5
    editor.mouseMove({100, below});
    ASSERT_EQ(editor.hover(), GraphHover::FrequencyZone);
    editor.leftButtonDown({100, below});
    EXPECT_EQ(editor.cursor(), GraphCursor::SizeHorizontal);
    editor.mouseMove(held({121, 0}));
    EXPECT_EQ(doc.bandFrequency(output, 0), 210);
    EXPECT_EQ(doc.bandGain(output, 0), -300);
    editor.mouseMove(held({100 - 1000, below}));
    EXPECT_EQ(doc.bandFrequency(output, 0), 48);
}

TEST_F(GraphBandEditorTest, RightButtonInFrequencyZoneDragsQ) {
    useWidePlot();  // one Q step per 4 * 2 pixels
    page.selectedElement = bandElement(5);
    const int below = 6 + 180 + 2;
    struct Case {
        const char* what;
        int type, startQ, dx, expectedQ;
    };
    const std::vector<Case> cases = {
        {"right by 8 pixels", 0, 65, 8, 66},
        {"right by 15 pixels truncates", 0, 65, 15, 66},
        {"left by 16 pixels", 0, 65, -16, 63},
        {"PEQ Q tops at 100", 0, 65, 800, 100},
        {"PEQ Q floors at 0", 0, 65, -800, 0},
        {"shelf Q floors at 84", 1, 90, -800, 84},
        {"elliptic Q is fixed at 72", 11, 72, 80, 72},
        {"stored Q above the type's range is left alone", 3, 65, -80, 65},
    };
    for (const Case& c : cases) {
        doc.setBandType(output, 5, c.type);
        doc.setBandQ(output, 5, c.startQ);
        sender.sent.clear();
        editor.mouseMove({100, below});
        ASSERT_EQ(editor.hover(), GraphHover::FrequencyZone) << c.what;
        editor.rightButtonDown({100, below});
        ASSERT_EQ(editor.hover(), GraphHover::QDrag) << c.what;
        EXPECT_EQ(editor.cursor(), GraphCursor::SizeHorizontal);
        EXPECT_FALSE(editor.leftButtonUp().handled) << "the left button does not end a Q drag";
        GraphPointer p{100 + c.dx, 0};
        p.rightHeld = true;
        const GraphEditResult r = editor.mouseMove(p);
        EXPECT_EQ(doc.bandQ(output, 5), c.expectedQ) << c.what;
        EXPECT_EQ(r.qChanged, c.expectedQ != c.startQ) << c.what;
        EXPECT_EQ(sender.sent.size(), c.expectedQ != c.startQ ? 1U : 0U) << c.what;
        EXPECT_EQ(doc.bandFrequency(output, 5), 252) << "a Q drag keeps the frequency";
        editor.rightButtonUp();
        EXPECT_EQ(editor.hover(), GraphHover::FrequencyZone);
    }
}

TEST_F(GraphBandEditorTest, WheelChangesQOnlyWhileDragging) {
    spreadBands();
    editor.mouseMove(at(2));
    EXPECT_FALSE(editor.wheel(-120).handled);
    EXPECT_EQ(doc.bandQ(output, 2), 65) << "hovering is not dragging";

    grab(2);
    struct Step {
        int delta;
        int expectedQ;
    };
    const std::vector<Step> steps = {
        {-120, 66},  // towards the user: Q index up
        {120, 65},   // away: down
        {-360, 68},  // three notches at once
        {-60, 68},   // half a notch waits...
        {-60, 69},   // ...for the other half
        {12000, 0},  // limited to the PEQ range
    };
    for (const Step& s : steps) {
        editor.wheel(s.delta);
        EXPECT_EQ(doc.bandQ(output, 2), s.expectedQ) << "delta " << s.delta;
    }
    editor.leftButtonUp();
    editor.wheel(-120);
    EXPECT_EQ(doc.bandQ(output, 2), 0) << "after the release the wheel does nothing";
}

TEST_F(GraphBandEditorTest, CursorFollowsHoverStateAndModifier) {
    spreadBands();
    struct Case {
        const char* what;
        bool shift, ctrl, press;
        GraphCursor expected;
    };
    const std::vector<Case> cases = {
        {"over a marker", false, false, false, GraphCursor::BandPick},
        {"over a marker with Shift", true, false, false, GraphCursor::BandGainOnly},
        {"over a marker with Ctrl", false, true, false, GraphCursor::BandFreqOnly},
        {"dragging", false, false, true, GraphCursor::SizeAll},
        {"dragging with Shift", true, false, true, GraphCursor::SizeVertical},
        {"dragging with Ctrl", false, true, true, GraphCursor::SizeHorizontal},
    };
    for (const Case& c : cases) {
        GraphPointer p = at(1);
        p.shift = c.shift;
        p.ctrl = c.ctrl;
        editor.mouseMove(p);
        if (c.press) {
            // Pressed with no key; the key held while moving decides the cursor.
            GraphPointer pressed = p;
            pressed.shift = false;
            pressed.ctrl = false;
            editor.mouseMove(pressed);
            editor.leftButtonDown(pressed);
            p.leftHeld = true;
            EXPECT_TRUE(editor.mouseMove(p).updateCursor) << c.what;
        }
        EXPECT_EQ(editor.cursor(), c.expected) << c.what;
        editor.leftButtonUp();
    }
    editor.mouseMove({300, 50});
    EXPECT_EQ(editor.cursor(), GraphCursor::Default);
    page.selectedElement = bandElement(0);
    editor.mouseMove({10, 50});
    EXPECT_EQ(editor.cursor(), GraphCursor::BandGainOnly);
    editor.mouseMove({100, 380});
    EXPECT_EQ(editor.cursor(), GraphCursor::BandFreqOnly);
}

TEST_F(GraphBandEditorTest, RightClickOnEmptyAreaAsksForTheContextMenu) {
    spreadBands();
    editor.mouseMove({300, 50});
    EXPECT_TRUE(editor.rightButtonDown({300, 50}).openContextMenu);
    editor.mouseMove(at(0));
    const GraphEditResult onMarker = editor.rightButtonDown(at(0));
    EXPECT_FALSE(onMarker.handled);
    EXPECT_FALSE(onMarker.openContextMenu);
    EXPECT_FALSE(editor.rightButtonUp().handled);
}

TEST_F(GraphBandEditorTest, DraggedBandFollowsItsMarkerAcrossSteps) {
    // Each step lands the marker under the pointer, so a second identical step writes nothing.
    spreadBands();
    grab(0);
    for (int step = 1; step <= 5; ++step) {
        GraphPointer p = at(0);
        p.x += 7;
        p.y -= 4;
        sender.sent.clear();
        editor.mouseMove(held(p));
        EXPECT_EQ(sender.sent.size(), 1U) << "step " << step;
        EXPECT_EQ(doc.bandFrequency(output, 0), 60 + 7 * step);
        EXPECT_EQ(doc.bandGain(output, 0), 4 * step);
    }
}

}  // namespace
}  // namespace kv
