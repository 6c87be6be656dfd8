// Computing every curve of one preset's two outputs: both crossover filters and the
// eight bands of each output, twenty slots in all, in the analog model the graphs draw
// and in the response of the words the unit receives (with and without the phase).
//
// `bench_response_curves --print-sections` prints, instead of measuring, the analog
// sections of those twenty slots, the grid and the curves computed here as JSON, so that
// bench/scipy_curves.py evaluates exactly the same sections as its peer.

#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <string_view>

#include "document/KorvaliserDoc.h"
#include "response/CurveSlots.h"
#include "response/OutputCurves.h"
#include "response/analog/AnalogElement.h"
#include "response/analog/FilterCurve.h"
#include "response/dsp/DspCurveCache.h"
#include "response/dsp/ModelDifference.h"
#include "response/dsp/OutputResponse.h"

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

// The twenty slots through the complex response: magnitude, and the phase when the
// benchmark's argument is 1.
void twentySlots(benchmark::State& state, kv::ResponseModel model) {
    kv::CKorvaliserDoc doc;
    fillPreset(doc);
    const bool withPhase = state.range(0) != 0;
    std::array<kv::GridCurve, 2> curves{};
    for (auto _ : state) {
        for (int output = 0; output < 2; ++output) {
            const kv::OutputChannel& channel = doc.outputChannel(output);
            for (int slot = 0; slot <= kv::CurveSlots::lastElement(doc.activeBandCount()); ++slot) {
                const kv::ComplexCurve response = kv::slotResponse(channel, slot, model, doc.unitType());
                curves[0] = kv::magnitudeDb(response);
                if (withPhase) curves[1] = kv::phaseDegrees(response);
                benchmark::DoNotOptimize(curves.data());
                benchmark::ClobberMemory();
            }
        }
    }
    state.SetItemsProcessed(state.iterations() * 20);
}

void BM_TwentyDspSlotsOfOnePreset(benchmark::State& state) { twentySlots(state, kv::ResponseModel::Dsp); }
BENCHMARK(BM_TwentyDspSlotsOfOnePreset)->ArgName("phase")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_TwentyAnalogSlotsOfOnePreset(benchmark::State& state) {
    twentySlots(state, kv::ResponseModel::Analog);
}
BENCHMARK(BM_TwentyAnalogSlotsOfOnePreset)->ArgName("phase")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// What one marker-drag step adds with the overlay on: the dragged band's DSP slot.
void BM_OneDspBandSlot(benchmark::State& state) {
    kv::OutputChannel channel;
    channel.bands[0] = {252, 60, 84, 0, kv::PeqPeaking};
    for (auto _ : state) {
        const kv::GridCurve curve = kv::magnitudeDb(
            kv::slotResponse(channel, kv::CurveSlots::band(0), kv::ResponseModel::Dsp, kv::kUnitKV520));
        benchmark::DoNotOptimize(curve.data());
    }
}
BENCHMARK(BM_OneDspBandSlot)->Unit(benchmark::kMicrosecond);

// The warning from scratch: both totals of one output and their worst difference.
void BM_OutputModelDifference(benchmark::State& state) {
    kv::CKorvaliserDoc doc;
    fillPreset(doc);
    for (auto _ : state) {
        const kv::ModelDifference difference =
            kv::outputModelDifference(doc.outputChannel(0), doc.activeBandCount(), doc.unitType());
        benchmark::DoNotOptimize(difference);
    }
}
BENCHMARK(BM_OutputModelDifference)->Unit(benchmark::kMicrosecond);

