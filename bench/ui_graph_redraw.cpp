// Redrawing an output page's 900 x 500 response graph, as a marker drag does (one band's
// curve slot Stale, recomputed, the graph brought up to date and shown) and with nothing
// stale. Each runs twice in the same run: the cached way the graph redraws, and whole (every
// layer painted, every curve in one stroke: how every redraw used to be done), so the
// ratio between them is measured on the same machine at the same moment. The full redraw,
// as on the page's activation (every curve slot of the page recomputed and everything drawn
// whole), is the drag redraw's peer in `make bench`. CPU time counts every thread of the
// process, Qt's painting helpers included.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>

#include "document/KorvaliserDoc.h"
#include "response/ResponseCurveTable.h"
#include "ui/graph/ResponseGraph.h"

namespace {

struct GraphFixture {
    explicit GraphFixture(bool whole) {
        for (int b = 0; b < 8; ++b) doc.setBandFrequencyAndGain(0, b, 60 + 45 * b, 30 * b - 110);
        doc.setHighPassFrequency(1, 150);  // the other output's crossover curve is on show
        doc.setHighPassSlope(1, 10);
        graph.setWholeRedraws(whole);
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
};

void markerDragRedraw(benchmark::State& state, bool whole) {
    GraphFixture f(whole);
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
void BM_RedrawNothingStale(benchmark::State& state) { redrawNothingStale(state, false); }
void BM_RedrawNothingStaleWhole(benchmark::State& state) { redrawNothingStale(state, true); }

BENCHMARK(BM_MarkerDragRedraw)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();
BENCHMARK(BM_MarkerDragRedrawWhole)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();
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
