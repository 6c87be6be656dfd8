#include "exchange/GridMapping.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "document/CodeScales.h"
#include "document/KorvaliserDoc.h"
#include "document/ValueText.h"
#include "response/analog/FilterCurve.h"

namespace kv {

namespace {

constexpr int kGainCodeHome = 150;  // 0 dB
constexpr int kGainCodeLoudest = 30;
constexpr int kGainCodeQuietest = 450;

// Value texts carry leading spaces for column alignment; the table does its own.
std::string trimmed(std::string text) {
    text.erase(0, text.find_first_not_of(' '));
    return text;
}

std::string typeName(int type) { return typeText(type, false); }

// A value kept within a range, and whether (and at which end) it had to move.
struct Limit {
    int value;
    bool atMinimum;
    bool moved;
};

Limit limitTo(int value, ValueRange range) {
    const int kept = std::clamp(value, range.minimum, range.maximum);
    return {kept, kept == range.minimum && value < range.minimum, kept != value};
}

std::string limitNote(std::string_view what, const std::string& shown, bool atMinimum, int type) {
    return std::string(what) + " limited to " + shown + " (the " + (atMinimum ? "lowest" : "highest") +
           " for " + typeName(type) + ")";
}

int tenthsOf(double decibels) { return static_cast<int>(std::lround(decibels * 10.0)); }

}  // namespace

BandCodes bandCodesOf(const EqFilter& filter, int unitType) {
    BandCodes codes;
    const int type = filter.peqType;
    codes.band.type = static_cast<std::uint8_t>(type);
    codes.band.flat = 0;

    const Limit frequency = limitTo(nearestFrequencyIndex(filter.frequency),
                                    parameterRange(RangeKind::Frequency, type, unitType));
    codes.band.frequency = static_cast<std::uint16_t>(frequency.value);
    if (frequency.moved)
        codes.notes.push_back(
            limitNote("frequency", trimmed(frequencyText(frequency.value)), frequency.atMinimum, type));

    const ValueRange gainRange = parameterRange(RangeKind::BandGain, type, unitType);
    if (gainRange.minimum == 0 && gainRange.maximum == 0) {
        if (filter.hasGain && tenthsOf(filter.gainDb) != 0)
            codes.notes.push_back("gain ignored (" + typeName(type) + " has none)");
    } else {
        const Limit gain = limitTo(tenthsOf(filter.gainDb), gainRange);
        codes.band.gain = static_cast<std::int16_t>(gain.value);
        if (gain.moved)
            codes.notes.push_back(
                limitNote("gain", trimmed(bandGainText(gain.value, type)), gain.atMinimum, type));
    }

    // Q indices run the other way: the lowest index is the highest Q.
    const Limit q = limitTo(nearestQIndex(filter.q), parameterRange(RangeKind::Q, type, unitType));
    codes.band.q = static_cast<std::uint8_t>(q.value);
    if (q.moved)
        codes.notes.push_back(
            limitNote("Q", trimmed(bandWidthText(q.value, type, true)), !q.atMinimum, type));
    return codes;
}

CrossoverCodes crossoverCodesOf(const EqFilter& filter, int unitType) {
    const bool highPass = filter.target == EqTarget::HighPassCrossover;
    const int type = highPass ? PeqHighPass : PeqLowPass;
    ValueRange range = parameterRange(RangeKind::Frequency, type, unitType);
    // The ends that switch a crossover off are not frequencies it can be set to.
    if (highPass)
        range.minimum = std::max(range.minimum, kLowestOnHighPass);
    else
        range.maximum = std::min(range.maximum, kHighestOnLowPass);
    CrossoverCodes codes;
    const Limit frequency = limitTo(nearestFrequencyIndex(filter.frequency), range);
    codes.filter = {static_cast<std::uint16_t>(frequency.value), static_cast<std::uint8_t>(kFirstOrderSlope)};
    if (frequency.moved)
        codes.notes.push_back("frequency limited to " + trimmed(frequencyText(frequency.value)) + " (the " +
                              (frequency.atMinimum ? "lowest" : "highest") + " for the " +
                              (highPass ? "high-pass" : "low-pass") + " crossover)");
    if (filter.hasGain && tenthsOf(filter.gainDb) != 0)
        codes.notes.emplace_back("gain ignored (a crossover has none)");
    return codes;
}

GainCodes outputGainCodeOf(double preampDb) {
    GainCodes codes;
    const Limit gain = limitTo(kGainCodeHome - tenthsOf(preampDb), {kGainCodeLoudest, kGainCodeQuietest});
    codes.code = gain.value;
    if (gain.moved)
        codes.notes.push_back("gain limited to " + trimmed(outputGainText(gain.value)) + " (the " +
                              (gain.atMinimum ? "highest" : "lowest") + " output gain)");
    return codes;
}

AnalogElement requestedElement(const EqFilter& filter) {
    switch (filter.target) {
        case EqTarget::Band: return analogElement(filter.peqType, filter.frequency, filter.q, filter.gainDb);
        case EqTarget::HighPassCrossover:
            return analogElement(PeqHighPass, filter.frequency, 1.0, 0.0, kFirstOrderSlope);
        case EqTarget::LowPassCrossover:
            return analogElement(PeqLowPass, filter.frequency, 1.0, 0.0, kFirstOrderSlope);
        case EqTarget::Refused: return {};
    }
    return {};
}

std::string bandSetText(int band, const PeqBand& codes) {
    std::string text = "Band " + std::to_string(band + 1) + ": " + typeName(codes.type) + " " +
                       trimmed(frequencyText(codes.frequency));
    const std::string gain = bandGainText(codes.gain, codes.type);
    if (gain != "N/A") text += " " + trimmed(gain);
    text += " Q " + trimmed(bandWidthText(codes.q, codes.type, true));
    return text;
}

std::string crossoverSetText(bool highPass, const CrossoverFilter& codes) {
    return std::string(highPass ? "Highpass: " : "Lowpass: ") + trimmed(frequencyText(codes.frequency)) +
           " " + slopeText(codes.slope);
}

std::string outputGainSetText(int code) { return "Gain: " + trimmed(outputGainText(code)); }

}  // namespace kv
