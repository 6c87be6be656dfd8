#include "exchange/EqFileWriter.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <string_view>

#include "document/CodeScales.h"
#include "document/ValueText.h"
#include "exchange/GridMapping.h"
#include "response/analog/AnalogElement.h"
#include "response/analog/FilterCurve.h"

namespace kv {

namespace {

constexpr int kGainCodeHome = 150;
constexpr int kGainCodeLoudest = 30;
constexpr int kGainCodeQuietest = 450;
constexpr int kUnitTypeForNeutrality = 0;  // the ranges are the same for every model

// One filter line's content: the format's type word and its values.
struct FilterLine {
    std::string_view type;
    double fc = 0.0;
    std::optional<double> gainDb;
    std::optional<double> q;
};

template <typename... Args>
std::string formatted(const char* pattern, Args... args) {
    std::array<char, 128> buffer{};
    std::snprintf(buffer.data(), buffer.size(), pattern, args...);
    return buffer.data();
}

// Enough digits that the nearest index of the number is the index written (a step is
// about 2 % of the frequency and 6 % of the Q).
std::string frequencyNumber(double hz) { return formatted(hz < 1000.0 ? "%.1f" : "%.0f", hz); }
std::string qNumber(double q) { return formatted("%.3f", q); }
std::string gainNumber(int tenths) { return formatted("%.1f", tenths / 10.0); }

std::optional<FilterLine> crossoverLine(bool highPass, int frequency, int slope) {
    const double fc = frequencyOfIndex(frequency);
    if (slope == kFirstOrderSlope) return FilterLine{highPass ? "HP1" : "LP1", fc, {}, {}};
    if (slope == kButterworth12Slope) return FilterLine{highPass ? "HP" : "LP", fc, {}, {}};
    return std::nullopt;
}

std::optional<FilterLine> bandLine(const PeqBand& band) {
    const double fc = frequencyOfIndex(band.frequency);
    const double q = qOfIndex(band.q);
    const double gain = band.gain / 10.0;
    switch (band.type) {
        case PeqPeaking: return FilterLine{"PK", fc, gain, q};
        case PeqLowShelf: return FilterLine{"LSC", fc, gain, q};
        case PeqHighShelf: return FilterLine{"HSC", fc, gain, q};
        case PeqHighPass: return crossoverLine(true, band.frequency, band.q);
        case PeqLowPass: return crossoverLine(false, band.frequency, band.q);
        case PeqAllPass: return FilterLine{"AP", fc, {}, q};
        case PeqBandPass: return FilterLine{"BP", fc, {}, q};
        case PeqNotch: return FilterLine{"NO", fc, {}, q};
        case PeqVariQLowPass: return FilterLine{"LPQ", fc, {}, q};
        case PeqVariQHighPass: return FilterLine{"HPQ", fc, {}, q};
        default: return std::nullopt;  // Phase and the elliptic types
    }
}

bool changesSomething(int type, const PeqBand& codes) {
    return analogElementOfCodes(type, codes.frequency, codes.q, codes.gain, codes.flat,
                                kUnitTypeForNeutrality)
               .count > 0;
}

struct Collected {
    std::vector<FilterLine> lines;
    std::vector<std::string> leftOut;
};

void collectCrossover(Collected& collected, bool highPass, const CrossoverFilter& filter) {
    const PeqBand asBand{filter.frequency, 0, filter.slope, 0,
                         static_cast<std::uint8_t>(highPass ? PeqHighPass : PeqLowPass)};
    if (!changesSomething(asBand.type, asBand)) return;
    if (auto line = crossoverLine(highPass, filter.frequency, filter.slope))
        collected.lines.push_back(*line);
    else
        collected.leftOut.push_back(std::string(highPass ? "Highpass: " : "Lowpass: ") +
                                    slopeText(filter.slope));
}

Collected collect(const OutputChannel& channel, int activeBandCount) {
    Collected collected;
    collectCrossover(collected, true, channel.highPass);
    collectCrossover(collected, false, channel.lowPass);
    const int bands = std::clamp(activeBandCount, 0, kBandSlots);
    for (int b = 0; b < bands; ++b) {
        const PeqBand& band = channel.bands[static_cast<std::size_t>(b)];
        if (!changesSomething(band.type, band)) continue;
        if (auto line = bandLine(band)) {
            collected.lines.push_back(*line);
            continue;
        }
        std::string name = "Band " + std::to_string(b + 1) + ": " + typeText(band.type, false);
        if (band.type == PeqHighPass || band.type == PeqLowPass) name += " " + slopeText(band.q);
        collected.leftOut.push_back(std::move(name));
    }
    return collected;
}

std::string leftOutText(const std::vector<std::string>& leftOut) {
    std::string text = "Not in this file (the format cannot express them): ";
    for (std::size_t i = 0; i < leftOut.size(); ++i) text += (i == 0 ? "" : ", ") + leftOut[i];
    return text;
}

// Titles come from preset names; a line end inside one would start a new line.
std::string oneLine(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }, ' ');
    return text;
}

std::string apoText(const OutputChannel& channel, const Collected& collected, const EqExportHeader& header) {
    std::string text = "# " + oneLine(header.title) + "\n";
    if (!collected.leftOut.empty()) text += "# " + leftOutText(collected.leftOut) + "\n";
    const int gain = std::clamp<int>(channel.gain, kGainCodeLoudest, kGainCodeQuietest);
    text += "Preamp: " + gainNumber(kGainCodeHome - gain) + " dB\n";
    int number = 0;
    for (const FilterLine& line : collected.lines) {
        text += "Filter " + std::to_string(++number) + ": ON " + std::string(line.type) + " Fc " +
                frequencyNumber(line.fc) + " Hz";
        if (line.gainDb) text += " Gain " + formatted("%.1f", *line.gainDb) + " dB";
        if (line.q) text += " Q " + qNumber(*line.q);
        text += "\n";
    }
    return text;
}

std::string rewText(const Collected& collected, const EqExportHeader& header) {
    std::string text = "Filter Settings file\n\n";
    if (!header.dated.empty()) text += "Dated: " + oneLine(header.dated) + "\n\n";
    text += "Notes:" + (collected.leftOut.empty() ? std::string() : leftOutText(collected.leftOut)) + "\n\n";
    text += "Equaliser: Generic\n" + oneLine(header.title) + "\n";
    int number = 0;
    for (const FilterLine& line : collected.lines) {
        text += formatted("Filter %2d: ON  %-4s Fc %8s Hz", ++number, std::string(line.type).c_str(),
                          frequencyNumber(line.fc).c_str());
        if (line.gainDb) text += formatted("  Gain %5.1f dB", *line.gainDb);
        if (line.q) text += "  Q " + qNumber(*line.q);
        text += "\n";
    }
    return text;
}

}  // namespace

EqExport writeEqFile(const OutputChannel& channel, int activeBandCount, EqFormat format,
                     const EqExportHeader& header) {
    const Collected collected = collect(channel, activeBandCount);
    EqExport result;
    result.text = format == EqFormat::Apo ? apoText(channel, collected, header) : rewText(collected, header);
    result.leftOut = collected.leftOut;
    return result;
}

}  // namespace kv
