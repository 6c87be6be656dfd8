// One step of dragging a PEQ marker, end to end: the mouse movement reaches the page, the
// band setter stores the values and (online) sends the band frame to the simulated
// amplifier and waits for its acknowledge, the band's curve slot is recomputed, the graph
// is brought up to date and what changed (graph and row texts) is painted for the screen.
// On the page the graph has the page's own size; the graph alone is also dragged at
// 900 x 500 the way the page drives it. CPU time counts every thread of the process.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>
#include <cstdlib>
#include <memory>

#include "connection/UnitConnection.h"
#include "document/KorvaliserDoc.h"
#include "link/OnlineSender.h"
#include "link/UnitLink.h"
#include "measurement/tuning/BankTuning.h"
#include "response/ResponseCurveTable.h"
#include "sim/SimulatedAmplifier.h"
#include "ui/editor/EditorContext.h"
#include "ui/editor/UnitSheet.h"
#include "ui/graph/ResponseGraph.h"
#include "ui/page/OutputPage.h"

namespace {

using namespace kv;

void sendMouse(QWidget* target, QEvent::Type type, QPoint pos, Qt::MouseButton button,
               Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(pos), QPointF(target->mapToGlobal(pos)), button, held, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

// What the event loop does after each mouse event: paint what was marked for update.
void paintPending() { QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest); }

// Alternates between two places so every step really moves the band.
QPoint dragTarget(const GraphGeometry& g, int step) {
    const bool even = step % 2 == 0;
    const PointF p =
        g.toPixel(static_cast<float>((even ? 200 : 240) - 12), static_cast<float>(180 - (even ? 60 : -60)));
    return {static_cast<int>(p.x), static_cast<int>(p.y)};
}

QPoint centreOf(const RectF& r) { return {static_cast<int>(r.x + 5), static_cast<int>(r.y + 5)}; }

void dragStep(benchmark::State& state, bool online) {
    CKorvaliserDoc doc;
    ResponseCurveTable curves;
    std::unique_ptr<SimulatedAmplifier> sim;
    UnitConnection connection(doc, nullptr);
    UnitLink& link = connection.link();
    BankTuning tuning;
    EditorContext context{doc, curves, link, connection.sender(), tuning};
    CUnitSheet sheet(context);
    sheet.show();
    QApplication::processEvents();
    if (online) {
        sim = std::make_unique<SimulatedAmplifier>();
        link.setDevicePath(sim->devicePath());
        sheet.goOnLine();
        if (!link.online()) {
            state.SkipWithError("the simulated amplifier did not answer");
            return;
        }
    }
    COutputPage* page = sheet.page(0);
    QWidget* graph = page->findChild<QWidget*>(QStringLiteral("responseGraph"));
    page->redrawGraph();
    paintPending();
    const GraphGeometry& g = sheet.geometry();
    const QPoint start = centreOf(BandMarkerRect(g, doc, 0, 0));
    sendMouse(graph, QEvent::MouseMove, start, Qt::NoButton, Qt::NoButton);
    sendMouse(graph, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    paintPending();

    int step = 0;
    for (auto _ : state) {
        sendMouse(graph, QEvent::MouseMove, dragTarget(g, step++), Qt::NoButton, Qt::LeftButton);
        paintPending();
    }
    sendMouse(graph, QEvent::MouseButtonRelease, start, Qt::LeftButton, Qt::NoButton);
    state.counters["frames"] = sim ? static_cast<double>(sim->frameCount()) : 0.0;
    sheet.done(0);
}

// A hand's drag: each mouse event a few pixels on from the last, sweeping to and fro over
// 120 pixels, so every step moves the band by a frequency step and a gain step or more.
QPoint sweepTarget(QPoint start, int step) {
    const int phase = step % 60;
    const int along = phase < 30 ? phase : 60 - phase;
    return start + QPoint(4 * along, -3 * along);
}

// The graph alone at 900 x 500 with the page's drag handling, without the rest of the page.
void dragGraph900x500(benchmark::State& state, bool sweep) {
    CKorvaliserDoc doc;
    ResponseCurveTable curves;
    OutputPageState pageState;
    CResponseGraph graph(doc, curves, 0);
    graph.usePageState(pageState);
    graph.resize(900, 500);
    graph.show();
    QApplication::processEvents();
    graph.markOutputStale();
    graph.redraw();
    paintPending();
    GraphBandEditor editor(doc, 0, pageState, graph.geometry());
    const auto pointerAt = [](QPoint p, bool held) {
        GraphPointer pointer{p.x(), p.y()};
        pointer.leftHeld = held;
        return pointer;
    };
    const QPoint start = centreOf(BandMarkerRect(graph.geometry(), doc, 0, 0));
    editor.mouseMove(pointerAt(start, false));
    editor.leftButtonDown(pointerAt(start, true));
    graph.redraw();
    paintPending();

    int step = 0;
    for (auto _ : state) {
        const QPoint to = sweep ? sweepTarget(start, step) : dragTarget(graph.geometry(), step);
        ++step;
        if (editor.mouseMove(pointerAt(to, true)).redrawGraph) graph.redraw();
        paintPending();
    }
    editor.leftButtonUp();
}

void BM_DragStepGraph900x500(benchmark::State& state) { dragGraph900x500(state, true); }
void BM_DragStepGraph900x500Jumps(benchmark::State& state) { dragGraph900x500(state, false); }
void BM_DragStepOffline(benchmark::State& state) { dragStep(state, false); }
void BM_DragStepOnline(benchmark::State& state) { dragStep(state, true); }

BENCHMARK(BM_DragStepGraph900x500)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();
BENCHMARK(BM_DragStepGraph900x500Jumps)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();
BENCHMARK(BM_DragStepOffline)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();
BENCHMARK(BM_DragStepOnline)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();

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
