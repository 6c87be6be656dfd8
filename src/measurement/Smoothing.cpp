#include "measurement/Smoothing.h"

namespace kv {

namespace {

struct SmoothingRow {
    Smoothing smoothing;
    int fraction;  // n of 1/n octave; 0 for none
    std::string_view name;
};

constexpr std::array<SmoothingRow, 6> kRows{{{Smoothing::None, 0, "none"},
                                             {Smoothing::Octave48, 48, "1/48"},
                                             {Smoothing::Octave24, 24, "1/24"},
                                             {Smoothing::Octave12, 12, "1/12"},
                                             {Smoothing::Octave6, 6, "1/6"},
                                             {Smoothing::Octave3, 3, "1/3"}}};

const SmoothingRow& rowOf(Smoothing smoothing) {
    for (const SmoothingRow& row : kRows)
        if (row.smoothing == smoothing) return row;
    return kRows.front();
}

}  // namespace

double smoothingOctaves(Smoothing smoothing) {
    const int fraction = rowOf(smoothing).fraction;
    return fraction == 0 ? 0.0 : 1.0 / fraction;
}

std::string_view smoothingName(Smoothing smoothing) { return rowOf(smoothing).name; }

std::optional<Smoothing> smoothingFromName(std::string_view name) {
    for (const SmoothingRow& row : kRows)
        if (row.name == name) return row.smoothing;
    return std::nullopt;
}

}  // namespace kv
