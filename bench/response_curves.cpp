// Computing every curve of one preset's two outputs: both crossover filters and the
// eight bands of each output, twenty slots in all.

#include <benchmark/benchmark.h>

#include "document/KorvaliserDoc.h"
#include "response/CurveSlots.h"
#include "response/FilterCurve.h"
#include "response/OutputCurves.h"

namespace {

void fillPreset(kv::CKorvaliserDoc& doc) {
    for (int output = 0; output < 2; ++output) {
        doc.setHighPassFrequency(output, 60 + output * 20);
        doc.setHighPassSlope(output, 11);  // four sections: the most work a slope takes
        doc.setLowPassFrequency(output, 380 - output * 40);
        doc.setLowPassSlope(output, 9);
        for (int b = 0; b < 8; ++b) {
            doc.setBandType(output, b, b % 3);  // peaking and shelves, all with gain
            doc.setBandFrequencyAndGain(output, b, 60 + 45 * b, 30 * b - 110 + output * 7);
        }
    }
}

void BM_TwentyCurveSlotsOfOnePreset(benchmark::State& state) {
    kv::CKorvaliserDoc doc;
    fillPreset(doc);
    kv::ResponseCurveTable table;
    for (auto _ : state) {
        for (int output = 0; output < 2; ++output) {
            for (int slot = 0; slot <= kv::CurveSlots::lastElement(doc.activeBandCount()); ++slot) {
                kv::ComputePageSlot(table, doc, output, slot);
            }
        }
        benchmark::DoNotOptimize(table.slot(9).values.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 20);
}
BENCHMARK(BM_TwentyCurveSlotsOfOnePreset)->Unit(benchmark::kMicrosecond);

void BM_OneBandSlot(benchmark::State& state) {
    kv::ResponseCurveTable table;
    for (auto _ : state) {
        kv::ComputeFilterCurve(table, 2, kv::PeqPeaking, 252, 84, 60, 0, kv::kUnitKV520, 0);
        benchmark::DoNotOptimize(table.slot(2).values.data());
    }
}
BENCHMARK(BM_OneBandSlot)->Unit(benchmark::kMicrosecond);

}  // namespace
