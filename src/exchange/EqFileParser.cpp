#include "exchange/EqFileParser.h"

#include <array>
#include <cmath>
#include <span>
#include <string>

#include "document/CodeScales.h"
#include "exchange/EqTokens.h"
#include "response/analog/FilterCurve.h"

namespace kv {

namespace {

// Frequencies the unit's scale can hold: index 13 (10.0 Hz) to 433 (the top step).
constexpr int kLowestIndex = 13;
constexpr int kHighestIndex = 433;
constexpr double kLargestGainDb = 100.0;  // beyond this a gain is a typing slip, not a filter
constexpr double kLargestQ = 1000.0;
constexpr double kWidestBandwidthOct = 10.0;
constexpr double kSlopelessQ = 0.71;  // shelves without Q, LP and HP
constexpr std::size_t kRequestMaximum = 80;

enum class QRule { Required, Optional, None };

struct FilterType {
    std::string_view name;
    EqTarget target;
    int peqType;
    bool needsGain;
    QRule q;
};

constexpr std::array<FilterType, 17> kFilterTypes{{
    {"PK", EqTarget::Band, PeqPeaking, true, QRule::Required},
    {"PEQ", EqTarget::Band, PeqPeaking, true, QRule::Required},
    {"LS", EqTarget::Band, PeqLowShelf, true, QRule::Optional},
    {"LSC", EqTarget::Band, PeqLowShelf, true, QRule::Optional},
    {"HS", EqTarget::Band, PeqHighShelf, true, QRule::Optional},
    {"HSC", EqTarget::Band, PeqHighShelf, true, QRule::Optional},
    {"NO", EqTarget::Band, PeqNotch, false, QRule::Required},
    {"AP", EqTarget::Band, PeqAllPass, false, QRule::Required},
    {"BP", EqTarget::Band, PeqBandPass, false, QRule::Required},
    {"LPQ", EqTarget::Band, PeqVariQLowPass, false, QRule::Required},
    {"HPQ", EqTarget::Band, PeqVariQHighPass, false, QRule::Required},
    {"LP", EqTarget::Band, PeqVariQLowPass, false, QRule::Optional},
    {"HP", EqTarget::Band, PeqVariQHighPass, false, QRule::Optional},
    {"LP1", EqTarget::LowPassCrossover, PeqLowPass, false, QRule::None},
    {"HP1", EqTarget::HighPassCrossover, PeqHighPass, false, QRule::None},
    {"LSD", EqTarget::Refused, 0, false, QRule::None},
    {"HSD", EqTarget::Refused, 0, false, QRule::None},
}};

const FilterType* filterTypeNamed(std::string_view name) {
    for (const FilterType& type : kFilterTypes)
        if (sameWord(type.name, name)) return &type;
    return nullptr;
}

bool isShelf(const FilterType& type) { return type.peqType == PeqLowShelf || type.peqType == PeqHighShelf; }

// "6dB", or "6" followed by "dB": the fixed slope of a shelf variant. Returns the number
// of words it takes, 0 when there is none.
std::size_t shelfSlopeWords(std::span<const std::string_view> words) {
    if (words.empty()) return 0;
    const std::string_view first = words[0];
    if (first.size() > 2 && sameWord(first.substr(first.size() - 2), "dB") && readNumber(first, "dB").value)
        return 1;
    if (words.size() >= 2 && readNumber(first).value && sameWord(words[1], "dB")) return 2;
    return 0;
}

std::string joined(std::span<const std::string_view> words) {
    std::string text;
    for (const std::string_view word : words) {
        if (!text.empty()) text += ' ';
        text += word;
        if (text.size() > kRequestMaximum) break;
    }
    return shortened(text, kRequestMaximum);
}

struct FilterParameters {
    std::optional<double> fc, gain, q, bandwidth;
};

class Parser {
public:
    EqFile run(std::string_view text);

private:
    void readLine(int line, std::string_view text);
    void readCommand(int line, const EqCommand& command);
    void readFilter(int line, std::string_view rest);
    void readFilterOfType(int line, const FilterType& type, std::span<const std::string_view> words,
                          std::string request);
    void readPreamp(int line, std::string_view rest);
    void readChannel(int line, std::string_view rest);
    void refuse(int line, std::string request, std::string reason);
    void note(int line, EqMessageKind kind, std::string text);
    void error(int line, std::string text) { note(line, EqMessageKind::Error, std::move(text)); }
    void ignored(int line, std::string text) { note(line, EqMessageKind::Ignored, std::move(text)); }