// One marker-drag step as the page's curves see it: the band moves, its change record
// marks the model slot stale and makes the table forget its DSP curves, the graph
// recomputes the stale slot and sums the total; with the overlay on (argument 1) it also
// brings the kept DSP total up to date and compares it with the model total for the warning.
void BM_DragStepCurves(benchmark::State& state) {
    kv::CKorvaliserDoc doc;
    fillPreset(doc);
    kv::ResponseCurveTable table;
    table.follow(doc);
    kv::MarkSlotsForPage(table, 0, doc.activeBandCount(), doc.outputCount());
    const bool overlay = state.range(0) != 0;
    int step = 0;
    for (auto _ : state) {
        doc.setBandFrequencyAndGain(0, 3, 150 + step % 40, 60 - step % 40);
        ++step;
        kv::RecomputeStaleSlots(table, doc, 0);
        const auto total = kv::PageTotal(table, doc.activeBandCount());
        benchmark::DoNotOptimize(total.data());
        if (overlay) {
            benchmark::DoNotOptimize(table.dsp().totalMagnitude(doc, 0).data());
            benchmark::DoNotOptimize(table.dsp().totalDifference(doc, 0, total));
        }
    }
}
BENCHMARK(BM_DragStepCurves)->ArgName("overlay")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_OneBandSlot(benchmark::State& state) {
    kv::ResponseCurveTable table;
    for (auto _ : state) {
        kv::ComputeFilterCurve(table, 2, kv::PeqPeaking, 252, 84, 60, 0, kv::kUnitKV520, 0);
        benchmark::DoNotOptimize(table.slot(2).values.data());
    }
}
BENCHMARK(BM_OneBandSlot)->Unit(benchmark::kMicrosecond);

// The element a page slot of an output holds, as ComputePageSlot evaluates it.
kv::AnalogElement slotElement(const kv::CKorvaliserDoc& doc, int output, int slot) {
    const kv::OutputChannel& channel = doc.outputChannel(output);
    if (slot == kv::CurveSlots::highPass || slot == kv::CurveSlots::lowPass) {
        const bool high = slot == kv::CurveSlots::highPass;
        const kv::CrossoverFilter& filter = high ? channel.highPass : channel.lowPass;
        return kv::analogElementOfCodes(high ? kv::PeqHighPass : kv::PeqLowPass, filter.frequency,
                                        filter.slope, 0, 0, doc.unitType());
    }
    const kv::PeqBand& band = channel.bands[static_cast<std::size_t>(slot - kv::CurveSlots::firstBand)];
    return kv::analogElementOfCodes(band.type, band.frequency, band.q, band.gain, band.flat, doc.unitType());
}

// Non-finite values as Python's json module reads them.
void printNumbers(const double* values, std::size_t count) {
    for (std::size_t k = 0; k < count; ++k) {
        const double v = values[k];
        std::printf("%s", k == 0 ? "" : ",");
        if (std::isnan(v))
            std::printf("NaN");
        else if (std::isinf(v))
            std::printf("%sInfinity", v < 0 ? "-" : "");
        else
            std::printf("%.17g", v);
    }
}

// {"hz": [...], "slots": [{"sections": [[a2, a1, a0, b2, b1, b0, fc], ...], "db": [...]}, ...]}
void printSections() {
    kv::CKorvaliserDoc doc;
    fillPreset(doc);
    kv::ResponseCurveTable table;
    const auto& hz = kv::ResponseGrid::frequencies();
    std::printf("{\"hz\": [");
    printNumbers(hz.data(), hz.size());
    std::printf("],\n\"slots\": [");
    const char* separator = "";
    for (int output = 0; output < 2; ++output) {
        for (int slot = 0; slot <= kv::CurveSlots::lastElement(doc.activeBandCount()); ++slot) {
            const kv::AnalogElement element = slotElement(doc, output, slot);
            std::printf("%s\n{\"sections\": [", separator);
            for (int i = 0; i < element.count; ++i) {
                const kv::AnalogSection& s = element.sections[static_cast<std::size_t>(i)];
                const std::array<double, 7> row{s.a2, s.a1, s.a0, s.b2, s.b1, s.b0, s.fc};
                std::printf("%s[", i == 0 ? "" : ", ");
                printNumbers(row.data(), row.size());
                std::printf("]");
            }
            kv::ComputePageSlot(table, doc, output, slot);
            std::array<double, kv::kGridPoints> db{};
            for (std::size_t k = 0; k < db.size(); ++k) db[k] = table.slot(slot).values[k];
            std::printf("], \"db\": [");
            printNumbers(db.data(), db.size());
            std::printf("]}");
            separator = ",";
        }
    }
    std::printf("]}\n");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string_view(argv[1]) == "--print-sections") {
        printSections();
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
