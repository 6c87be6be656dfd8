#include "ui/page/OutputPage.h"

#include <QEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>
#include <QWheelEvent>

#include "response/GraphGeometry.h"
#include "response/OutputCurves.h"
#include "ui/dialogs/FilterSlope.h"
#include "ui/dialogs/ParametricControl.h"
#include "ui/exchange/FilterExchange.h"
#include "ui/graph/GraphImages.h"
#include "ui/graph/ResponseGraph.h"
#include "ui/graph/overlay/ResponseViewToggles.h"
#include "ui/graph/tuning/TuningOverlay.h"
#include "ui/page/BandRows.h"
#include "ui/page/CrossoverDelayGroup.h"
#include "ui/page/OutputStrip.h"
#include "ui/page/StatusPanel.h"
#include "ui/tuning/TuningMenu.h"

// The page's icons live in a resource file compiled into this static library.
static void initPageResources() { Q_INIT_RESOURCE(page); }

namespace kv {

namespace {

// The graph frame must keep its size: the shared graph images are built once from the
// first frame drawn.
constexpr QSize kPageSize{960, 572};
constexpr QRect kGraphFrame{8, 8, 674, 390};

}  // namespace

COutputPage::COutputPage(EditorContext& context, std::shared_ptr<GraphImages> images, int output,
                         QWidget* parent)
    : QWidget(parent),
      context_(context),
      doc_(context.document),
      images_(std::move(images)),
      output_(output),
      editor_(context.document, output, state_, images_->geometry) {
    initPageResources();
    setObjectName(QStringLiteral("outputPage%1").arg(output + 1));
    setFixedSize(kPageSize);
    setMouseTracking(true);
    buildGraph();
    crossover_ = new CrossoverDelayGroup(doc_, output_, this);
    rows_ = new BandRows(doc_, context_.display, state_, output_, this);
    strip_ = new OutputStrip(doc_, images_, this);
    status_ = new StatusPanel(context_.link, doc_, this);
    keepTabOrder();
    connectParts();
    doc_.addListener(this);
}

COutputPage::~COutputPage() { doc_.removeListener(this); }

void COutputPage::documentChanged(const DocumentChange& change) {
    if (change.element == ChangedElement::ModifiedFlag || change.element == ChangedElement::Selection) return;
    // The page on show follows; a hidden page rereads everything when it is activated.
    if (changesPending_ || !isVisible()) return;
    changesPending_ = true;
    QTimer::singleShot(0, this, &COutputPage::showPendingChanges);
}

void COutputPage::showPendingChanges() {
    changesPending_ = false;
    if (!isVisible()) return;
    refreshAllControls();
    redrawGraph();
}

QString COutputPage::title() const { return QStringLiteral("  Output %1  ").arg(output_ + 1); }

// ---------------------------------------------------------------- assembly

void COutputPage::buildGraph() {
    graph_ = new CResponseGraph(doc_, context_.curves, output_, this, images_);
    graph_->setObjectName(QStringLiteral("responseGraph"));
    graph_->setGeometry(kGraphFrame);
    graph_->usePageState(state_);
    graph_->setMouseTracking(true);
    graph_->setFocusPolicy(Qt::ClickFocus);
    graph_->installEventFilter(this);
    tuning_ = TuningOverlay::addTo(*graph_, context_.tuning);
    views_ = new ResponseViewToggles(*graph_,
                                     {[this] { redrawGraph(); }, [this] { return makeContextMenu(); }}, this);
}

void COutputPage::keepTabOrder() {
    // The limiter lists belong to the crossover group but sit under the output strip: the
    // tab key reaches them after the rows and before the strip.
    QWidget* previous = rows_->lastTabStop();
    for (QWidget* list : crossover_->limiterLists()) {
        setTabOrder(previous, list);
        previous = list;
    }
}

void COutputPage::connectParts() {
    connect(crossover_, &CrossoverDelayGroup::crossoverDialogRequested, this,
            &COutputPage::openCrossoverDialog);
    connect(crossover_, &CrossoverDelayGroup::limiterChosen, this, &COutputPage::refreshAllControls);
    connect(rows_, &BandRows::bandSelected, this, &COutputPage::selectBand);
    connect(rows_, &BandRows::bandDialogRequested, this, &COutputPage::openBandDialog);
    connect(rows_, &BandRows::graphChanged, this, &COutputPage::redrawGraph);
    connect(rows_, &BandRows::scrolled, this, &COutputPage::refreshAllControls);
    connect(status_, &StatusPanel::metersRead, strip_, &OutputStrip::showMeters);
}

// ---------------------------------------------------------------- activation and refresh

void COutputPage::markSlotsForActivation() {
    MarkSlotsForPage(context_.curves, output_, doc_.activeBandCount(), doc_.outputCount());
}

void COutputPage::activate() {
    markSlotsForActivation();
    refreshAllControls();
    rows_->showQHeading();
    status_->startPolling();
    redrawGraph();
}

void COutputPage::deactivate() {
    status_->stopPolling();
    editor_.reset();
    strip_->endSliderStep();
}

bool COutputPage::isPolling() const { return status_->isPolling(); }

int COutputPage::pollInterval() const { return status_->pollInterval(); }

int COutputPage::meterValue(int output) const { return status_->meterValue(output); }

int COutputPage::unitTemperature() const { return status_->unitTemperature(); }

void COutputPage::refreshAllControls() {
    crossover_->refresh();
    rows_->refresh();
    strip_->refresh();
    status_->refresh();
}

// ---------------------------------------------------------------- graph

void COutputPage::redrawGraph() {
    graph_->redraw();
    emit graphRedrawn();
}

void COutputPage::ensureGraphGeometry() {
    const GraphGeometry& g = images_->geometry;
    if (!g.backgroundBuilt) graph_->redraw();  // the first redraw builds the shared geometry
}

// ---------------------------------------------------------------- selection and dialogs

void COutputPage::select(SelectedElement element) { state_.selectedElement = element; }

void COutputPage::selectBand(int band) {
    select(bandElement(band));
    rows_->refreshValues();
    redrawGraph();
}

void COutputPage::openBandDialog(int band) {
    CParametricControl dialog(doc_, output_, band, context_.display.showQ, this);
    dialog.exec();
    rows_->refreshValues();
    redrawGraph();
}

void COutputPage::openCrossoverDialog(CrossoverSide side) {
    select(side == CrossoverSide::HighPass ? SelectedElement::HighPass : SelectedElement::LowPass);
    CFilterSlope dialog(doc_, output_, side, this);
    dialog.exec();
    refreshAllControls();
    redrawGraph();
}

// ---------------------------------------------------------------- clipboard

std::unique_ptr<QMenu> COutputPage::makeContextMenu() {
    auto menu = std::make_unique<QMenu>();
    menu->setObjectName(QStringLiteral("channelMenu"));
    const QString channel = QString::number(output_ + 1);
    QAction* copy = menu->addAction(QStringLiteral("Copy Channel ") + channel);
    copy->setObjectName(QStringLiteral("copyChannel"));
    connect(copy, &QAction::triggered, this, &COutputPage::copyChannel);
    QAction* paste = menu->addAction(QStringLiteral("Paste to Channel"));
    paste->setObjectName(QStringLiteral("pasteChannel"));
    if (doc_.outputCopied()) {
        paste->setText(QStringLiteral("Paste to Channel ") + channel);
        connect(paste, &QAction::triggered, this, &COutputPage::pasteChannel);
    } else {
        paste->setEnabled(false);
    }
    menu->addSeparator();
    addFilterExchangeItems(*menu, doc_, output_, this);
    addTuningItems(*menu, context_, output_, tuning_, this);
    views_->addMenuItems(*menu);
    return menu;
}

void COutputPage::copyChannel() { doc_.copyOutput(output_); }

void COutputPage::pasteChannel() {
    doc_.pasteOutput(output_);
    strip_->relabelButtons();
    refreshAllControls();
    redrawGraph();
}

// ---------------------------------------------------------------- mouse on the graph

void COutputPage::mouseMoveEvent(QMouseEvent* event) {
    // Over the page but not the graph: nothing to pick, and any drag ends.
    GraphPointer pointer;
    pointer.insideFrame = false;
    applyGraphResult(editor_.mouseMove(pointer), event->globalPosition().toPoint());
    QWidget::mouseMoveEvent(event);
}

void COutputPage::handleGraphMouse(QEvent* event) {
    ensureGraphGeometry();
    if (event->type() == QEvent::Wheel) {
        const auto* wheel = static_cast<QWheelEvent*>(event);
        const GraphEditResult result = editor_.wheel(wheel->angleDelta().y());
        applyGraphResult(result, wheel->globalPosition().toPoint());
        event->setAccepted(result.handled);
        return;
    }
    const auto* mouse = static_cast<QMouseEvent*>(event);
    GraphPointer pointer;
    const QPoint local = mouse->position().toPoint();
    pointer.x = local.x();
    pointer.y = local.y();
    pointer.insideFrame = graph_->rect().contains(local);
    pointer.shift = (mouse->modifiers() & Qt::ShiftModifier) != 0;
    pointer.ctrl = (mouse->modifiers() & Qt::ControlModifier) != 0;
    pointer.leftHeld = (mouse->buttons() & Qt::LeftButton) != 0;
    pointer.rightHeld = (mouse->buttons() & Qt::RightButton) != 0;

    GraphEditResult result;
    switch (event->type()) {
        case QEvent::MouseMove: result = editor_.mouseMove(pointer); break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            if (mouse->button() == Qt::LeftButton) result = editor_.leftButtonDown(pointer);
            if (mouse->button() == Qt::RightButton) result = editor_.rightButtonDown(pointer);
            break;
        case QEvent::MouseButtonRelease:
            if (mouse->button() == Qt::LeftButton) result = editor_.leftButtonUp();
            if (mouse->button() == Qt::RightButton) result = editor_.rightButtonUp();
            break;
        default: return;
    }
    applyGraphResult(result, mouse->globalPosition().toPoint());
}

void COutputPage::applyGraphResult(const GraphEditResult& result, const QPoint& globalPos) {
    if (result.focusGraph) graph_->setFocus(Qt::MouseFocusReason);
    if (result.scrolled) refreshAllControls();
    if (result.refreshRows) rows_->refreshValues();
    if (result.changedBand >= 0) rows_->showGraphEdit(result);
    if (result.redrawGraph) redrawGraph();
    if (result.updateCursor) graph_->setCursor(cursors_.cursorFor(editor_.cursor()));
    if (result.openContextMenu) makeContextMenu()->exec(globalPos);
}

// ---------------------------------------------------------------- events

bool COutputPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == graph_) {
        switch (event->type()) {
            case QEvent::MouseMove:
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick:
            case QEvent::MouseButtonRelease:
            case QEvent::Wheel: handleGraphMouse(event); return true;
            default: break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void COutputPage::paintEvent(QPaintEvent* event) {
    status_->markRepaint();
    QWidget::paintEvent(event);
}

}  // namespace kv
