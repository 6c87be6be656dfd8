#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <iostream>
#include <random>

#include "RecordingSender.h"
#include "document/CodeScales.h"
#include "document/KorvaliserDoc.h"
#include "measurement/autoeq/AutoEq.h"
#include "response/analog/AnalogElement.h"
#include "response/analog/FilterCurve.h"

namespace kv {
namespace {

struct Deviation {
    int type;
    double hz;
    double gainDb;
    double q;
};

double decibels(const AnalogElement& element, double hz) {
    return 20.0 * std::log10(std::abs(analogElementResponse(element, hz)));
}

// A loudspeaker that is flat but for these deviations, plus uniform noise of +-noiseDb.
GridCurve syntheticMeasurement(const std::vector<Deviation>& deviations, double noiseDb) {
    std::mt19937 random(20240613);
    GridCurve curve{};
    for (int k = 0; k < kGridPoints; ++k) {
        const double hz = ResponseGrid::frequency(k);
        double value = (static_cast<double>(random()) / 4294967295.0 * 2.0 - 1.0) * noiseDb;
        for (const Deviation& d : deviations)
            value += decibels(analogElement(d.type, d.hz, d.q, d.gainDb), hz);
        curve[static_cast<std::size_t>(k)] = value;
    }
    return curve;
}

// An output whose crossovers are off and whose bands are all free.
AutoEqRequest requestFor(const GridCurve& measurement) {
    AutoEqRequest request;
    request.measurement = measurement;
    request.channel.highPass.frequency = 12;
    request.channel.lowPass.frequency = 433;
    request.bands = {0, 1, 2, 3, 4, 5, 6, 7};
    return request;
}

struct Figures {
    double rms = 0.0;
    double worst = 0.0;
};

// The predicted curve against a flat target over the range, with the bands as codes or
// as their continuous fit, from the analog model directly.
double equaliserDb(const AutoEqResult& result, double hz, bool continuous) {
    double value = 0.0;
    for (const FittedBand& band : result.bands) {
        if (continuous && band.hz > 0.0)
            value += decibels(analogElement(band.codes.type, band.hz, band.q, band.gainDb), hz);
        else if (!continuous)
            value += decibels(analogElementOfCodes(band.codes.type, band.codes.frequency, band.codes.q,
                                                   band.codes.gain, band.codes.flat, kUnitKV420),
                              hz);
    }
    return value;
}

Figures differenceOverRange(const std::function<double(double)>& difference, double lowHz, double highHz) {
    Figures figures;
    int count = 0;
    for (int k = 0; k < kGridPoints; ++k) {
        const double hz = ResponseGrid::frequency(k);
        if (hz < lowHz || hz > highHz) continue;
        const double d = difference(hz);
        figures.rms += d * d;
        figures.worst = std::max(figures.worst, std::fabs(d));
        ++count;
    }
    figures.rms = std::sqrt(figures.rms / count);
    return figures;
}

TEST(AutoEq, RecoversKnownDeviationsUnderNoiseAndSnapsCloseToTheContinuousFit) {
    const std::vector<Deviation> deviations{{PeqPeaking, 63.0, 5.0, 2.5},
                                            {PeqPeaking, 350.0, -4.0, 3.0},
                                            {PeqPeaking, 1700.0, 3.5, 1.2},
                                            {PeqPeaking, 5200.0, -5.0, 4.0},
                                            {PeqPeaking, 11000.0, 2.5, 0.9}};
    const GridCurve measurement = syntheticMeasurement(deviations, 0.3);
    const AutoEqResult result = fitAutoEq(requestFor(measurement));
    ASSERT_TRUE(result.ok()) << result.error;

    const auto measured = [&](double hz) {
        return measurement[static_cast<std::size_t>(std::lround(36.0 * std::log2(hz / 7.8125))) - 12];
    };
    const Figures snapped = differenceOverRange(
        [&](double hz) { return measured(hz) + equaliserDb(result, hz, false); }, 40.0, 16000.0);
    const Figures continuous = differenceOverRange(
        [&](double hz) { return measured(hz) + equaliserDb(result, hz, true); }, 40.0, 16000.0);
    const Figures snapping = differenceOverRange(
        [&](double hz) { return equaliserDb(result, hz, false) - equaliserDb(result, hz, true); }, 40.0,
        16000.0);
    std::cout << "recovery over 40 Hz-16 kHz: RMS before " << result.rmsBefore << " dB, continuous "
              << result.rmsContinuous << " dB, snapped " << result.rmsSnapped << " dB; snapped vs continuous "
              << snapping.rms << " dB RMS (worst " << snapping.worst << " dB)\n";

    EXPECT_GT(result.rmsBefore, 2.0);
    EXPECT_LE(snapped.rms, 0.5);
    EXPECT_NEAR(snapped.rms, result.rmsSnapped, 1e-6);
    EXPECT_NEAR(continuous.rms, result.rmsContinuous, 1e-6);
    EXPECT_LE(snapping.rms, 0.1);
    EXPECT_LE(std::fabs(result.rmsSnapped - result.rmsContinuous), 0.1);
}

struct LimitCase {
    const char* name;
    std::function<void(AutoEqOptions&)> options;
    std::function<bool(const PeqBand&)> holds;
};

TEST(AutoEq, TheFitKeepsToTheOptionsAndToTheTypeRanges) {
    const GridCurve measurement = syntheticMeasurement(
        {{PeqPeaking, 90.0, -6.0, 2.0}, {PeqPeaking, 900.0, 5.0, 2.0}, {PeqPeaking, 7000.0, -7.0, 3.0}}, 0.0);
    const auto inRange = [](int kind, const PeqBand& b, int value) {
        const ValueRange range = parameterRange(static_cast<RangeKind>(kind), b.type, kUnitKV420);
        return value >= range.minimum && value <= range.maximum;
    };
    const LimitCase cases[] = {
        {"cuts only", [](AutoEqOptions& o) { o.cutsOnly = true; },
         [](const PeqBand& b) { return b.gain <= 0; }},
        {"boost 2 dB", [](AutoEqOptions& o) { o.maxBoostDb = 2.0; },
         [](const PeqBand& b) { return b.gain <= 20; }},
        {"no shelves", [](AutoEqOptions& o) { o.allowShelves = false; },
         [](const PeqBand& b) { return b.type == PeqPeaking; }},
        {"200 Hz to 5 kHz", [](AutoEqOptions& o) { o.lowHz = 200.0, o.highHz = 5000.0; },
         [](const PeqBand& b) { return b.frequency >= 169 && b.frequency <= 335; }},
        {"Q up to 2", [](AutoEqOptions& o) { o.maxQ = 2.0; }, [](const PeqBand& b) { return b.q >= 72; }},
    };
    for (const LimitCase& c : cases) {
        SCOPED_TRACE(c.name);
        AutoEqRequest request = requestFor(measurement);
        request.bands = {2, 4, 5};
        c.options(request.options);
        const AutoEqResult result = fitAutoEq(request);
        ASSERT_TRUE(result.ok()) << result.error;
        EXPECT_LT(result.rmsSnapped, result.rmsBefore);
        ASSERT_EQ(result.bands.size(), 3u);
        for (const FittedBand& band : result.bands) {
            const PeqBand& b = band.codes;
            EXPECT_TRUE(c.holds(b)) << "band " << band.band << " type " << int{b.type} << " f " << b.frequency
                                    << " g " << b.gain << " q " << int{b.q};
            EXPECT_TRUE(inRange(2, b, b.gain) && inRange(3, b, b.frequency) && inRange(4, b, b.q));
            EXPECT_EQ(b.flat, 0);
        }
    }
}

TEST(AutoEq, ShelfDeviationsAreMetWithTheTwoShelves) {
    const GridCurve measurement =
        syntheticMeasurement({{PeqLowShelf, 150.0, 5.0, 0.7}, {PeqHighShelf, 6000.0, -4.0, 0.7}}, 0.0);
    AutoEqRequest request = requestFor(measurement);
    request.bands = {0, 1};
    const AutoEqResult result = fitAutoEq(request);
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_LT(result.rmsSnapped, 0.15);
    ASSERT_EQ(result.bands.size(), 2u);
    EXPECT_EQ(result.bands[0].codes.type, PeqLowShelf);
    EXPECT_EQ(result.bands[1].codes.type, PeqHighShelf);
}

TEST(AutoEq, BandsLeftAloneStillCountAndTheSameRequestGivesTheSameResult) {
    // A flat loudspeaker, but band 1 of the output boosts 1 kHz by 4 dB (and the crossovers
    // at 40 Hz and 16 kHz dip the ends a little): only band 4 may be set, so it must undo band 1.
    AutoEqRequest request = requestFor(constantCurve(0.0));
    request.channel.bands[0] = PeqBand{252, 40, 84, 0, PeqPeaking};
    request.channel.bands[3] = PeqBand{100, -60, 60, 0, PeqPeaking};
    request.channel.highPass = {85, 6};
    request.channel.lowPass = {396, 6};
    request.bands = {3};
    request.options.lowHz = 250.0;
    request.options.highHz = 4000.0;
    const AutoEqResult result = fitAutoEq(request);
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_GT(result.rmsBefore, 1.0);
    EXPECT_LT(result.rmsSnapped, 0.05);
    ASSERT_EQ(result.bands.size(), 1u);
    EXPECT_EQ(result.bands[0].band, 3);
    EXPECT_NEAR(result.bands[0].codes.frequency, 252, 1);
    EXPECT_NEAR(result.bands[0].codes.gain, -40, 1);

    const AutoEqResult again = fitAutoEq(request);
    EXPECT_EQ(again.rmsSnapped, result.rmsSnapped);
    EXPECT_EQ(again.rmsContinuous, result.rmsContinuous);
    EXPECT_EQ(again.bands[0].codes.q, result.bands[0].codes.q);
}

TEST(AutoEq, UnusableRequestsAreRefusedWithAReason) {
    const auto problemWith = [](std::function<void(AutoEqRequest&)> change) {
        AutoEqRequest request = requestFor(constantCurve(0.0));
        change(request);
        return fitAutoEq(request).error;
    };
    EXPECT_EQ(problemWith([](AutoEqRequest& r) { r.bands.clear(); }), "there is no band to fit");
    EXPECT_EQ(problemWith([](AutoEqRequest& r) { r.bands = {8}; }), "band 9 is not in use");
    EXPECT_EQ(problemWith([](AutoEqRequest& r) { r.bands = {1, 1}; }), "a band is chosen twice");
    EXPECT_NE(problemWith([](AutoEqRequest& r) { r.options.lowHz = 16000, r.options.highHz = 40; }), "");
    EXPECT_NE(problemWith([](AutoEqRequest& r) { r.options.maxBoostDb = -1; }), "");
    EXPECT_NE(problemWith([](AutoEqRequest& r) { r.measurement = absentCurve(); }), "");
}

TEST(AutoEq, FreeBandsChangeNothing) {
    OutputChannel channel;
    channel.bands[0].gain = 30;
    channel.bands[1] = PeqBand{300, 50, 60, 1, PeqPeaking};
    channel.bands[2] = PeqBand{300, 0, 5, 0, PeqHighPass};
    channel.bands[3] = PeqBand{300, 0, 90, 0, PeqLowShelf};
    channel.bands[4] = PeqBand{300, -20, 90, 0, PeqHighShelf};
    EXPECT_EQ(freeBands(channel, kBandsInUse), (std::vector<int>{1, 3, 5, 6, 7}));
}

TEST(AutoEq, ApplyingSetsTheBandsAndSendsOnlyWhatChanges) {
    CKorvaliserDoc doc;
    doc.setBandGain(1, 2, -20);
    doc.setBandFlat(1, 6, 1);
    test::RecordingSender sender(true);
    doc.setSender(&sender);
    AutoEqResult result;
    result.bands = {{2, PeqBand{252, -20, 65, 0, PeqPeaking}, true},
                    {6, PeqBand{100, 35, 90, 0, PeqLowShelf}, true}};
    applyAutoEq(doc, 1, result);
    EXPECT_EQ(doc.bandGain(1, 2), -20);
    EXPECT_EQ(doc.bandType(1, 6), PeqLowShelf);
    EXPECT_EQ(doc.bandFrequency(1, 6), 100);
    EXPECT_EQ(doc.bandGain(1, 6), 35);
    EXPECT_EQ(doc.bandQ(1, 6), 90);
    EXPECT_FALSE(doc.bandFlat(1, 6));
    EXPECT_EQ(sender.sent.size(), 4u);  // type, Q, frequency and gain, flat of band 7; nothing for band 3
    for (const test::SentMessage& message : sender.sent) EXPECT_EQ(message, (test::SentMessage{3, 2, 7}));
    EXPECT_TRUE(doc.isModified());
}

}  // namespace
}  // namespace kv
