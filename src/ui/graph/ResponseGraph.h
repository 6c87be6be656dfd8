#pragma once
// The response graph of an output page: grid and labels, the other outputs' crossover
// curves, the shaded curve of the selected element, the red total of this output and a
// marker per PEQ band, painted as layers (PageLayers.h). Each redraw recomputes only the
// Stale curve slots, repaints only the frame columns that changed over a cached picture of
// the static layers, and the widget copies just those columns to the screen.
//
// Use on a page:
//   auto* graph = new CResponseGraph(doc, curves, output, page, sheetImages);
//   graph->usePageState(pageState);  // selection and shown flags
//   graph->markOutputStale();        // on activation
//   doc.setBandGain(...); graph->redraw();  // the table marked the band's slot stale
// The graph takes its size from the first redraw (or the shared images) and keeps it.
// It does not handle the mouse: events pass on to the parent, which hit-tests the markers
// where the geometry places them (see GraphBandEditor). Overlays join graph->layers().

#include <QWidget>
#include <memory>

#include "editing/GraphBandEditor.h"
#include "ui/graph/GraphImages.h"
#include "ui/graph/GraphLayerStack.h"

namespace kv {

class CKorvaliserDoc;
class ResponseCurveTable;

// Recomputes the Stale slots of the page of `output` and paints its whole graph into
// `working` in one pass, with the standard layers, nothing cached and every curve in one
// stroke: the picture the graph has always painted, kept as the reference for the cached
// path. Paints nothing before the background exists.
void DrawResponseGraph(QImage& working, GraphImages& images, ResponseCurveTable& table,
                       const CKorvaliserDoc& doc, int output, const OutputPageState& page);

class CResponseGraph : public QWidget {
public:
    CResponseGraph(CKorvaliserDoc& doc, ResponseCurveTable& table, int output, QWidget* parent = nullptr,
                   std::shared_ptr<GraphImages> images = {});

    int output() const { return output_; }

    // The page's own state (selection, shown flags) instead of the graph's private one; it
    // must outlive the graph's use of it.
    void usePageState(OutputPageState& state) { page_ = &state; }
    const OutputPageState& pageState() const { return *page_; }

    // 0 none, 1 high-pass, 2 low-pass, 3 + b band b.
    void setSelectedElement(SelectedElement element) { page_->selectedElement = element; }
    SelectedElement selectedElement() const { return page_->selectedElement; }
    void setBandShown(int band, bool shown);
    // Bit b shows band b.
    void setShownBands(std::uint32_t mask);
    std::uint32_t shownBands() const;

    // The page's activation: its own elements and the other outputs' crossover pairs are
    // drawn, the rest not. Afterwards the table follows the document's changes itself.
    void markOutputStale();
    // Recompute what is stale, bring the frame up to date and schedule the copy of what
    // changed.
    void redraw();
    // Every redraw paints every layer whole, nothing cached: the benchmark's yardstick.
    void setWholeRedraws(bool whole) { wholeRedraws_ = whole; }

    GraphLayerStack& layers() { return layers_; }
    const GraphGeometry& geometry() const { return images_->geometry; }
    const std::shared_ptr<GraphImages>& sharedImages() const { return images_; }
    // Lowest shown band in use under a point of the widget, or -1.
    int hitTest(QPointF point) const;
    const QImage& workingImage() const { return layers_.frame(); }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect compose();

    CKorvaliserDoc& doc_;
    ResponseCurveTable& table_;
    int output_;
    std::shared_ptr<GraphImages> images_;
    OutputPageState ownState_{};
    OutputPageState* page_ = &ownState_;
    GraphLayerStack layers_;
    bool wholeRedraws_ = false;
};

}  // namespace kv
