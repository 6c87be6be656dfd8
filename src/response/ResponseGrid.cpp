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

}  // namespace kv
