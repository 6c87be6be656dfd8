#include "ui/graph/overlay/ResponseViewToggles.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

#include "ui/graph/ResponseGraph.h"

namespace kv {

ResponseViewToggles::ResponseViewToggles(CResponseGraph& graph, PageHooks hooks, QWidget* page)
    : QObject(page), graph_(graph), hooks_(std::move(hooks)) {
    setObjectName(QStringLiteral("responseViewToggles"));
    graph_.installEventFilter(this);
    if (page != nullptr) page->installEventFilter(this);
}

GraphViews ResponseViewToggles::views() const { return graph_.views(); }

void ResponseViewToggles::show(GraphViews views) {
    if (views == graph_.views()) return;
    graph_.setViews(views);
    // Nothing to grab in the phase view; the page sets its cursors again after it.
    if (views.phase) graph_.setCursor(Qt::ArrowCursor);
    if (hooks_.redraw) hooks_.redraw();
}

void ResponseViewToggles::setDspResponseShown(bool shown) {
    GraphViews views = graph_.views();
    views.dspResponse = shown;
    show(views);
}

void ResponseViewToggles::setPhaseShown(bool shown) {
    GraphViews views = graph_.views();
    views.phase = shown;
    show(views);
}

void ResponseViewToggles::addMenuItems(QMenu& menu) {
    menu.addSeparator();
    const GraphViews now = graph_.views();
    QAction* dsp = menu.addAction(QStringLiteral("Show DSP Response\tD"));
    dsp->setObjectName(QStringLiteral("showDspResponse"));
    dsp->setCheckable(true);
    dsp->setChecked(now.dspResponse);
    connect(dsp, &QAction::toggled, this, &ResponseViewToggles::setDspResponseShown);
    QAction* phase = menu.addAction(QStringLiteral("Show Phase\tP"));
    phase->setObjectName(QStringLiteral("showPhase"));
    phase->setCheckable(true);
    phase->setChecked(now.phase);
    connect(phase, &QAction::toggled, this, &ResponseViewToggles::setPhaseShown);
}

bool ResponseViewToggles::handleKey(const QEvent* event) {
    const auto* key = static_cast<const QKeyEvent*>(event);
    // Not in the middle of a drag: the switch would pull the graph from under it.
    if (key->modifiers() != Qt::NoModifier || QGuiApplication::mouseButtons() != Qt::NoButton) return false;
    if (key->key() == Qt::Key_D) {
        setDspResponseShown(!graph_.views().dspResponse);
        return true;
    }
    if (key->key() == Qt::Key_P) {
        setPhaseShown(!graph_.views().phase);
        return true;
    }
    return false;
}

bool ResponseViewToggles::handlePhaseViewMouse(const QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<const QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton && hooks_.contextMenu)
            hooks_.contextMenu()->exec(mouse->globalPosition().toPoint());
    }
    return true;
}

bool ResponseViewToggles::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
            if (handleKey(event)) return true;
            break;
        case QEvent::MouseMove:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseButtonRelease:
        case QEvent::Wheel:
            if (watched == &graph_ && graph_.views().phase) return handlePhaseViewMouse(event);
            break;
        default: break;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace kv
