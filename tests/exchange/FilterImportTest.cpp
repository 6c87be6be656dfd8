#include "exchange/FilterImport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "RecordingSender.h"
#include "document/KorvaliserDoc.h"
#include "exchange/EqFileParser.h"

namespace kv {
namespace {

using test::RecordingSender;
using test::SentMessage;

// A document whose Output 1 has both crossovers off and every band free.
CKorvaliserDoc docWithFreeOutput() {
    CKorvaliserDoc doc;
    doc.setHighPassFrequency(0, 12);
    doc.setLowPassFrequency(0, 433);
    doc.setModified(false);
    return doc;
}

ImportMapping mapText(const std::string& text, const CKorvaliserDoc& doc, ImportRequest request = {}) {
    return mapEqFile(parseEqFile(text), doc, request);
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(FilterImport, PutsEachFilterOnTheNearestCodesWithinItsTypesRange) {
    struct Case {
        std::string line;
        PeqBand codes;  // frequency, gain, q, flat, type
        std::string note;
    };
    const std::vector<Case> cases{
        {"PK Fc 1000 Hz Gain -3.5 dB Q 1", {252, -35, 84, 0, 0}, ""},
        {"PK Fc 1010 Hz Gain -3.54 dB BW Oct 1", {253, -35, 78, 0, 0}, ""},
        {"LS Fc 80 Hz Gain 3 dB", {121, 30, 90, 0, 1}, ""},
        {"LSC Fc 105 Hz Gain 6.3 dB Q 1.41",
         {135, 63, 84, 0, 1},
         "Q limited to 1.00 (the highest for Low Shelf)"},
        {"PK Fc 15 Hz Gain 20 dB Q 200",
         {48, 150, 0, 0, 0},
         "frequency limited to 19.7Hz (the lowest for PEQ); gain limited to +15.0dB (the highest for PEQ); "
         "Q limited to 128 (the highest for PEQ)"},
        {"HPQ Fc 30 Hz Q 5", {70, 0, 65, 0, 10}, "Q limited to 3.0 (the highest for VariQ HighPass)"},
        {"LP Fc 2000 Hz", {288, 0, 90, 0, 9}, ""},
        {"NO Fc 60 Hz Q 10 Gain 3 dB", {106, 0, 44, 0, 7}, "gain ignored (Notch has none)"},
    };
    const CKorvaliserDoc doc = docWithFreeOutput();
    for (const Case& c : cases) {
        const ImportMapping mapping = mapText("Filter: ON " + c.line, doc);
        ASSERT_TRUE(mapping.canApply()) << c.line << ": " << mapping.refusal;
        ASSERT_EQ(mapping.plan.bands.size(), 1u) << c.line;
        const PeqBand& set = mapping.plan.bands[0].values;
        EXPECT_EQ(mapping.plan.bands[0].band, 0) << c.line;
        EXPECT_EQ(std::tie(set.frequency, set.gain, set.q, set.flat, set.type),
                  std::tie(c.codes.frequency, c.codes.gain, c.codes.q, c.codes.flat, c.codes.type))
            << c.line << ": " << set.frequency << " " << set.gain << " " << int{set.q} << " "
            << int{set.type};
        EXPECT_EQ(mapping.rows.at(0).note, c.note) << c.line;
    }
}

// |H(j w)| of the peaking and high-shelf prototypes, written out from their definitions.
double peakingDb(double f, double fc, double gainDb, double q) {
    const double a = std::pow(10.0, gainDb / 40.0), w = f / fc, real = 1.0 - w * w;
    return 10.0 *
           std::log10((real * real + std::pow(a * w / q, 2)) / (real * real + std::pow(w / (a * q), 2)));
}
double highShelfDb(double f, double fc, double gainDb, double q) {
    const double a = std::pow(10.0, gainDb / 40.0), w = f / fc, ra = std::sqrt(a);
    const double numerator = std::pow(a - a * a * w * w, 2) + std::pow(a * ra * w / q, 2);
    const double denominator = std::pow(a - w * w, 2) + std::pow(ra * w / q, 2);
    return 10.0 * std::log10(numerator / denominator);
}

TEST(FilterImport, WorstDifferenceMatchesAnIndependentEvaluation) {
    const CKorvaliserDoc doc = docWithFreeOutput();
    const ImportMapping mapping = mapText(
        "Filter 1: ON PK Fc 1234 Hz Gain 4.27 dB Q 2.3\n"
        "Filter 2: ON HSC Fc 7777 Hz Gain -5.55 dB Q 0.8\n",
        doc);
    ASSERT_TRUE(mapping.canApply()) << mapping.refusal;
    ASSERT_EQ(mapping.plan.bands.size(), 2u);
    const PeqBand& pk = mapping.plan.bands[0].values;
    const PeqBand& hs = mapping.plan.bands[1].values;
    const auto hz = [](int index) { return 7.8125 * std::pow(2.0, index / 36.0); };
    const auto q = [](int index) { return 0.25 * std::pow(2.0, (108 - index) / 12.0); };
    double worst = 0.0;
    for (int point = 0; point < 420; ++point) {
        const double f = hz(point + 12);
        if (f < 20.0 || f > 20000.0) continue;
        const double asked = peakingDb(f, 1234, 4.27, 2.3) + highShelfDb(f, 7777, -5.55, 0.8);
        const double set = peakingDb(f, hz(pk.frequency), pk.gain / 10.0, q(pk.q)) +
                           highShelfDb(f, hz(hs.frequency), hs.gain / 10.0, q(hs.q));
        worst = std::max(worst, std::fabs(asked - set));
    }
    EXPECT_GT(worst, 0.01);  // the exact values lie between grid steps
    EXPECT_NEAR(mapping.worstDifferenceDb, worst, 1e-9);
}

TEST(FilterImport, PlacesFiltersByTheChosenBandsAndKeepRule) {
    CKorvaliserDoc doc = docWithFreeOutput();
    doc.setBandGain(0, 1, 30);  // bands 2 and 6 in use
    doc.setBandGain(0, 5, -20);
    const std::string file =
        "Filter: ON PK Fc 100 Hz Gain 1 dB Q 1\n"
        "Filter: ON PK Fc 200 Hz Gain -6 dB Q 1\n"
        "Filter: ON PK Fc 400 Hz Gain 3 dB Q 1\n";
    struct Case {
        const char* what;
        ImportRequest request;
        std::vector<std::pair<int, int>> bandAndGain;  // the plan's band writes
        std::string refusal;
    };
    const auto replaceFrom = [](int band, KeepChoice keep = KeepChoice::All,
                                std::vector<std::size_t> chosen = {}) {
        return ImportRequest{0, "", BandPlacement::ReplaceFrom, band, keep, std::move(chosen)};
    };
    const std::vector<Case> cases{
        {"free bands", {}, {{0, 10}, {2, -60}, {3, 30}}, ""},
        {"too many for bands 7 and 8", replaceFrom(6), {}, "3 filters need a band but only 2 are free"},
        {"the two largest", replaceFrom(6, KeepChoice::Largest), {{6, -60}, {7, 30}}, ""},
        {"bands 5 to 8, the last reset", replaceFrom(4), {{4, 10}, {5, -60}, {6, 30}, {7, 0}}, ""},
        {"chosen ones",
         {0, "", BandPlacement::FreeBands, 0, KeepChoice::Chosen, {0, 2}},
         {{0, 10}, {2, 30}},
         ""},
        {"more chosen than bands",
         replaceFrom(7, KeepChoice::Chosen, {0, 1}),
         {},
         "2 filters are chosen for 1 free band"},
        {"no band 9", replaceFrom(8), {}, "there is no band 9"},
    };
    for (const Case& c : cases) {
        const ImportMapping mapping = mapText(file, doc, c.request);
        std::vector<std::pair<int, int>> writes;
        for (const BandWrite& w : mapping.plan.bands) writes.emplace_back(w.band, w.values.gain);
        EXPECT_EQ(writes, c.bandAndGain) << c.what;
        EXPECT_TRUE(contains(mapping.refusal, c.refusal) && mapping.refusal.empty() == c.refusal.empty())
            << c.what << ": " << mapping.refusal;
    }
    const ImportMapping largest = mapText(file, doc, replaceFrom(6, KeepChoice::Largest));
    EXPECT_EQ(largest.rows[0].status, RowStatus::NotKept);
    // The filter left out still counts in the requested response: the figure shows its cost.
    EXPECT_GT(largest.worstDifferenceDb, 0.9);
    EXPECT_LT(largest.worstDifferenceDb, 1.1);
}

TEST(FilterImport, FirstOrderFiltersTakeOnlyAFreeCrossover) {
    CKorvaliserDoc doc;  // a new bank: both crossovers of Output 1 in use
    const std::string file = "Filter: ON HP1 Fc 50 Hz\nFilter: ON LP1 Fc 5000 Hz\nFilter: ON HP1 Fc 60 Hz\n";
    const ImportMapping busy = mapText(file, doc);
    EXPECT_FALSE(busy.canApply());  // nothing left to set
    EXPECT_TRUE(
        contains(busy.rows.at(0).note, "the high-pass crossover is in use (24dB Link/Riley at 40.1Hz)"))
        << busy.rows.at(0).note;
    EXPECT_EQ(busy.rows.at(1).status, RowStatus::Refused);

    const CKorvaliserDoc freeDoc = docWithFreeOutput();
    const ImportMapping mapping = mapText(file, freeDoc);
    ASSERT_TRUE(mapping.canApply()) << mapping.refusal;
    ASSERT_TRUE(mapping.plan.highPass && mapping.plan.lowPass);
    EXPECT_EQ(mapping.plan.highPass->frequency, 96);  // 36 log2(50 / 7.8125) = 96.4
    EXPECT_EQ(mapping.plan.highPass->slope, 7);
    EXPECT_EQ(mapping.plan.lowPass->frequency, 336);  // 36 log2(5000 / 7.8125) = 335.9
    EXPECT_EQ(mapping.rows[0].set, "Highpass: 49.6Hz 6dB 1st Order");
    EXPECT_EQ(mapping.rows[2].status, RowStatus::Refused);
    EXPECT_EQ(mapping.rows[2].note, "the high-pass crossover is taken by line 1");
    EXPECT_TRUE(mapping.plan.bands.empty());
}

TEST(FilterImport, ChannelsMustBeChosenWhenTheFileSelectsThem) {
    const std::string file =
        "Preamp: -3 dB\n"
        "Channel: L\n"
        "Filter: ON PK Fc 1000 Hz Gain -4 dB Q 1\n"
        "Channel: R C\n"
        "Preamp: -1.5 dB\n"
        "Filter: ON LPQ Fc 18000 Hz Q 0.5\n"
        "Channel: all\n"
        "Filter: ON AP Fc 300 Hz Q 1\n";
    const CKorvaliserDoc doc = docWithFreeOutput();
    const auto channel = [](const char* name) {
        ImportRequest request;
        request.channel = name;
        return request;
    };
    EXPECT_TRUE(contains(mapText(file, doc).refusal, "the channels L, R, C; choose one"));
    EXPECT_TRUE(contains(mapText(file, doc, channel("SUB")).refusal, "no channel \"SUB\""));
    EXPECT_TRUE(
        contains(mapText("Filter: ON AP Fc 300 Hz Q 1\n", doc, channel("L")).refusal, "selects no channels"));

    const ImportMapping right = mapText(file, doc, channel("r"));
    ASSERT_TRUE(right.canApply()) << right.refusal;
    std::vector<int> types;
    for (const BandWrite& w : right.plan.bands) types.push_back(w.values.type);
    EXPECT_EQ(types, (std::vector<int>{9, 5}));
    EXPECT_EQ(right.plan.gain, 195);  // -3 - 1.5 dB
    EXPECT_EQ(right.rows.back().note, "the sum of 2 Preamp lines");
}

TEST(FilterImport, ApplyingWritesEachElementOnceAsOneUndoStepAndAFileWithErrorsNothing) {
    CKorvaliserDoc doc = docWithFreeOutput();
    RecordingSender sender(true);
    doc.setSender(&sender);
    const OutputChannel other = doc.outputChannel(1);
    const OutputChannel before = doc.outputChannel(0);
    const ImportMapping mapping = mapText(
        "Preamp: -2 dB\nFilter: ON PK Fc 100 Hz Gain 2 dB Q 1\nFilter: ON HP1 Fc 40 Hz\n"
        "Filter: ON NO Fc 50 Hz Q 4\n",
        doc);
    ASSERT_TRUE(mapping.canApply()) << mapping.refusal;
    applyImportPlan(doc, mapping.plan);
    EXPECT_EQ(sender.sent,
              (std::vector<SentMessage>{{11, 1, 0}, {26, 1, 0}, {3, 1, 1}, {3, 1, 2}, {2, 1, 0}}));
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(doc.bandType(0, 1), 7);
    EXPECT_EQ(doc.gain(0), 170);
    EXPECT_TRUE(isFreeBand(doc.outputChannel(0).bands[2]));
    EXPECT_EQ(doc.outputChannel(1), other);
    EXPECT_EQ(doc.undoName(), "Import Filters");  // one step, undone as a whole
    doc.undo();
    EXPECT_EQ(doc.outputChannel(0), before);

    const ImportMapping broken =
        mapText("Filter: ON PK Fc 100 Hz Gain 2 dB Q 1\nFilter: ON PK Fc ? Hz\n", doc);
    EXPECT_FALSE(broken.canApply());
    EXPECT_TRUE(broken.plan.empty());
    EXPECT_TRUE(contains(broken.refusal, "1 line of the file cannot be read"));
}

}  // namespace
}  // namespace kv
