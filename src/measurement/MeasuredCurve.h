#pragma once
// A measured (or target) response as imported: levels at arbitrary frequencies, read
// between the points by straight lines in log frequency. It puts the response on the
// response grid, smoothed or not; grid points outside the measured range are absent.

#include <vector>

#include "measurement/FrequencyPoint.h"
#include "measurement/GridCurve.h"
#include "measurement/Smoothing.h"

namespace kv {

class MeasuredCurve {
public:
    MeasuredCurve() = default;
    // The points are normalised (sorted, one per frequency); fewer than two leave it empty.
    explicit MeasuredCurve(std::vector<FrequencyPoint> points);

    bool empty() const { return log2Hz_.size() < 2; }
    const std::vector<FrequencyPoint>& points() const { return points_; }

    // The level at a frequency; absent (NaN) outside the measured range.
    double levelAt(double hz) const;

    // The response at every grid point. Smoothing averages the straight-line reading over
    // a window of the chosen fraction of an octave, centred on the grid point in log
    // frequency; near the ends of the range the window is cut to the measured part.
    GridCurve onGrid(Smoothing smoothing) const;

private:
    double levelAtLog(double x) const;
    double integralTo(double x) const;  // of the level over log2 frequency, from the first point
    std::size_t segmentOf(double x) const;

    std::vector<FrequencyPoint> points_;
    std::vector<double> log2Hz_;
    std::vector<double> area_;  // integral up to each point
};

}  // namespace kv
