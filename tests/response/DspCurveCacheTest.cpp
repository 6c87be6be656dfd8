// The DSP curves the table keeps: after any edit they are what a fresh computation from the
// words gives, and an edit recomputes only the element it touched.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "document/KorvaliserDoc.h"
#include "response/CurveSlots.h"
#include "response/OutputCurves.h"
#include "response/ResponseCurveTable.h"
#include "response/analog/FilterCurve.h"
#include "response/dsp/DspCurveCache.h"

namespace kv {
namespace {

class DspCurveCacheTest : public testing::Test {
protected:
    void SetUp() override {
        table.follow(doc);
        MarkSlotsForPage(table, kOutput, doc.activeBandCount(), doc.outputCount());
        doc.setHighPassFrequency(kOutput, 150);
        doc.setHighPassSlope(kOutput, 10);  // 48 dB: sent as 24 dB, far off its model
        doc.setBandFrequencyAndGain(kOutput, 2, 48, 150);
        doc.setBandQ(kOutput, 2, 20);
        doc.setBandFrequencyAndGain(1, 4, 300, -60);
    }

    // Asks for everything a graph may draw, so every curve is kept.
    void askForEverything() {
        DspCurveCache& dsp = table.dsp();
        for (const ResponseModel model : {ResponseModel::Dsp, ResponseModel::Analog}) {
            dsp.totalPhase(doc, kOutput, model);
            dsp.totalMagnitude(doc, kOutput, model);
            for (int slot = 0; slot <= CurveSlots::lastElement(doc.activeBandCount()); ++slot) {
                dsp.slotMagnitude(doc, kOutput, slot, model);
                dsp.slotPhase(doc, kOutput, slot, model);
            }
        }
        dsp.totalDifference(doc, kOutput);
    }

    void expectKeptCurvesAreFresh(const std::string& edit) {
        SCOPED_TRACE(edit);
        DspCurveCache& dsp = table.dsp();
        const OutputChannel& channel = doc.outputChannel(kOutput);
        const int bands = doc.activeBandCount();
        for (const ResponseModel model : {ResponseModel::Dsp, ResponseModel::Analog}) {
            const ComplexCurve total = totalResponse(channel, bands, model, doc.unitType());
            const GridCurve totalDb = magnitudeDb(total);
            GridCurve totalPhase = phaseDegrees(total);
            for (std::size_t k = 0; k < totalPhase.size(); ++k) {
                if (std::isinf(totalDb[k])) totalPhase[k] = std::nan("");  // a zero has no phase
            }
            expectNear(dsp.totalMagnitude(doc, kOutput, model), totalDb, "total dB");
            expectNear(dsp.totalPhase(doc, kOutput, model), totalPhase, "total phase");
            for (int slot = 0; slot <= CurveSlots::lastElement(bands); ++slot) {
                const ComplexCurve element = slotResponse(channel, slot, model, doc.unitType());
                expectNear(dsp.slotMagnitude(doc, kOutput, slot, model), magnitudeDb(element),
                           "slot " + std::to_string(slot));
            }
        }
        const ModelDifference fresh = outputModelDifference(channel, bands, doc.unitType());
        const ModelDifference& kept = dsp.totalDifference(doc, kOutput);
        EXPECT_EQ(kept.point, fresh.point);
        EXPECT_NEAR(kept.decibels, fresh.decibels, 1e-9);
    }

    static void expectNear(const GridCurve& kept, const GridCurve& fresh, const std::string& what) {
        for (std::size_t k = 0; k < kept.size(); ++k) {
            if (std::isnan(fresh[k])) continue;
            // The kept total is a sum of kept slots, the fresh one a product: equal to
            // rounding, and phases may sit either side of +-180.
            const double difference = std::fabs(kept[k] - fresh[k]);
            ASSERT_TRUE(difference < 1e-9 || std::fabs(difference - 360.0) < 1e-9 ||
                        (std::isinf(kept[k]) && kept[k] == fresh[k]))
                << what << " at point " << k << ": " << kept[k] << " vs " << fresh[k];
        }
    }

