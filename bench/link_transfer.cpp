// The link's two long transfers against the simulated unit with wire-time emulation at
// 115200 baud: storing all ten presets (ten identifications and ten whole-preset frames)
// and sending a whole preset (one identification and 29 frames). "wire_ratio" is the
// measured time over the pure wire time of every byte exchanged (ten bits a byte), so
// 1.0 would mean the host adds nothing to what the line itself costs. Building the
// frames alone is measured too.

#include <benchmark/benchmark.h>

#include <chrono>

#include "connection/UnitConnection.h"
#include "document/KorvaliserDoc.h"
#include "link/OnlineSender.h"
#include "link/PresetBuildFile.h"
#include "link/PresetTransfer.h"
#include "link/UnitLink.h"
#include "protocol/UnitProtocol.h"
#include "sim/SimulatedAmplifier.h"

namespace {

constexpr double kBitsPerByte = 10.0;
constexpr double kBaud = 115200.0;

std::size_t replyBytes(const kv::SimFrame& frame) {
    if (!frame.answered) return 0;
    switch (frame.kind) {
        case kv::SimFrameKind::Identify: return 9;
        case kv::SimFrameKind::MeterQuery: return kv::kMeterReplyBytes;
        case kv::SimFrameKind::TemperatureQuery: return kv::kTemperatureReplyBytes;
        default: return 1;
    }
}

// Seconds the line needs for every request and reply the unit saw.
double wireSeconds(const std::vector<kv::SimFrame>& frames) {
    std::size_t bytes = 0;
    for (const kv::SimFrame& frame : frames) bytes += frame.length + replyBytes(frame);
    return static_cast<double>(bytes) * kBitsPerByte / kBaud;
}

kv::SimulatorOptions wireTimeOptions() {
    kv::SimulatorOptions options;
    options.emulateWireTime = true;
    return options;
}

struct Bench {
    kv::SimulatedAmplifier sim{wireTimeOptions()};
    kv::CKorvaliserDoc doc;
    kv::UnitConnection connection{doc, nullptr};
    kv::UnitLink& link = connection.link();
    kv::OnlineSender& sender = connection.sender();
    kv::PresetTransfer transfer{link, doc, sender};

    Bench() { connection.choosePort(link.comPortIndex(), link.baudIndex(), sim.devicePath()); }
};

template <typename Run>
void measureAgainstWire(benchmark::State& state, Bench& bench, Run run) {
    double measured = 0.0;
    double wire = 0.0;
    for (auto _ : state) {
        bench.sim.clearFrames();
        const auto start = std::chrono::steady_clock::now();
        if (!run()) {
            state.SkipWithError("the simulated unit did not take everything");
            break;
        }
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(elapsed.count());
        measured += elapsed.count();
        wire += wireSeconds(bench.sim.frames());
    }
    state.counters["wire_ms"] = benchmark::Counter(1000.0 * wire / static_cast<double>(state.iterations()));
    state.counters["wire_ratio"] = benchmark::Counter(wire > 0.0 ? measured / wire : 0.0);
}

void BM_StoreAllTenPresets(benchmark::State& state) {
    Bench bench;
    measureAgainstWire(state, bench, [&] {
        return bench.transfer.storeSelections(kv::kAllPresets).acknowledged == kv::kPresetCount;
    });
}
BENCHMARK(BM_StoreAllTenPresets)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_SendAllParameters(benchmark::State& state) {
    Bench bench;
    measureAgainstWire(state, bench, [&] {
        bench.link.setOffline();  // each run identifies anew, as "On Line" does
        return bench.sender.sendAllParametersSummary().acknowledged == kv::kAllParametersMessageCount;
    });
}
BENCHMARK(BM_SendAllParameters)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

void BM_BuildAllTenPresetFrames(benchmark::State& state) {
    kv::CKorvaliserDoc doc;
    for (auto _ : state) benchmark::DoNotOptimize(kv::presetBuildImage(doc, kv::kAllPresets));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(kv::kBuildFileMaxBytes));
}
BENCHMARK(BM_BuildAllTenPresetFrames)->Unit(benchmark::kMicrosecond);

}  // namespace
