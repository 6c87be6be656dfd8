#pragma once
// The two switches of a page graph's optional views: "Show DSP Response" (key D) and
// "Show Phase" (key P), checkable items of the graph's context menu, keys while the graph
// or the page has focus. In the phase view the band markers are hidden (their height is a
// gain) and the graph takes no mouse editing: the left button and the wheel do nothing,
// the right button opens the context menu.
//
//   auto* views = new ResponseViewToggles(*graph, {redraw, contextMenu}, page);
//   views->addMenuItems(*menu);  // from the page's context menu

#include <QObject>
#include <functional>
#include <memory>

#include "ui/graph/overlay/GraphViewLayers.h"

class QMenu;
class QWidget;

namespace kv {

class CResponseGraph;

class ResponseViewToggles : public QObject {
public:
    struct PageHooks {
        std::function<void()> redraw;                         // redraws the page's graph
        std::function<std::unique_ptr<QMenu>()> contextMenu;  // the graph's context menu
    };

    // Watches the graph and `page` (its parent) for the keys.
    ResponseViewToggles(CResponseGraph& graph, PageHooks hooks, QWidget* page);

    void addMenuItems(QMenu& menu);
    void setDspResponseShown(bool shown);
    void setPhaseShown(bool shown);
    GraphViews views() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void show(GraphViews views);
    bool handleKey(const QEvent* event);
    bool handlePhaseViewMouse(const QEvent* event);

    CResponseGraph& graph_;
    PageHooks hooks_;
};

}  // namespace kv
