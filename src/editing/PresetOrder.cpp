#include "editing/PresetOrder.h"

#include <utility>

namespace kv {

bool movePresetAfter(PresetOrderArray& order, int draggedData, int dropData) {
    const int s = draggedData;
    const int d = dropData;
    if (s < 1 || s > kPresetCount || d < 0 || d > kPresetCount) return false;
    const auto at = [&order](int position) -> std::int16_t& {
        return order[static_cast<std::size_t>(position)];
    };
    if (d > s) {
        // Down: the entries between the two move up by one.
        for (int p = s - 1; p < d - 1; ++p) std::swap(at(p), at(p + 1));
        return true;
    }
    if (d < s - 1) {
        // Up: the entries between the two move down by one; the root means "first".
        for (int p = s - 1; p > d; --p) std::swap(at(p), at(p - 1));
        return true;
    }
    return false;
}

}  // namespace kv
