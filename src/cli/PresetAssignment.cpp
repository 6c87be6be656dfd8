#include "cli/PresetAssignment.h"

#include <charconv>
#include <cstdint>
#include <limits>
#include <optional>

#include "document/ValueText.h"
#include "document/file/TextCodec.h"
#include "editing/CrossoverRules.h"

namespace kv {

namespace {

enum class Field {
    Name,
    Gain,
    Mute,
    Invert,
    Delay,
    Limiter,
    HighPassFrequency,
    HighPassSlope,
    LowPassFrequency,
    LowPassSlope,
    BandFrequency,
    BandGain,
    BandQ,
    BandFlat,
    BandType,
};

struct Target {
    Field field = Field::Name;
    int output = 0;  // 0-based
    int band = 0;    // 0-based
};

constexpr int kLastSlopeCode = 11;
constexpr int kLastPeqType = 12;
constexpr int kLastLimiterLevel = 20;

// Reads a whole decimal integer with an optional sign; anything else is unreadable.
std::optional<int> readInteger(std::string_view text) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc{} || stop != end) return std::nullopt;
    return value;
}

// "out2" -> 1; "band8" -> 7, for numbers 1..count.
std::optional<int> readNumbered(std::string_view part, std::string_view prefix, int count) {
    if (part.substr(0, prefix.size()) != prefix) return std::nullopt;
    const std::string_view digits = part.substr(prefix.size());
    if (digits.empty() || digits.front() == '+' || digits.front() == '-') return std::nullopt;
    const std::optional<int> number = readInteger(digits);
    if (!number || *number < 1 || *number > count) return std::nullopt;
    return *number - 1;
}

std::optional<Field> outputField(std::string_view rest) {
    if (rest == "gain") return Field::Gain;
    if (rest == "mute") return Field::Mute;
    if (rest == "invert") return Field::Invert;
    if (rest == "delay") return Field::Delay;
    if (rest == "limiter") return Field::Limiter;
    if (rest == "hp.freq") return Field::HighPassFrequency;
    if (rest == "hp.slope") return Field::HighPassSlope;
    if (rest == "lp.freq") return Field::LowPassFrequency;
    if (rest == "lp.slope") return Field::LowPassSlope;
    return std::nullopt;
}

std::optional<Field> bandField(std::string_view rest) {
    if (rest == "freq") return Field::BandFrequency;
    if (rest == "gain") return Field::BandGain;
    if (rest == "q") return Field::BandQ;
    if (rest == "flat") return Field::BandFlat;
    if (rest == "type") return Field::BandType;
    return std::nullopt;
}

std::optional<Target> readKey(std::string_view key, int bandCount) {
    if (key == "name") return Target{Field::Name, 0, 0};
    const std::size_t dot = key.find('.');
    if (dot == std::string_view::npos) return std::nullopt;
    const std::optional<int> output = readNumbered(key.substr(0, dot), "out", kOutputsInUse);
    if (!output) return std::nullopt;
    const std::string_view rest = key.substr(dot + 1);
    if (const std::optional<Field> field = outputField(rest)) return Target{*field, *output, 0};
    const std::size_t bandDot = rest.find('.');
    if (bandDot == std::string_view::npos) return std::nullopt;
    const std::optional<int> band = readNumbered(rest.substr(0, bandDot), "band", bandCount);
    const std::optional<Field> field = bandField(rest.substr(bandDot + 1));
    if (!band || !field) return std::nullopt;
    return Target{*field, *output, *band};
}

// A name cut to the 16 UTF-16 units the preset holds, without splitting a surrogate pair.
std::u16string presetNameOf(std::string_view utf8) {
    std::u16string name = fromUtf8(utf8);
    if (name.size() > static_cast<std::size_t>(kNameMaxChars)) {
        std::size_t keep = kNameMaxChars;
        const char16_t last = name[keep - 1];
        if (last >= 0xD800 && last <= 0xDBFF) --keep;
        name.resize(keep);
    }
    return name;
}

