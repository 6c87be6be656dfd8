// One step of dragging a PEQ marker on the output page graph, end to end: the mouse
// movement reaches the page, the band setter stores the values and (online) sends the
// band frame to the simulated amplifier and waits for its acknowledge, the band's curve
// slot is recomputed and the whole graph is composed again off screen.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>
#include <cstdlib>
#include <memory>

#include "connection/UnitConnection.h"
#include "document/KorvaliserDoc.h"
#include "link/OnlineSender.h"
#include "link/UnitLink.h"
#include "response/ResponseCurveTable.h"
#include "sim/SimulatedAmplifier.h"
#include "ui/editor/EditorContext.h"
#include "ui/editor/UnitSheet.h"
#include "ui/page/OutputPage.h"

namespace {

using namespace kv;

void sendMouse(QWidget* target, QEvent::Type type, QPoint pos, Qt::MouseButton button,
               Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(pos), QPointF(target->mapToGlobal(pos)), button, held, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

void dragStep(benchmark::State& state, bool online) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    int argc = 1;
    char name[] = "bench_ui_drag_step";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);

    CKorvaliserDoc doc;
    ResponseCurveTable curves;
    std::unique_ptr<SimulatedAmplifier> sim;
    UnitConnection connection(doc, nullptr);
    UnitLink& link = connection.link();
    EditorContext context{doc, curves, link, connection.sender()};
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
    const GraphGeometry& g = sheet.geometry();
    const auto pixel = [&g](int frequency, int gain) {
        const PointF p = g.toPixel(static_cast<float>(frequency - 12), static_cast<float>(180 - gain));
        return QPoint(static_cast<int>(p.x), static_cast<int>(p.y));
    };
    const RectF& marker = page->pageState().markers[0];
    const QPoint start(static_cast<int>(marker.x + 5), static_cast<int>(marker.y + 5));
    sendMouse(graph, QEvent::MouseMove, start, Qt::NoButton, Qt::NoButton);
    sendMouse(graph, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);

    int step = 0;
    for (auto _ : state) {
        // Alternate between two places so every step really moves the band.
        const QPoint to = (step++ % 2 == 0) ? pixel(200, 60) : pixel(240, -60);
        sendMouse(graph, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    }
    sendMouse(graph, QEvent::MouseButtonRelease, start, Qt::LeftButton, Qt::NoButton);
    state.counters["frames"] = sim ? static_cast<double>(sim->frameCount()) : 0.0;
    sheet.done(0);
}

void BM_DragStepOffline(benchmark::State& state) { dragStep(state, false); }
void BM_DragStepOnline(benchmark::State& state) { dragStep(state, true); }

BENCHMARK(BM_DragStepOffline)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DragStepOnline)->Unit(benchmark::kMicrosecond);

}  // namespace
