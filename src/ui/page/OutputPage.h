#pragma once
// The editor of one output of the current preset. The page holds the response graph with
// its band markers and assembles its parts around it: the band rows, the crossover and
// delay group (with the limiter), the output strip with both outputs' gain, mute,
// polarity and level meter, and the status panel with the amplifier's temperature. Every
// change goes straight into the document (which sends it to the unit while online); the
// page then redraws what the change affects.

#include <QWidget>
#include <memory>

#include "document/DocumentListener.h"
#include "document/KorvaliserDoc.h"
#include "editing/CrossoverRules.h"
#include "editing/GraphBandEditor.h"
#include "editing/SelectedElement.h"
#include "ui/editor/EditorContext.h"
#include "ui/graph/PageCursors.h"

class QMenu;

namespace kv {

class BandRows;
class CResponseGraph;
class CrossoverDelayGroup;
class OutputStrip;
class ResponseViewToggles;
class StatusPanel;
class TuningOverlay;
struct GraphImages;

class COutputPage : public QWidget, public DocumentListener {
    Q_OBJECT
public:
    // images are the sheet's, shared by both pages' graphs and meters; output is 0 or 1.
    COutputPage(EditorContext& context, std::shared_ptr<GraphImages> images, int output,
                QWidget* parent = nullptr);
    ~COutputPage() override;

    int output() const { return output_; }
    QString title() const;  // "  Output 1  "

    // The sheet calls these when the page becomes, or stops being, the current page.
    void activate();
    void deactivate();
    bool isPolling() const;
    int pollInterval() const;

    void refreshAllControls();
    void redrawGraph();

    const OutputPageState& pageState() const { return state_; }
    const GraphBandEditor& graphEditor() const { return editor_; }
    int meterValue(int output) const;
    int unitTemperature() const;

    // The graph's context menu as it would open now (tests look at it; the right button
    // on empty graph area opens it).
    std::unique_ptr<QMenu> makeContextMenu();
    void copyChannel();
    void pasteChannel();

    // A change made elsewhere (undo, redo, a dialog) is shown once control returns to the
    // event loop; the page's own edits show themselves at once.
    void documentChanged(const DocumentChange& change) override;

signals:
    // After each redraw of the graph (the benchmark waits for it).
    void graphRedrawn();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void buildGraph();
    void connectParts();
    void keepTabOrder();
    void markSlotsForActivation();

    void select(SelectedElement element);
    void selectBand(int band);
    void openBandDialog(int band);
    void openCrossoverDialog(CrossoverSide side);

    void handleGraphMouse(QEvent* event);
    void applyGraphResult(const GraphEditResult& result, const QPoint& globalPos);
    void ensureGraphGeometry();
    void showPendingChanges();

    EditorContext& context_;
    CKorvaliserDoc& doc_;
    std::shared_ptr<GraphImages> images_;
    const int output_;
    OutputPageState state_;
    GraphBandEditor editor_;
    PageCursors cursors_;

    CResponseGraph* graph_ = nullptr;
    CrossoverDelayGroup* crossover_ = nullptr;
    BandRows* rows_ = nullptr;
    OutputStrip* strip_ = nullptr;
    StatusPanel* status_ = nullptr;
    ResponseViewToggles* views_ = nullptr;  // DSP response and phase view of the graph
    std::shared_ptr<TuningOverlay> tuning_;
    bool changesPending_ = false;
};

}  // namespace kv
