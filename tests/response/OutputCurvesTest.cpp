#include <gtest/gtest.h>

#include <cmath>

#include "document/KorvaliserDoc.h"
#include "response/CurveSlots.h"
#include "response/OutputCurves.h"
#include "response/analog/FilterCurve.h"

namespace kv {
namespace {

// A document whose two outputs differ in every element the curves read.
class OutputCurvesTest : public testing::Test {
protected:
    void SetUp() override {
        doc.setHighPassFrequency(0, 60);
        doc.setHighPassSlope(0, 1);
        doc.setLowPassFrequency(0, 380);
        doc.setLowPassSlope(0, 6);
        doc.setHighPassFrequency(1, 150);
        doc.setHighPassSlope(1, 10);
        doc.setLowPassFrequency(1, 300);
        doc.setLowPassSlope(1, 2);
        for (int b = 0; b < 8; ++b) {
            doc.setBandFrequencyAndGain(0, b, 60 + 40 * b, 20 * b - 70);
            doc.setBandFrequencyAndGain(1, b, 80 + 30 * b, 50 - 15 * b);
        }
        doc.setBandType(0, 2, PeqNotch);
        doc.setBandFlat(0, 5, 1);
        doc.setBandType(1, 7, PeqLowShelf);
    }

    // The curve of one element computed directly, for comparison.
    std::array<float, kGridPoints> direct(int type, int frequency, int q, int gain, int flat) {
        ResponseCurveTable scratch;
        ComputeFilterCurve(scratch, 0, type, static_cast<std::uint16_t>(frequency),
                           static_cast<std::uint8_t>(q), static_cast<std::int16_t>(gain), flat,
                           doc.unitType(), 0);
        return scratch.slot(0).values;
    }

    CKorvaliserDoc doc;
    ResponseCurveTable table;
};

TEST_F(OutputCurvesTest, PageActivationMarksItsElementsAndTheOtherPair) {
    for (const int output : {0, 1}) {
        table.markAll(CurveState::Valid);
        MarkSlotsForPage(table, output, 8, 2);
        for (int s = 0; s < ResponseCurveTable::kSlotCount; ++s) {
            const bool element = s <= 9;
            const bool otherPair = s == CurveSlots::crossoverPair(1 - output);
            EXPECT_EQ(table.state(s), element || otherPair ? CurveState::Stale : CurveState::Absent)
                << "output " << output << " slot " << s;
        }
    }
}

TEST_F(OutputCurvesTest, RecomputeFillsOnlyStaleSlotsFromThePagesOutput) {
    MarkSlotsForPage(table, 1, 8, 2);
    table.slot(12).values.fill(3.0f);  // an Absent slot must stay as it is
    EXPECT_EQ(RecomputeStaleSlots(table, doc, 1), 11);
    EXPECT_EQ(RecomputeStaleSlots(table, doc, 1), 0);
    for (int s = 0; s <= 9; ++s) EXPECT_TRUE(table.isValid(s)) << s;
    EXPECT_TRUE(table.isValid(16));
    EXPECT_TRUE(table.isAbsent(17));
    EXPECT_TRUE(table.isAbsent(12));
    EXPECT_EQ(table.slot(12).values[0], 3.0f);

    EXPECT_EQ(table.slot(CurveSlots::highPass).values, direct(PeqHighPass, 150, 10, 0, 0));
    EXPECT_EQ(table.slot(CurveSlots::lowPass).values, direct(PeqLowPass, 300, 2, 0, 0));
    for (int b = 0; b < 8; ++b) {
        const PeqBand& band = doc.outputChannel(1).bands[static_cast<std::size_t>(b)];
        EXPECT_EQ(table.slot(CurveSlots::band(b)).values,
                  direct(band.type, band.frequency, band.q, band.gain, band.flat))
            << b;
    }
    // Output 0's pair is high-pass plus low-pass.
    const auto hp = direct(PeqHighPass, 60, 1, 0, 0);
    const auto lp = direct(PeqLowPass, 380, 6, 0, 0);
    for (std::size_t k = 0; k < hp.size(); ++k) {
        ASSERT_NEAR(table.slot(CurveSlots::crossoverPair(0)).values[k], hp[k] + lp[k], 1e-4) << k;
    }
}

TEST_F(OutputCurvesTest, StaleSlotsWithoutAnElementAreLeftStale) {
    table.markStale(14);  // would be band 12: beyond the band slots
    table.markStale(15);
    table.markStale(CurveSlots::crossoverPair(6));  // no output 6 in a preset
    EXPECT_EQ(RecomputeStaleSlots(table, doc, 0), 0);
    EXPECT_TRUE(table.isStale(14));
    EXPECT_TRUE(table.isStale(15));
    EXPECT_TRUE(table.isStale(22));
}

TEST_F(OutputCurvesTest, ReportResponseEqualsThePageTotalAndLeavesItAlone) {
    for (const int output : {0, 1}) {
        MarkSlotsForPage(table, output, 8, 2);
        RecomputeStaleSlots(table, doc, output);
        const auto pageTotal = PageTotal(table, 8);

        table.slot(CurveSlots::report).values.fill(99.0f);  // leftovers must be cleared
        ComputeOutputResponse(table, CurveSlots::report, doc, output);
        EXPECT_TRUE(table.isValid(CurveSlots::report));
        for (std::size_t k = 0; k < pageTotal.size(); ++k) {
            const float reported = table.slot(CurveSlots::report).values[k];
            if (std::isinf(pageTotal[k])) {
                ASSERT_TRUE(std::isinf(reported)) << k;
            } else {
                ASSERT_NEAR(reported, pageTotal[k], 1e-3) << "output " << output << " point " << k;
            }
        }
        // The report's slot is outside the page's eight-band total.
        EXPECT_EQ(PageTotal(table, 8), pageTotal);
    }
}

TEST_F(OutputCurvesTest, PageTotalSumsOnlyValidElementSlots) {
    table.markAll(CurveState::Absent);
    table.slot(0).values.fill(1.0f);
    table.slot(3).values.fill(2.0f);
    table.slot(9).values.fill(4.0f);
    table.slot(10).values.fill(8.0f);
    table.slot(16).values.fill(16.0f);
    for (const int s : {0, 9, 10, 16}) table.setState(s, CurveState::Valid);
    table.markStale(3);
    const auto total = PageTotal(table, 8);
    for (double v : total) ASSERT_DOUBLE_EQ(v, 5.0);
}

}  // namespace
}  // namespace kv
