#include <gtest/gtest.h>

#include "measurement/MeasuredCurve.h"
#include "measurement/tuning/TuningTarget.h"

namespace kv {
namespace {

// Grid point k sits at frequency index k + 12; 1 kHz is index 252, 36 indices an octave.
constexpr int kPoint1k = 240;
constexpr int kPoint500 = kPoint1k - 36;
constexpr int kPoint2k = kPoint1k + 36;

TEST(MeasuredCurve, ReadsStraightLinesInLogFrequencyAndNothingOutsideTheMeasuredRange) {
    const MeasuredCurve curve({{2000.0, 12.0}, {500.0, 0.0}});
    const GridCurve grid = curve.onGrid(Smoothing::None);
    EXPECT_NEAR(grid[kPoint500], 0.0, 1e-9);
    EXPECT_NEAR(grid[kPoint1k - 18], 3.0, 1e-9);  // half an octave above 500 Hz
    EXPECT_NEAR(grid[kPoint1k], 6.0, 1e-9);
    EXPECT_NEAR(grid[kPoint2k], 12.0, 1e-9);
    EXPECT_FALSE(isPresent(grid[kPoint500 - 1]));
    EXPECT_FALSE(isPresent(grid[kPoint2k + 1]));
    EXPECT_FALSE(isPresent(curve.levelAt(499.0)));
    EXPECT_NEAR(curve.levelAt(1000.0), 6.0, 1e-9);
    int present = 0;
    for (const double value : grid) present += isPresent(value) ? 1 : 0;
    EXPECT_EQ(present, 73);
}

TEST(MeasuredCurve, FewerThanTwoFrequenciesGiveNoCurve) {
    EXPECT_TRUE(MeasuredCurve({{1000.0, 3.0}, {1000.0, 5.0}}).empty());
    const GridCurve grid = MeasuredCurve({{1000.0, 3.0}}).onGrid(Smoothing::Octave3);
    for (const double value : grid) EXPECT_FALSE(isPresent(value));
}

struct SmoothingCase {
    Smoothing smoothing;
    int point;
    double expected;
};

TEST(MeasuredCurve, SmoothingAveragesOverTheOctaveFractionWorkedByHand) {
    // A triangle in log frequency: 0 dB at 500 Hz, 6 dB at 1 kHz, 0 dB at 2 kHz. Over a
    // window of w octaves centred on its tip the mean is 6 - 6 w / 4; at 500 Hz a 1/3
    // octave window keeps only its upper 1/6 octave, where the mean is 6 * (1/12).
    const MeasuredCurve curve({{500.0, 0.0}, {1000.0, 6.0}, {2000.0, 0.0}});
    const SmoothingCase cases[] = {
        {Smoothing::None, kPoint1k, 6.0},
        {Smoothing::Octave48, kPoint1k, 6.0 - 6.0 / 192.0},
        {Smoothing::Octave24, kPoint1k, 6.0 - 6.0 / 96.0},
        {Smoothing::Octave12, kPoint1k, 5.875},
        {Smoothing::Octave6, kPoint1k, 5.75},
        {Smoothing::Octave3, kPoint1k, 5.5},
        {Smoothing::Octave3, kPoint1k - 12, 4.0},  // a straight stretch keeps its level
        {Smoothing::Octave3, kPoint500, 0.5},
        {Smoothing::Octave3, kPoint2k, 0.5},
    };
    for (const SmoothingCase& c : cases) {
        SCOPED_TRACE(std::string(smoothingName(c.smoothing)) + " at point " + std::to_string(c.point));
        EXPECT_NEAR(curve.onGrid(c.smoothing)[static_cast<std::size_t>(c.point)], c.expected, 1e-9);
    }
}

TEST(MeasuredCurve, SmoothingNamesReadBack) {
    for (const Smoothing smoothing : kSmoothings)
        EXPECT_EQ(smoothingFromName(smoothingName(smoothing)), smoothing);
    EXPECT_FALSE(smoothingFromName("1/5").has_value());
}

}  // namespace
}  // namespace kv
