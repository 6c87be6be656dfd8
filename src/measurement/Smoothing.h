#pragma once
// Fractional-octave smoothing of a measured response: each grid point gets the mean
// level over a window of 1/n octave centred on it (in log frequency).

#include <array>
#include <optional>
#include <string_view>

namespace kv {

enum class Smoothing { None, Octave48, Octave24, Octave12, Octave6, Octave3 };

inline constexpr std::array<Smoothing, 6> kSmoothings{Smoothing::None,     Smoothing::Octave48,
                                                      Smoothing::Octave24, Smoothing::Octave12,
                                                      Smoothing::Octave6,  Smoothing::Octave3};

// Window width in octaves; 0 for none.
double smoothingOctaves(Smoothing smoothing);

// "none", "1/48", "1/24", "1/12", "1/6", "1/3": what the menus show and the settings keep.
std::string_view smoothingName(Smoothing smoothing);
std::optional<Smoothing> smoothingFromName(std::string_view name);

}  // namespace kv
