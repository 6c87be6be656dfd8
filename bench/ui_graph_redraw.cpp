// Redrawing an output page's 900 x 500 response graph: once during a marker drag (one
// band's curve slot Stale, recomputed, the graph composed and copied to the window), once
// with nothing stale (composed and copied only) and in full, as on the page's activation
// (every curve slot of the page recomputed and everything drawn). The full redraw is the
// peer of the drag redraw in `make bench`: it must keep drawing everything from scratch
// when the graph learns to keep parts of its picture.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>

#include "document/KorvaliserDoc.h"
#include "response/ResponseCurveTable.h"
#include "ui/graph/ResponseGraph.h"

namespace {

struct GraphFixture {
    GraphFixture() {
        for (int b = 0; b < 8; ++b) doc.setBandFrequencyAndGain(0, b, 60 + 45 * b, 30 * b - 110);
        graph.resize(900, 500);
        graph.setSelectedElement(kv::kTargetFirstBand + 3);
        graph.show();
        QApplication::processEvents();
        graph.markOutputStale();
        graph.redraw();
        graph.repaint();
    }

    kv::CKorvaliserDoc doc;
    kv::ResponseCurveTable table;
    kv::CResponseGraph graph{doc, table, 0};
};

void BM_MarkerDragRedraw(benchmark::State& state) {
    GraphFixture f;
    int step = 0;
    for (auto _ : state) {
        // The band moves as under the mouse; the edit marks only its slot, recomputed here.
        f.doc.setBandFrequencyAndGain(0, 3, 180 + step % 60, -60 + step % 120);
        f.graph.redraw();
        f.graph.repaint();
        ++step;
    }
}
BENCHMARK(BM_MarkerDragRedraw)->Unit(benchmark::kMicrosecond);

void BM_RedrawNothingStale(benchmark::State& state) {
    GraphFixture f;
    for (auto _ : state) {
        f.graph.redraw();
        f.graph.repaint();
    }
}
BENCHMARK(BM_RedrawNothingStale)->Unit(benchmark::kMicrosecond);

void BM_FullRedraw(benchmark::State& state) {
    GraphFixture f;
    for (auto _ : state) {
        f.graph.markOutputStale();
        f.graph.redraw();
        f.graph.repaint();
    }
}
BENCHMARK(BM_FullRedraw)->Unit(benchmark::kMicrosecond);

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
