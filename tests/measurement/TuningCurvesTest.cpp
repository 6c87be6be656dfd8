#include <gtest/gtest.h>

#include <cmath>

#include "measurement/tuning/TuningCurves.h"

namespace kv {
namespace {

constexpr std::size_t kPoint1k = 240;  // grid point of 1 kHz; 36 points an octave
constexpr std::size_t kPoint125 = kPoint1k - 108;

OutputTuning measured(std::vector<FrequencyPoint> points) {
    OutputTuning tuning;
    tuning.measurement = std::move(points);
    return tuning;
}

TEST(TuningCurves, TheAutomaticOffsetCentresTheMeanFrom200HzTo2kHzOnZero) {
    // 80 dB from 200 Hz to 2 kHz, rising to 90 dB at 125 Hz and falling to 60 dB at 4 kHz.
    OutputTuning tuning = measured({{125.0, 90.0}, {200.0, 80.0}, {2000.0, 80.0}, {4000.0, 60.0}});
    const TuningCurves automatic(tuning);
    EXPECT_NEAR(automatic.offsetDb(), -80.0, 1e-9);
    EXPECT_NEAR(automatic.measurement()[kPoint1k], 0.0, 1e-9);
    EXPECT_NEAR(automatic.measurement()[kPoint125], 10.0, 1e-9);

    tuning.automaticOffset = false;
    tuning.typedOffsetDb = -75.0;
    const TuningCurves typed(tuning);
    EXPECT_EQ(typed.offsetDb(), -75.0);
    EXPECT_NEAR(typed.measurement()[kPoint1k], 5.0, 1e-9);
}

TEST(TuningCurves, ASubwooferMeasurementIsCentredOnItsOwnMean) {
    const TuningCurves curves(measured({{20.0, 95.0}, {120.0, 95.0}}));
    EXPECT_NEAR(curves.offsetDb(), -95.0, 1e-9);
    EXPECT_EQ(TuningCurves(OutputTuning{}).offsetDb(), 0.0);
    EXPECT_FALSE(TuningCurves(OutputTuning{}).hasMeasurement());
}

TEST(TuningCurves, ThePredictionAddsTheOutputsResponseWhereTheMeasurementIs) {
    const TuningCurves curves(measured({{125.0, 70.0}, {1000.0, 80.0}}));
    std::array<double, kGridPoints> total{};
    total.fill(-3.0);
    const GridCurve predicted = curves.predicted(total);
    EXPECT_NEAR(predicted[kPoint1k], curves.measurement()[kPoint1k] - 3.0, 1e-12);
    EXPECT_NEAR(predicted[kPoint125], curves.measurement()[kPoint125] - 3.0, 1e-12);
    EXPECT_FALSE(isPresent(predicted[kPoint1k + 1]));
    EXPECT_FALSE(isPresent(predicted[kPoint125 - 1]));
}

double meanFrom200HzTo2kHz(const GridCurve& curve) {
    double sum = 0.0;
    int count = 0;
    for (int k = 0; k < kGridPoints; ++k) {
        const double hz = ResponseGrid::frequency(k);
        if (hz < 200.0 || hz > 2000.0) continue;
        sum += curve[static_cast<std::size_t>(k)];
        ++count;
    }
    return sum / count;
}

TEST(TuningTarget, TiltFallsByOctavesAndTheShelfLiftsTheLowEndBothLinedUpWithTheMeasurement) {
    TuningTarget target;
    EXPECT_EQ(targetCurve(target), constantCurve(0.0));
    target.kind = TargetKind::Tilt;
    target.tiltDbPerOctave = -1.0;
    const GridCurve tilt = targetCurve(target);
    EXPECT_NEAR(tilt[kPoint1k + 36] - tilt[kPoint1k], -1.0, 1e-12);
    EXPECT_NEAR(tilt[kPoint1k - 72] - tilt[kPoint1k], 2.0, 1e-12);
    EXPECT_NEAR(meanFrom200HzTo2kHz(tilt), 0.0, 1e-12);

    target.lowShelf = true;
    target.shelfHz = 125.0;
    target.shelfDb = 6.0;
    const GridCurve shelved = targetCurve(target);
    const auto shelf = [&](std::size_t k) {
        return shelved[k] - tilt[k] - (shelved[kPoint1k + 108] - tilt[kPoint1k + 108]);
    };
    EXPECT_NEAR(shelf(0), 6.0, 0.1);          // 10 Hz: the whole shelf
    EXPECT_NEAR(shelf(kPoint125), 3.0, 0.1);  // half of it at its corner
    EXPECT_NEAR(meanFrom200HzTo2kHz(shelved), 0.0, 1e-12);
}

TEST(TuningTarget, AFileTargetKeepsItsShapeWithinItsRangeWhateverItsLevel) {
    TuningTarget target;
    target.kind = TargetKind::File;
    target.filePoints = {{1000.0, 0.0}, {125.0, 3.0}};
    const GridCurve relative = targetCurve(target);
    target.filePoints = {{1000.0, 85.0}, {125.0, 88.0}};
    const GridCurve absolute = targetCurve(target);
    EXPECT_NEAR(relative[kPoint125] - relative[kPoint1k], 3.0, 1e-9);
    EXPECT_NEAR(absolute[kPoint125], relative[kPoint125], 1e-9);
    EXPECT_NEAR(absolute[kPoint1k], relative[kPoint1k], 1e-9);
    EXPECT_FALSE(isPresent(absolute[kPoint1k + 1]));
    EXPECT_FALSE(isPresent(absolute[kPoint125 - 1]));
}

TEST(OutputTuning, ValuesOutsideTheirLimitsAreNamed) {
    EXPECT_EQ(tuningProblem(OutputTuning{}), "");
    const auto withTarget = [](auto change) {
        OutputTuning tuning;
        tuning.target.kind = TargetKind::Tilt;
        tuning.target.lowShelf = true;
        change(tuning);
        return tuningProblem(tuning);
    };
    EXPECT_EQ(withTarget([](OutputTuning&) {}), "");
    EXPECT_NE(withTarget([](OutputTuning& t) { t.target.tiltDbPerOctave = -7.0; }), "");
    EXPECT_NE(withTarget([](OutputTuning& t) { t.target.tiltDbPerOctave = std::nan(""); }), "");
    EXPECT_NE(withTarget([](OutputTuning& t) { t.target.shelfHz = 5.0; }), "");
    EXPECT_NE(withTarget([](OutputTuning& t) { t.target.shelfDb = 30.0; }), "");
    EXPECT_NE(withTarget([](OutputTuning& t) { t.target.kind = TargetKind::File; }), "");
    EXPECT_NE(withTarget([](OutputTuning& t) { t.measurement = {{100.0, 1.0}}; }), "");
    EXPECT_NE(withTarget([](OutputTuning& t) {
                  t.automaticOffset = false;
                  t.typedOffsetDb = 1e9;
              }),
              "");
}

}  // namespace
}  // namespace kv
