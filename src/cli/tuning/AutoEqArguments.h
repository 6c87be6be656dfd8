#pragma once
// The values of the autoeq command's options as they are typed: a band list, a frequency
// range and a target.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kv {

// "1-8", "3", "1,3,5-7" (1-based, up to bandCount) as 0-based band numbers in order, or
// "free" as an empty list (the caller asks the output which bands are free).
std::optional<std::vector<int>> parseBandList(std::string_view text, int bandCount);

// "40-16000": the lower and upper frequency in Hz, the lower first, both between 10 Hz and
// 32 kHz.
std::optional<std::pair<double, double>> parseFrequencyRange(std::string_view text);

struct TargetArgument {
    enum class Kind { Flat, Tilt, File };
    Kind kind = Kind::Flat;
    double tiltDbPerOctave = 0.0;
    std::string file;
};

// "flat", "tilt:-1.0" (dB per octave), or anything else as a target file.
std::optional<TargetArgument> parseTargetArgument(std::string_view text);

}  // namespace kv
