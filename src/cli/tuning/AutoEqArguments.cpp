#include "cli/tuning/AutoEqArguments.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "measurement/tuning/TuningTarget.h"

namespace kv {

namespace {

constexpr double kLowestRangeHz = 10.0;
constexpr double kHighestRangeHz = 32000.0;

template <typename Number>
std::optional<Number> numberOf(std::string_view text) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

bool appendBands(std::string_view item, int bandCount, std::vector<int>& bands) {
    const std::size_t dash = item.find('-');
    const std::optional<int> first = numberOf<int>(item.substr(0, dash));
    const std::optional<int> last =
        dash == std::string_view::npos ? first : numberOf<int>(item.substr(dash + 1));
    if (!first || !last || *first < 1 || *last < *first || *last > bandCount) return false;
    for (int band = *first; band <= *last; ++band) bands.push_back(band - 1);
    return true;
}

}  // namespace

std::optional<std::vector<int>> parseBandList(std::string_view text, int bandCount) {
    if (text == "free") return std::vector<int>{};
    std::vector<int> bands;
    while (true) {
        const std::size_t comma = text.find(',');
        if (!appendBands(text.substr(0, comma), bandCount, bands)) return std::nullopt;
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    std::sort(bands.begin(), bands.end());
    bands.erase(std::unique(bands.begin(), bands.end()), bands.end());
    return bands;
}

std::optional<std::pair<double, double>> parseFrequencyRange(std::string_view text) {
    const std::size_t dash = text.find('-');
    if (dash == std::string_view::npos) return std::nullopt;
    const std::optional<double> low = numberOf<double>(text.substr(0, dash));
    const std::optional<double> high = numberOf<double>(text.substr(dash + 1));
    if (!low || !high || !(*low >= kLowestRangeHz && *low < *high && *high <= kHighestRangeHz))
        return std::nullopt;
    return std::pair{*low, *high};
}

std::optional<TargetArgument> parseTargetArgument(std::string_view text) {
    constexpr std::string_view kTilt = "tilt:";
    if (text == "flat") return TargetArgument{};
    if (text.substr(0, kTilt.size()) == kTilt) {
        std::string_view number = text.substr(kTilt.size());
        if (!number.empty() && number.front() == '+') number.remove_prefix(1);
        const std::optional<double> tilt = numberOf<double>(number);
        if (!tilt || !(std::fabs(*tilt) <= kMaxTiltDbPerOctave)) return std::nullopt;
        return TargetArgument{TargetArgument::Kind::Tilt, *tilt, {}};
    }
    if (text.empty()) return std::nullopt;
    return TargetArgument{TargetArgument::Kind::File, 0.0, std::string(text)};
}

}  // namespace kv
