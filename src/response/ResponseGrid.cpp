#include "response/ResponseGrid.h"

#include <cmath>

namespace kv {

double ResponseGrid::frequencyOfIndex(double index) { return 7.8125 * std::exp2(index / 36.0); }

double ResponseGrid::qOfIndex(int q) { return 0.25 * std::exp2(static_cast<double>(108 - q) / 12.0); }

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

}  // namespace kv
