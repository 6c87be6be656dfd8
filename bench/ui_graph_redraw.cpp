// Redrawing an output page's 900 x 500 response graph, as a marker drag does (one band's
// curve slot Stale, recomputed, the graph brought up to date and shown) and with nothing
// stale. Each runs twice in the same run: the cached way the graph redraws, and whole (every
// layer painted, every curve in one stroke: how every redraw used to be done), so the
// ratio between them is measured on the same machine at the same moment. The full redraw,
// as on the page's activation (every curve slot of the page recomputed and everything drawn
// whole), is the drag redraw's peer in `make bench`. The drag redraw runs once more with a
// measurement, its target and the live predicted curve on show, and once with the DSP
// response shown (its dashed curve and the corner warning follow the drag), against the same
// redraw without them. CPU time counts every thread of the process, Qt's painting helpers
// included.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <cmath>
#include <cstdlib>
#include <memory>

#include "document/KorvaliserDoc.h"
#include "measurement/tuning/BankTuning.h"
#include "response/ResponseCurveTable.h"
#include "ui/graph/ResponseGraph.h"
#include "ui/graph/tuning/TuningOverlay.h"

namespace {

// A loudspeaker measured from 30 Hz to 18 kHz, with a rising top and a dip, on a tilted
// target with a low shelf.
kv::OutputTuning measuredLoudspeaker() {
    kv::OutputTuning tuning;
    for (double hz = 30.0; hz <= 18000.0; hz *= 1.02) {
        const double octaves = std::log2(hz / 1000.0);
        tuning.measurement.push_back({hz, 85.0 + 1.5 * octaves - 4.0 * std::exp(-octaves * octaves * 4.0)});
    }
    tuning.target.kind = kv::TargetKind::Tilt;
    tuning.target.tiltDbPerOctave = -0.5;
    tuning.target.lowShelf = true;
    tuning.target.shelfDb = 4.0;
    return tuning;
}

struct GraphFixture {
    explicit GraphFixture(bool whole, bool measured = false, kv::GraphViews views = {}) {
        if (measured) {
            tuning.setTuning(doc.currentPreset(), 0, measuredLoudspeaker());
            overlay = kv::TuningOverlay::addTo(graph, tuning);
        }
        for (int b = 0; b < 8; ++b) doc.setBandFrequencyAndGain(0, b, 60 + 45 * b, 30 * b - 110);
        doc.setHighPassFrequency(1, 150);  // the other output's crossover curve is on show
        doc.setHighPassSlope(1, 10);
        graph.setWholeRedraws(whole);
        graph.setViews(views);
        graph.resize(900, 500);
        graph.setSelectedElement(kv::bandElement(3));
        graph.show();
        QApplication::processEvents();
        graph.markOutputStale();
        showRedraw();
    }

    // Redraw and let the window system take what changed, as the event loop would.
    void showRedraw() {
        graph.redraw();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    }

    kv::CKorvaliserDoc doc;
    kv::ResponseCurveTable table;
    kv::CResponseGraph graph{doc, table, 0};
    kv::BankTuning tuning;
    std::shared_ptr<kv::TuningOverlay> overlay;
};

void markerDragRedraw(benchmark::State& state, bool whole, bool measured = false, kv::GraphViews views = {}) {
    GraphFixture f(whole, measured, views);
    int step = 0;
    for (auto _ : state) {
        // The band moves as under the mouse; the edit marks only its slot, recomputed here.
        f.doc.setBandFrequencyAndGain(0, 3, 180 + step % 60, -60 + step % 120);
        f.showRedraw();
        ++step;
    }
}

void redrawNothingStale(benchmark::State& state, bool whole) {
    GraphFixture f(whole);
    for (auto _ : state) {
        f.graph.update();  // an expose: the whole frame is copied again
        f.showRedraw();
    }
}

void BM_FullRedraw(benchmark::State& state) {
    GraphFixture f(true);
    for (auto _ : state) {
        f.graph.markOutputStale();
        f.showRedraw();
    }
}

void BM_MarkerDragRedraw(benchmark::State& state) { markerDragRedraw(state, false); }
void BM_MarkerDragRedrawWhole(benchmark::State& state) { markerDragRedraw(state, true); }
void BM_MarkerDragRedrawMeasured(benchmark::State& state) { markerDragRedraw(state, false, true); }
void BM_MarkerDragRedrawDspResponse(benchmark::State& state) {
    markerDragRedraw(state, false, false, {.dspResponse = true});
}
void BM_RedrawNothingStale(benchmark::State& state) { redrawNothingStale(state, false); }
void BM_RedrawNothingStaleWhole(benchmark::State& state) { redrawNothingStale(state, true); }

BENCHMARK(BM_MarkerDragRedraw)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();
BENCHMARK(BM_MarkerDragRedrawWhole)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();
BENCHMARK(BM_MarkerDragRedrawMeasured)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();
BENCHMARK(BM_MarkerDragRedrawDspResponse)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();
BENCHMARK(BM_RedrawNothingStale)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();
BENCHMARK(BM_RedrawNothingStaleWhole)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();
BENCHMARK(BM_FullRedraw)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
