// Auto-EQ: one fit of eight bands over the whole 420-point grid, and the predicted curve
// an output page adds up for each redraw while a marker is dragged.

#include <benchmark/benchmark.h>

#include <array>
#include <cmath>

#include "measurement/autoeq/AutoEq.h"
#include "measurement/tuning/TuningCurves.h"
#include "response/analog/AnalogElement.h"
#include "response/analog/FilterCurve.h"

namespace {

// A loudspeaker with a few resonances and dips and a falling top end, measured on the grid.
kv::GridCurve loudspeaker() {
    struct Deviation {
        double hz, gainDb, q;
    };
    constexpr std::array<Deviation, 5> deviations{
        {{55, 6, 2}, {180, -5, 3}, {700, 3, 1.5}, {2500, -4, 4}, {6000, 3, 2}}};
    kv::GridCurve curve{};
    for (int k = 0; k < kv::kGridPoints; ++k) {
        const double hz = kv::ResponseGrid::frequency(k);
        double value = 0.25 * std::sin(k * 0.7) - 2.0 * std::log2(1.0 + hz / 12000.0);
        for (const Deviation& d : deviations)
            value += 20.0 * std::log10(std::abs(kv::analogElementResponse(
                                kv::analogElement(kv::PeqPeaking, d.hz, d.q, d.gainDb), hz)));
        curve[static_cast<std::size_t>(k)] = value;
    }
    return curve;
}

void BM_EightBandFitOverTheWholeGrid(benchmark::State& state) {
    kv::AutoEqRequest request;
    request.measurement = loudspeaker();
    request.channel.highPass.frequency = 12;
    request.channel.lowPass.frequency = 433;
    request.bands = {0, 1, 2, 3, 4, 5, 6, 7};
    request.options.lowHz = kv::ResponseGrid::frequency(0);
    request.options.highHz = kv::ResponseGrid::frequency(kv::kGridPoints - 1);
    for (auto _ : state) {
        const kv::AutoEqResult result = kv::fitAutoEq(request);
        benchmark::DoNotOptimize(result.rmsSnapped);
        state.counters["rms_snapped_dB"] = result.rmsSnapped;
        state.counters["points"] = result.points;
    }
}
BENCHMARK(BM_EightBandFitOverTheWholeGrid)->Unit(benchmark::kMillisecond);

void BM_PredictedCurve(benchmark::State& state) {
    kv::OutputTuning tuning;
    for (int k = 0; k < 2000; ++k)
        tuning.measurement.push_back({20.0 * std::exp2(k / 200.0), std::sin(k * 0.01)});
    tuning.smoothing = kv::Smoothing::Octave12;
    const kv::TuningCurves curves(tuning);
    std::array<double, kv::kGridPoints> total{};
    for (auto _ : state) {
        total[7] += 0.001;
        benchmark::DoNotOptimize(curves.predicted(total));
    }
}
BENCHMARK(BM_PredictedCurve)->Unit(benchmark::kMicrosecond);

}  // namespace
