#include "response/ResponseGrid.h"

#include <cmath>

namespace kv {

const std::array<double, kGridPoints>& ResponseGrid::frequencies() {
    // Built once on first use and never changed afterwards.
    static const std::array<double, kGridPoints> table = [] {
        std::array<double, kGridPoints> f{};
        for (int k = 0; k < kGridPoints; ++k)
            f[static_cast<std::size_t>(k)] = frequencyOfIndex(frequencyIndex(k));
        return f;
    }();
    return table;
}

const GridPowers& ResponseGrid::powers() {
    static const GridPowers table = [] {
        GridPowers p;
        p.hz = frequencies();
        for (std::size_t k = 0; k < p.hz.size(); ++k) {
            p.squared[k] = p.hz[k] * p.hz[k];
            p.reciprocal[k] = 1.0 / p.hz[k];
            p.reciprocalSquared[k] = p.reciprocal[k] * p.reciprocal[k];
        }
        return p;
    }();
    return table;
}

}  // namespace kv
