#include "measurement/FrequencyPoint.h"

#include <algorithm>
#include <cmath>

namespace kv {

std::vector<FrequencyPoint> normalisedPoints(std::vector<FrequencyPoint> points) {
    std::erase_if(points, [](const FrequencyPoint& p) {
        return !std::isfinite(p.hz) || !std::isfinite(p.db) || p.hz <= 0.0;
    });
    std::stable_sort(points.begin(), points.end(),
                     [](const FrequencyPoint& a, const FrequencyPoint& b) { return a.hz < b.hz; });
    std::vector<FrequencyPoint> unique;
    unique.reserve(points.size());
    for (std::size_t i = 0; i < points.size();) {
        std::size_t end = i;
        double sum = 0.0;
        for (; end < points.size() && points[end].hz == points[i].hz; ++end) sum += points[end].db;
        unique.push_back({points[i].hz, sum / static_cast<double>(end - i)});
        i = end;
    }
    return unique;
}

}  // namespace kv