    static constexpr int kOutput = 0;
    CKorvaliserDoc doc;
    ResponseCurveTable table;
};

TEST_F(DspCurveCacheTest, KeptCurvesFollowEveryKindOfEdit) {
    const struct {
        const char* name;
        std::function<void(CKorvaliserDoc&)> edit;
    } edits[] = {
        {"band gain", [](CKorvaliserDoc& d) { d.setBandGain(kOutput, 2, -90); }},
        {"band type", [](CKorvaliserDoc& d) { d.setBandType(kOutput, 0, PeqLowShelf); }},
        {"whole band",
         [](CKorvaliserDoc& d) {
             d.setBand(kOutput, 5, {100, 60, 40, 0, PeqNotch});
         }},
        {"high-pass slope", [](CKorvaliserDoc& d) { d.setHighPassSlope(kOutput, 6); }},
        {"low-pass frequency", [](CKorvaliserDoc& d) { d.setLowPassFrequency(kOutput, 300); }},
        {"paste to the output",
         [](CKorvaliserDoc& d) {
             d.copyOutput(1);
             d.pasteOutput(kOutput);
         }},
        {"undo", [](CKorvaliserDoc& d) { d.undo(); }},
        {"another preset", [](CKorvaliserDoc& d) { d.selectPreset(4); }},
        {"back again", [](CKorvaliserDoc& d) { d.selectPreset(0); }},
        {"new bank", [](CKorvaliserDoc& d) { d.resetNewBank(); }},
    };
    for (const auto& e : edits) {
        askForEverything();
        e.edit(doc);
        expectKeptCurvesAreFresh(e.name);
    }
}

TEST_F(DspCurveCacheTest, AnEditRecomputesOnlyTheElementItTouched) {
    DspCurveCache& dsp = table.dsp();
    const auto recomputedFor = [&](const std::function<void()>& change) {
        dsp.totalDifference(doc, kOutput);
        const int before = dsp.slotsComputed();
        change();
        dsp.totalDifference(doc, kOutput);
        return dsp.slotsComputed() - before;
    };
    // One element in both models.
    EXPECT_EQ(recomputedFor([&] { doc.setBandFrequencyAndGain(kOutput, 3, 200, 40); }), 2);
    EXPECT_EQ(recomputedFor([&] { doc.setLowPassSlope(kOutput, 2); }), 2);
    EXPECT_EQ(recomputedFor([&] { table.markStale(CurveSlots::band(7)); }), 2);
    // Nothing of this output.
    EXPECT_EQ(recomputedFor([&] { doc.setBandGain(1, 1, 30); }), 0);
    EXPECT_EQ(recomputedFor([&] { doc.setDelay(kOutput, 20); }), 0);
    EXPECT_EQ(recomputedFor([] {}), 0);
    // Everything: another page, another preset.
    const int elements = 2 * (CurveSlots::lastElement(doc.activeBandCount()) + 1);
    EXPECT_EQ(recomputedFor([&] { MarkSlotsForPage(table, kOutput, 8, 2); }), elements);
    EXPECT_EQ(recomputedFor([&] { doc.selectPreset(3); }), elements);
}

TEST_F(DspCurveCacheTest, TheModelsOwnSlotsAreLeftAsTheyWere) {
    RecomputeStaleSlots(table, doc, kOutput);
    table.dsp().totalDifference(doc, kOutput);
    for (int s = 0; s < ResponseCurveTable::kSlotCount; ++s) {
        const bool page = s <= 9 || s == CurveSlots::crossoverPair(1);
        EXPECT_EQ(table.state(s), page ? CurveState::Valid : CurveState::Absent) << s;
    }
    // The model's slots and the analog side of the cache are the same model.
    const GridCurve& analog =
        table.dsp().slotMagnitude(doc, kOutput, CurveSlots::band(2), ResponseModel::Analog);
    for (std::size_t k = 0; k < analog.size(); ++k)
        ASSERT_NEAR(table.slot(CurveSlots::band(2)).values[k], analog[k], 1e-4) << k;
    // So the page's own total gives the warning the kept analog total gives.
    const ModelDifference fromPage =
        table.dsp().totalDifference(doc, kOutput, PageTotal(table, doc.activeBandCount()));
    const ModelDifference& kept = table.dsp().totalDifference(doc, kOutput);
    EXPECT_EQ(fromPage.point, kept.point);
    EXPECT_NEAR(fromPage.decibels, kept.decibels, 1e-3);
    EXPECT_GT(kept.decibels, 20.0);  // the 48 dB high-pass
}

}  // namespace
}  // namespace kv
