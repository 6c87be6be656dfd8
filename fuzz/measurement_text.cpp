// Arbitrary bytes as a frequency response export: the reader must refuse with a reason or
// give sorted, finite points, and whatever it gives must go onto the grid, smoothed or
// not, without leaving the range of the levels it read.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "measurement/MeasuredCurve.h"
#include "measurement/MeasurementImport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const kv::MeasurementImport result = kv::parseMeasurementText(text);
    if (!result.ok()) {
        if (!result.points.empty() || result.errors.size() > kv::kMaxListedLineErrors + 1) std::abort();
        for (const std::string& error : result.errors)
            if (error.empty() || error.find('\n') != std::string::npos) std::abort();
        return 0;
    }
    if (result.points.size() < 2) std::abort();
    double lowest = result.points.front().db;
    double highest = lowest;
    for (std::size_t i = 0; i < result.points.size(); ++i) {
        const kv::FrequencyPoint& p = result.points[i];
        if (!std::isfinite(p.hz) || !std::isfinite(p.db) || p.hz <= 0.0) std::abort();
        if (i > 0 && !(result.points[i - 1].hz < p.hz)) std::abort();
        lowest = std::min(lowest, p.db);
        highest = std::max(highest, p.db);
    }
    const kv::MeasuredCurve curve(result.points);
    const double slack = 1e-9 * std::max(1.0, std::max(std::fabs(lowest), std::fabs(highest)));
    for (const kv::Smoothing smoothing : kv::kSmoothings) {
        for (const double value : curve.onGrid(smoothing)) {
            if (std::isnan(value)) continue;  // outside the measured range
            if (!(value >= lowest - slack && value <= highest + slack)) std::abort();
        }
    }
    return 0;
}
