#pragma once
// The measurement of an output on its page graph: the measurement (thin grey), the target
// (dashed white), the predicted result (bold orange: measurement plus the output's total,
// following every marker drag) and a legend naming them. Nothing is drawn for an output
// without a measurement, or while the user has them hidden.
//
// Use on a page:
//   overlay_ = TuningOverlay::addTo(*graph, context.tuning);
//   overlay_->setShown(false);  // "Show Measurement" unticked; redraws the graph
// The layers reread the output's tuning whenever the bank's tuning revision moves on, so
// any redraw after a load, a target change or a cleared bank shows it.

#include <QPen>
#include <QPointer>
#include <QPolygonF>
#include <cstdint>
#include <memory>
#include <optional>

#include "measurement/GridCurve.h"
#include "measurement/tuning/TuningCurves.h"
#include "ui/graph/GraphLayer.h"

namespace kv {

class BankTuning;
class CResponseGraph;
class GraphLayerStack;

class TuningOverlay {
public:
    explicit TuningOverlay(const BankTuning& tuning);

    // Puts the overlay's layers into graph's stack, beneath the markers, and redraws the
    // graph when shown or hidden.
    static std::shared_ptr<TuningOverlay> addTo(CResponseGraph& graph, const BankTuning& tuning);
    // The layers alone, for a stack that is not a page's graph.
    static void addLayers(GraphLayerStack& layers, const std::shared_ptr<TuningOverlay>& overlay);

    bool shown() const { return shown_; }
    void setShown(bool shown);
    // Redraws the graph, for a change of the tuning the document does not announce.
    void redraw();
    bool hasMeasurement(int slot, int output) const;

    // The curves of the scene's output while shown and measured, else null; rebuilt when
    // the tuning changed since the last call.
    const TuningCurves* curves(const GraphScene& scene);
    // Moves on whenever curves() would answer differently: the layers' cue to replot.
    std::uint64_t generation() const { return generation_; }

private:
    struct Source {
        int slot = -1;
        int output = -1;
        unsigned revision = 0;
        bool operator==(const Source&) const = default;
    };

    const BankTuning& tuning_;
    QPointer<CResponseGraph> graph_;
    bool shown_ = true;
    std::optional<Source> source_;
    std::optional<TuningCurves> curves_;
    std::uint64_t generation_ = 1;
};

enum class TuningCurveKind : std::uint8_t { Measurement, Target, Predicted };

// The pen of each curve, as the legend shows it; the graph draws the measurement and the
// target with it, and the predicted curve in its colour at about its width.
QPen TuningCurvePen(TuningCurveKind kind);

// Narrows the painter's clip to the plot inside its frame: a measurement far off the
// scale ends at the plot's edge.
void ClipToPlotArea(QPainter& painter, const GraphGeometry& geometry);

// The plotted points of a grid curve: present points only, x ascending, rows kept within
// the frame so a curve far off the scale stays a finite polyline along its edge.
QPolygonF TuningCurvePoints(const GraphGeometry& geometry, const GridCurve& curve);

}  // namespace kv
