// Renders an output page with a measurement, its target and the prediction for docs/. Not
// part of the normal run:
// ./test_ui --gtest_also_run_disabled_tests --gtest_filter='TuningDocsImage*'

#include <QDir>
#include <algorithm>
#include <cmath>

#include "PageTestSupport.h"
#include "response/ResponseGrid.h"

namespace kv::test {
namespace {

int frequencyIndexOf(double hz) {
    const auto& grid = ResponseGrid::frequencies();
    const auto at = std::lower_bound(grid.begin(), grid.end(), hz);
    return ResponseGrid::frequencyIndex(static_cast<int>(at - grid.begin()));
}

// A small full-range loudspeaker in a room: a mode at 110 Hz, a dip at 2.5 kHz, a rising
// top and its own roll-off at both ends.
OutputTuning measuredLoudspeaker() {
    const auto bump = [](double hz, double centre, double octaves, double db) {
        const double distance = std::log2(hz / centre) / octaves;
        return db * std::exp(-distance * distance / 2.0);
    };
    OutputTuning tuning;
    tuning.measurementName = "monitor-left.txt";
    for (double hz = 25.0; hz <= 20000.0; hz *= 1.03) {
        const double lowRollOff = -10.0 * std::log10(1.0 + std::pow(50.0 / hz, 4.0));
        const double highRollOff = -10.0 * std::log10(1.0 + std::pow(hz / 18000.0, 4.0));
        const double ripple = 0.6 * std::sin(hz / 700.0);
        tuning.measurement.push_back({hz, 84.0 + lowRollOff + highRollOff + bump(hz, 110.0, 0.3, 6.0) +
                                              bump(hz, 2500.0, 0.5, -4.0) + bump(hz, 9000.0, 1.0, 2.5) +
                                              ripple});
    }
    tuning.smoothing = Smoothing::Octave24;
    tuning.target.kind = TargetKind::Tilt;
    tuning.target.tiltDbPerOctave = -0.5;
    tuning.target.lowShelf = true;
    tuning.target.shelfHz = 100.0;
    tuning.target.shelfDb = 4.0;
    return tuning;
}

class TuningDocsImage : public SheetFixture {};

TEST_F(TuningDocsImage, DISABLED_RenderTuningPage) {
    QDir().mkpath(QStringLiteral(KV_SOURCE_DIR "/docs"));
    doc.setHighPassFrequency(0, frequencyIndexOf(30.0));
    doc.setLowPassFrequency(0, 433);  // off
    doc.setBandFrequencyAndGain(0, 0, frequencyIndexOf(110.0), -45);
    doc.setBandFrequencyAndGain(0, 1, frequencyIndexOf(2500.0), 25);
    doc.setBandFrequencyAndGain(0, 2, frequencyIndexOf(9000.0), -20);
    tuning.setTuning(doc.currentPreset(), 0, measuredLoudspeaker());
    openSheet();
    QApplication::processEvents();
    ASSERT_TRUE(page()->grab().save(QStringLiteral(KV_SOURCE_DIR "/docs/tuning-page.png")));
}

}  // namespace
}  // namespace kv::test
