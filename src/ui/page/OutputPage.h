#pragma once
// The editor of one output of the current preset: crossover filters, delay, five PEQ
// rows scrolling over the bands, the limiter, the response graph with its band markers,
// and a right-hand strip with both outputs' gain, mute, polarity and level meter and the
// amplifier's temperature. Every change goes straight into the document (which sends it
// to the unit while online); the page then redraws what the change affects.

#include <QBasicTimer>
#include <QWidget>
#include <array>
#include <memory>

#include "document/DocumentListener.h"
#include "document/KorvaliserDoc.h"
#include "editing/GraphBandEditor.h"
#include "link/StatusPoller.h"
#include "ui/editor/EditorContext.h"
#include "ui/graph/PageCursors.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QScrollBar;
class QSlider;
class QToolButton;

namespace kv {

class CImageSlider;
class CLevelMeters;
class CResponseGraph;
class PageButton;
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
    bool isPolling() const { return statusTimer_.isActive(); }
    int pollInterval() const { return pollInterval_; }

    void refreshAllControls();
    void refreshRows();
    void redrawGraph();

    const OutputPageState& pageState() const { return state_; }
    const GraphBandEditor& graphEditor() const { return editor_; }
    int meterValue(int output) const { return meters_.at(static_cast<std::size_t>(output)); }
    int unitTemperature() const { return poller_.unitTemperature(); }

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
    void timerEvent(QTimerEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    struct Row {
        QToolButton* shown = nullptr;
        QLabel* number = nullptr;
        PageButton* frequency = nullptr;
        PageButton* q = nullptr;
        PageButton* gain = nullptr;
        PageButton* type = nullptr;
        QCheckBox* flat = nullptr;
    };
    struct OutputStrip {
        QLabel* caption = nullptr;
        QLineEdit* gainEdit = nullptr;
        CImageSlider* slider = nullptr;
        QWidget* meter = nullptr;
        PageButton* mute = nullptr;
        PageButton* polarity = nullptr;
        bool gainTextChanged = false;
    };

    void buildControls();
    void buildCrossoverAndDelay();
    void buildRows();
    void buildLimiter();
    void buildStrip(int output);
    void buildTemperature();
    QLabel* makeLabel(const QString& text, const QString& name, const QRect& where);
    void initialise();
    void connectControls();

    void refreshRowsTexts();
    void refreshTemperature();
    void markSlotsForActivation();

    void selectRow(int row);
    void openBandDialog(int row);
    void openCrossoverDialog(int filter);
    void flatClicked(int row);
    void shownClicked(int row);
    void toggleMute(int output);
    void toggleInvert(int output);
    void commitGainText(int output);
    void commitDelayText();
    void delayTrackbarAction(int action);
    void gainFromSlider(int output);
    void rowsScrolled(int value);
    void limiterLevelChosen(int index);

    void handleGraphMouse(QEvent* event);
    void applyGraphResult(const GraphEditResult& result, const QPoint& globalPos);
    void updateRowTextsFor(const GraphEditResult& result);
    void syncPlotMapping();
    void statusTick();
    void showPendingChanges();

    EditorContext& context_;
    CKorvaliserDoc& doc_;
    std::shared_ptr<GraphImages> images_;
    const int output_;
    OutputPageState state_;
    GraphBandEditor editor_;
    PageCursors cursors_;

    QLineEdit* delayEdit_ = nullptr;
    QSlider* delayTrackbar_ = nullptr;
    bool delayTextChanged_ = false;
    PageButton* highPassButton_ = nullptr;
    PageButton* lowPassButton_ = nullptr;
    std::array<Row, kVisibleRows> rows_{};
    QScrollBar* rowScroll_ = nullptr;
    QLabel* qHeader_ = nullptr;
    QComboBox* levelList_ = nullptr;
    QComboBox* attackList_ = nullptr;
    QComboBox* releaseList_ = nullptr;
    CResponseGraph* graph_ = nullptr;
    std::array<OutputStrip, 2> strips_{};
    std::unique_ptr<CLevelMeters> meterBars_;
    QLabel* temperatureText_ = nullptr;
    QLabel* temperatureStatus_ = nullptr;

    // Meters show no signal (fully darkened) until the first reading arrives.
    std::array<int, 2> meters_{60, 60};
    std::array<int, 2> lastPolled_{};
    StatusPoller poller_;
    QBasicTimer statusTimer_;
    int pollInterval_ = kFirstTickMs;
    bool changesPending_ = false;
    UndoStepLatch sliderStep_;
};

}  // namespace kv
