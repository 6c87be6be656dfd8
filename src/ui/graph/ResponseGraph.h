#pragma once
// The response graph of an output page: grid and labels, the other outputs' crossover
// curves, the shaded curve of the selected element, the red total of this output and a
// marker per PEQ band. Each redraw recomputes only the Stale curve slots, composes the
// whole graph in an off-screen image and the widget shows it with one copy.
//
// Use on a page:
//   auto* graph = new CResponseGraph(doc, curves, output, page, sheetImages);
//   graph->usePageState(pageState);  // selection, shown flags, marker rectangles
//   graph->markOutputStale();        // on activation
//   doc.setBandGain(...); graph->redraw();  // the table marked the band's slot stale
// The graph takes its size from the first redraw (or the shared images) and keeps it.
// It does not handle the mouse: events pass on to the parent, which hit-tests the
// marker rectangles the graph writes (see GraphBandEditor).

#include <QImage>
#include <QWidget>
#include <memory>

#include "editing/GraphBandEditor.h"
#include "ui/graph/GraphImages.h"

namespace kv {

class CKorvaliserDoc;
class ResponseCurveTable;

// Builds the background, the label strip and the graph fields of the geometry for a
// frame of width x height pixels. Does nothing when they exist; returns false (and builds
// nothing) for a frame too small to hold a plot.
bool BuildGraphBackground(GraphImages& images, int height, int width);

// Recomputes the Stale slots of the page of `output` and paints its whole graph into
// `working` (which it (re)creates at the frame's size): background, label strip, 0 dB
// line, other outputs' crossover curves, the shaded selected element, the total and the
// markers. Writes every band's marker rectangle into page.markers, shown or not.
void DrawResponseGraph(QImage& working, GraphImages& images, ResponseCurveTable& table,
                       const CKorvaliserDoc& doc, int output, OutputPageState& page);

class CResponseGraph : public QWidget {
public:
    CResponseGraph(CKorvaliserDoc& doc, ResponseCurveTable& table, int output, QWidget* parent = nullptr,
                   std::shared_ptr<GraphImages> images = {});

    int output() const { return output_; }

    // The page's own state (selection, shown flags, marker rectangles) instead of the
    // graph's private one; it must outlive the graph's use of it.
    void usePageState(OutputPageState& state) { page_ = &state; }
    const OutputPageState& pageState() const { return *page_; }

    // 0 none, 1 high-pass, 2 low-pass, 3 + b band b.
    void setSelectedElement(int element) { page_->selectedTarget = element; }
    int selectedElement() const { return page_->selectedTarget; }
    void setBandShown(int band, bool shown);
    // Bit b shows band b.
    void setShownBands(std::uint32_t mask);
    std::uint32_t shownBands() const;

    // The page's activation: its own elements and the other outputs' crossover pairs are
    // drawn, the rest not. Afterwards the table follows the document's changes itself.
    void markOutputStale();
    // Recompute what is stale, compose the graph off screen and schedule the one copy.
    void redraw();

    const GraphGeometry& geometry() const { return images_->geometry; }
    const std::shared_ptr<GraphImages>& sharedImages() const { return images_; }
    const MarkerRects& markerRects() const { return page_->markers; }
    // Lowest shown band in use under a point of the widget, or -1.
    int hitTest(QPointF point) const;
    const QImage& workingImage() const { return working_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void compose();

    CKorvaliserDoc& doc_;
    ResponseCurveTable& table_;
    int output_;
    std::shared_ptr<GraphImages> images_;
    OutputPageState ownState_{};
    OutputPageState* page_ = &ownState_;
    QImage working_;
};

}  // namespace kv