ValueRange allowedRange(const CKorvaliserDoc& doc, const Target& t) {
    const int type = doc.bandType(t.output, t.band);
    switch (t.field) {
        case Field::Gain:
            return {std::numeric_limits<int>::min(),
                    std::numeric_limits<int>::max()};  // the setter clamps to 30..450
        case Field::Delay: return {0, 0xFFFF};         // the setter limits to what is left
        case Field::Mute:
        case Field::Invert:
        case Field::BandFlat: return {0, 1};
        case Field::Limiter: return {0, kLastLimiterLevel};
        case Field::HighPassSlope:
        case Field::LowPassSlope: return {0, kLastSlopeCode};
        // As in the crossover dialog, the two filters of an output never cross.
        case Field::HighPassFrequency:
        case Field::LowPassFrequency:
            return crossoverLimits(
                t.field == Field::HighPassFrequency ? CrossoverSide::HighPass : CrossoverSide::LowPass,
                doc.highPassFrequency(t.output), doc.lowPassFrequency(t.output), doc.unitType());
        case Field::BandFrequency: return parameterRange(RangeKind::Frequency, type, doc.unitType());
        case Field::BandGain: return parameterRange(RangeKind::BandGain, type, doc.unitType());
        case Field::BandQ: return parameterRange(RangeKind::Q, type, doc.unitType());
        case Field::BandType: return {0, kLastPeqType};
        case Field::Name: break;
    }
    return {0, 0};
}

bool isBandField(Field field) {
    return field == Field::BandFrequency || field == Field::BandGain || field == Field::BandQ;
}

// Why a crossover frequency inside its type's range was refused: the other filter.
std::string crossingReason(const CKorvaliserDoc& doc, const Target& t, int value) {
    const int highPass = doc.highPassFrequency(t.output);
    const int lowPass = doc.lowPassFrequency(t.output);
    if (t.field == Field::HighPassFrequency && value > lowPass)
        return ": the high-pass filter cannot go above the low-pass filter at " + frequencyText(lowPass);
    if (t.field == Field::LowPassFrequency && value < highPass)
        return ": the low-pass filter cannot go below the high-pass filter at " + frequencyText(highPass);
    return {};
}

void store(CKorvaliserDoc& doc, const Target& t, int value) {
    switch (t.field) {
        case Field::Gain: doc.setGain(t.output, value); break;
        case Field::Mute: doc.setMute(t.output, value != 0); break;
        case Field::Invert: doc.setInvert(t.output, value != 0); break;
        case Field::Delay: doc.setDelay(t.output, value); break;
        case Field::Limiter: doc.setLimiterLevel(t.output, value); break;
        case Field::HighPassFrequency: doc.setHighPassFrequency(t.output, value); break;
        case Field::HighPassSlope: doc.setHighPassSlope(t.output, value); break;
        case Field::LowPassFrequency: doc.setLowPassFrequency(t.output, value); break;
        case Field::LowPassSlope: doc.setLowPassSlope(t.output, value); break;
        case Field::BandFrequency: doc.setBandFrequency(t.output, t.band, value); break;
        case Field::BandGain: doc.setBandGain(t.output, t.band, value); break;
        case Field::BandQ: doc.setBandQ(t.output, t.band, value); break;
        case Field::BandFlat: doc.setBandFlat(t.output, t.band, value); break;
        case Field::BandType: doc.setBandType(t.output, t.band, value); break;
        case Field::Name: break;
    }
}

}  // namespace

std::string applyAssignment(CKorvaliserDoc& doc, std::string_view assignment) {
    const std::size_t equals = assignment.find('=');
    if (equals == std::string_view::npos) {
        std::string reason = "\"";  // appended: GCC 12 misreports `"..." + string&&` at -O3
        reason += assignment;
        reason += "\" is not KEY=VALUE";
        return reason;
    }
    const std::string_view key = assignment.substr(0, equals);
    const std::string_view text = assignment.substr(equals + 1);
    const std::optional<Target> target = readKey(key, doc.activeBandCount());
    if (!target) return "unknown key \"" + std::string(key) + "\"";

    if (target->field == Field::Name) {
        doc.setPresetName(-1, presetNameOf(text));
        return {};
    }
    const std::optional<int> value = readInteger(text);
    if (!value)
        return "the value of " + std::string(key) + " is not a whole number: \"" + std::string(text) + "\"";
    const ValueRange range = allowedRange(doc, *target);
    if (*value < range.minimum || *value > range.maximum) {
        std::string reason = std::string(key) + "=" + std::to_string(*value) + " is outside " +
                             std::to_string(range.minimum) + ".." + std::to_string(range.maximum);
        if (isBandField(target->field))
            reason += " for a " + typeText(doc.bandType(target->output, target->band), false) + " band";
        reason += crossingReason(doc, *target, *value);
        return reason;
    }
    store(doc, *target, *value);
    return {};
}

}  // namespace kv