    EqFile file_;
    int scope_ = 0;
    bool rewHeader_ = false;
    bool seenFilter_ = false;
};

EqFile Parser::run(std::string_view text) {
    if (text.size() > kMaxEqFileBytes) {
        error(0, "the file is larger than 1 MiB; filter files are a few kilobytes");
        return std::move(file_);
    }
    if (text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF")) {
        error(0, "the file is UTF-16 text; save it as UTF-8");
        return std::move(file_);
    }
    const std::vector<std::string_view> lines = splitEqLines(text);
    for (std::size_t i = 0; i < lines.size(); ++i) readLine(static_cast<int>(i + 1), lines[i]);
    return std::move(file_);
}

void Parser::readLine(int line, std::string_view text) {
    if (!isPlainText(text)) return error(line, "not text (binary data or control characters)");
    const std::vector<std::string_view> words = splitWords(text);
    if (words.empty() || words.front().starts_with('#')) return;
    if (words.size() == 3 && sameWord(words[0], "Filter") && sameWord(words[1], "Settings") &&
        sameWord(words[2], "file")) {
        rewHeader_ = true;
        return;
    }
    if (sameWord(words.front(), "Room") && words.size() >= 3 && sameWord(words[1], "EQ")) return;
    if (const std::optional<EqCommand> command = commandOf(text)) return readCommand(line, *command);
    // REW writes the measurement's name and the notes as plain lines before the filters.
    if (rewHeader_ && !seenFilter_) return;
    ignored(line, "not a filter or a command; ignored");
}

void Parser::readCommand(int line, const EqCommand& command) {
    if (sameWord(command.name, "Filter")) return readFilter(line, command.rest);
    if (command.number)
        return ignored(line, quotedPiece(command.name) + " is not a command used here; ignored");
    if (sameWord(command.name, "Preamp")) return readPreamp(line, command.rest);
    if (sameWord(command.name, "Channel")) return readChannel(line, command.rest);
    for (const std::string_view header : {"Dated", "Notes", "Equaliser", "Equalizer"})
        if (sameWord(command.name, header)) return;
    ignored(line, quotedPiece(std::string(command.name) + ":") + " is not used here; ignored");
}

void Parser::readFilter(int line, std::string_view rest) {
    const std::vector<std::string_view> words = splitWords(rest);
    if (words.empty()) return error(line, "\"Filter:\" needs ON or OFF and a filter type");
    const bool on = sameWord(words[0], "ON");
    if (!on && !sameWord(words[0], "OFF"))
        return error(line, "expected ON or OFF, found " + quotedPiece(words[0]));
    if (words.size() < 2) return error(line, "no filter type after " + std::string(words[0]));
    if (sameWord(words[1], "None")) return;  // an unused filter slot
    seenFilter_ = true;
    if (!on) return ignored(line, "filter switched off; skipped");
    const std::span<const std::string_view> afterOn(words.begin() + 1, words.end());
    std::string request = joined(afterOn);
    const FilterType* type = filterTypeNamed(words[1]);
    if (type == nullptr)
        return refuse(line, std::move(request),
                      quotedPiece(words[1]) + " is not a filter type the unit can make");
    if (type->target == EqTarget::Refused)
        return refuse(
            line, std::move(request),
            quotedPiece(words[1]) + " shelves are not ones the unit can make (its shelves are set by Q)");
    std::span<const std::string_view> parameters = afterOn.subspan(1);
    if (isShelf(*type)) {
        if (shelfSlopeWords(parameters) > 0)
            return refuse(line, std::move(request),
                          "a shelf with a fixed slope in dB per octave is not one the unit can make "
                          "(its shelves are set by Q)");
    }
    readFilterOfType(line, *type, parameters, std::move(request));
}

// "Fc 105 Hz", "Gain -3.5 dB", "Q 0.7", "BW Oct 0.5", in any order. Returns the problem.
std::string readParameters(std::span<const std::string_view> words, FilterParameters& p) {
    std::size_t i = 0;
    const auto takeNumber = [&](std::optional<double>& slot, std::string_view name,
                                std::string_view unit) -> std::string {
        if (slot) return std::string(name) + " is given twice";
        if (i >= words.size()) return std::string(name) + " has no value";
        const NumberRead read = readNumber(words[i], unit);
        if (!read.value) return std::string(name) + ": " + read.problem;
        slot = read.value;
        ++i;
        if (!unit.empty() && i < words.size() && sameWord(words[i], unit)) ++i;
        return {};
    };
    while (i < words.size()) {
        const std::string_view key = words[i++];
        std::string problem;
        if (sameWord(key, "Fc"))
            problem = takeNumber(p.fc, "Fc", "Hz");
        else if (sameWord(key, "Gain"))
            problem = takeNumber(p.gain, "Gain", "dB");
        else if (sameWord(key, "Q"))
            problem = takeNumber(p.q, "Q", {});
        else if (sameWord(key, "BW") && i < words.size() && sameWord(words[i], "Oct")) {
            ++i;
            problem = takeNumber(p.bandwidth, "BW Oct", {});
        } else
            problem = "unexpected " + quotedPiece(key);
        if (!problem.empty()) return problem;
    }
    return {};
}

// What is wrong with the values a filter type was given; empty when nothing is.
std::string checkParameters(const FilterType& type, const FilterParameters& p) {
    const std::string name(type.name);
    if (!p.fc) return name + " needs Fc";
    const int index = nearestFrequencyIndex(*p.fc);
    if (index < kLowestIndex || index > kHighestIndex)
        return "Fc " + shortNumber(*p.fc) + " Hz is outside the unit's range (10 Hz to 32 kHz)";
    if (type.needsGain && !p.gain) return name + " needs a Gain";
    if (p.gain && std::fabs(*p.gain) > kLargestGainDb)
        return "Gain " + shortNumber(*p.gain) + " dB is beyond any filter (at most 100 dB either way)";
    if (p.q && p.bandwidth) return "give Q or BW Oct, not both";
    if (type.q == QRule::None && (p.q || p.bandwidth)) return name + " takes no Q";
    if (type.q == QRule::Required && !p.q && !p.bandwidth) return name + " needs a Q or a BW Oct";
    if (p.q && !(*p.q > 0.0 && *p.q <= kLargestQ)) return "Q " + shortNumber(*p.q) + " is outside 0 to 1000";
    if (p.bandwidth && !(*p.bandwidth > 0.0 && *p.bandwidth <= kWidestBandwidthOct))
        return "BW Oct " + shortNumber(*p.bandwidth) + " is outside 0 to 10 octaves";
    return {};
}

void Parser::readFilterOfType(int line, const FilterType& type, std::span<const std::string_view> words,
                              std::string request) {
    FilterParameters p;
    if (std::string problem = readParameters(words, p); !problem.empty()) return error(line, problem);
    if (std::string problem = checkParameters(type, p); !problem.empty()) return error(line, problem);
    EqFilter filter;
    filter.line = line;
    filter.request = std::move(request);
    filter.target = type.target;
    filter.peqType = type.peqType;
    filter.frequency = *p.fc;
    filter.hasGain = p.gain.has_value();
    filter.gainDb = p.gain.value_or(0.0);
    filter.q = p.bandwidth ? qOfBandwidth(*p.bandwidth) : p.q.value_or(kSlopelessQ);
    filter.scope = scope_;
    file_.filters.push_back(std::move(filter));
}

void Parser::readPreamp(int line, std::string_view rest) {
    const std::vector<std::string_view> words = splitWords(rest);
    if (words.empty()) return error(line, "\"Preamp:\" has no value");
    const NumberRead read = readNumber(words[0], "dB");
    if (!read.value) return error(line, "Preamp: " + read.problem);
    if (words.size() > 2 || (words.size() == 2 && !sameWord(words[1], "dB")))
        return error(line, "unexpected " + quotedPiece(words.back()) + " after the Preamp value");
    if (std::fabs(*read.value) > kLargestGainDb)
        return error(line, "Preamp " + shortNumber(*read.value) +
                               " dB is beyond any gain (at most 100 dB either way)");
    file_.preamps.push_back({line, *read.value, scope_});
}

void Parser::readChannel(int line, std::string_view rest) {
    const std::vector<std::string_view> words = splitWords(rest);
    if (words.empty()) return error(line, "\"Channel:\" names no channel");
    for (const std::string_view word : words) {
        if (sameWord(word, "all")) {
            scope_ = 0;
            return;
        }
    }
    std::vector<std::string> names;
    for (const std::string_view word : words) {
        names.emplace_back(word);
        bool known = false;
        for (const std::string& channel : file_.channels) known = known || sameWord(channel, word);
        if (!known) file_.channels.emplace_back(word);
    }
    file_.scopes.push_back(std::move(names));
    scope_ = static_cast<int>(file_.scopes.size()) - 1;
}

void Parser::refuse(int line, std::string request, std::string reason) {
    EqFilter filter;
    filter.line = line;
    filter.request = std::move(request);
    filter.target = EqTarget::Refused;
    filter.refusal = std::move(reason);
    filter.scope = scope_;
    file_.filters.push_back(std::move(filter));
}

void Parser::note(int line, EqMessageKind kind, std::string text) {
    if (kind == EqMessageKind::Error) ++file_.errorLines;
    if (file_.messages.size() < kMaxEqMessages)
        file_.messages.push_back({line, kind, std::move(text)});
    else
        ++file_.messagesLeftOut;
}

}  // namespace

EqFile parseEqFile(std::string_view text) { return Parser{}.run(text); }

double qOfBandwidth(double octaves) {
    const double twoToN = std::exp2(octaves);
    return std::sqrt(twoToN) / (twoToN - 1.0);
}

}  // namespace kv
