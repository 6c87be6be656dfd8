#include "measurement/MeasuredCurve.h"

#include <algorithm>
#include <cmath>

namespace kv {

MeasuredCurve::MeasuredCurve(std::vector<FrequencyPoint> points)
    : points_(normalisedPoints(std::move(points))) {
    if (points_.size() < 2) return;
    log2Hz_.reserve(points_.size());
    area_.reserve(points_.size());
    for (const FrequencyPoint& p : points_) log2Hz_.push_back(std::log2(p.hz));
    area_.push_back(0.0);
    for (std::size_t i = 1; i < points_.size(); ++i)
        area_.push_back(area_.back() +
                        (log2Hz_[i] - log2Hz_[i - 1]) * (points_[i].db + points_[i - 1].db) / 2.0);
}

std::size_t MeasuredCurve::segmentOf(double x) const {
    // The segment [i, i + 1] holding x, for x inside the measured range.
    const auto upper = std::upper_bound(log2Hz_.begin(), log2Hz_.end(), x);
    const auto index = static_cast<std::size_t>(std::max<std::ptrdiff_t>(upper - log2Hz_.begin(), 1)) - 1;
    return std::min(index, log2Hz_.size() - 2);
}

double MeasuredCurve::levelAtLog(double x) const {
    const std::size_t i = segmentOf(x);
    const double t = (x - log2Hz_[i]) / (log2Hz_[i + 1] - log2Hz_[i]);
    return points_[i].db + t * (points_[i + 1].db - points_[i].db);
}

double MeasuredCurve::integralTo(double x) const {
    const std::size_t i = segmentOf(x);
    return area_[i] + (x - log2Hz_[i]) * (points_[i].db + levelAtLog(x)) / 2.0;
}

double MeasuredCurve::levelAt(double hz) const {
    if (empty() || !(hz > 0.0)) return kAbsentPoint;
    const double x = std::log2(hz);
    if (x < log2Hz_.front() || x > log2Hz_.back()) return kAbsentPoint;
    return levelAtLog(x);
}

GridCurve MeasuredCurve::onGrid(Smoothing smoothing) const {
    GridCurve curve = absentCurve();
    if (empty()) return curve;
    const double halfWindow = smoothingOctaves(smoothing) / 2.0;
    const double first = log2Hz_.front();
    const double last = log2Hz_.back();
    for (int k = 0; k < kGridPoints; ++k) {
        const double x = std::log2(ResponseGrid::frequency(k));
        if (x < first || x > last) continue;
        double& value = curve[static_cast<std::size_t>(k)];
        const double from = std::max(x - halfWindow, first);
        const double to = std::min(x + halfWindow, last);
        value = to > from ? (integralTo(to) - integralTo(from)) / (to - from) : levelAtLog(x);
    }
    return curve;
}

}  // namespace kv
