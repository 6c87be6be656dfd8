#include "cli/LinkCommands.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <array>
#include <charconv>
#include <memory>
#include <ostream>
#include <vector>

#include "cli/BankFiles.h"
#include "connection/UnitConnection.h"
#include "document/KorvaliserDoc.h"
#include "link/LinkNotifier.h"
#include "link/OnlineSender.h"
#include "link/PresetBuildFile.h"
#include "link/SpeedTable.h"
#include "link/StatusPoller.h"
#include "link/UnitLink.h"
#include "protocol/UnitProtocol.h"

namespace kv {

namespace {

// --- option records (they live as long as the app) ---

struct PortOptions {
    std::string port;
    int baud = kLinkSpeeds[kDefaultBaudIndex].baudRate;
};

struct BuildOptions {
    std::string file;
    std::string presets;
    std::string output;
    std::string unit;
};

struct FramesOptions {
    std::string file;
    int preset = 1;
    std::optional<int> code;
    int output = 0;
    int band = 0;
    bool all = false;
};

struct SendAllOptions {
    PortOptions link;
    std::string file;
    int preset = 1;
};

struct StoreOptions {
    PortOptions link;
    std::string file;
    std::string presets;
};

struct RecallOptions {
    PortOptions link;
    int preset = 1;
};

struct StatusOptions {
    PortOptions link;
    std::string file;
    std::optional<int> preset;
};

// --- the link as the command line uses it ---

// The link's messages go to standard error, as the desktop program shows them in boxes.
class CliLinkNotifier final : public LinkNotifier {
public:
    explicit CliLinkNotifier(CliContext& context) : context_(context) {}
    void showLinkMessage(const std::string& text) override {
        context_.fail(text, kExitLinkFailure);
        ++shown_;
    }
    int shown() const { return shown_; }

private:
    CliContext& context_;
    int shown_ = 0;
};

int baudIndexOf(int baudRate) {
    for (int i = 0; i < kSpeedCount; ++i)
        if (kLinkSpeeds[static_cast<std::size_t>(i)].baudRate == baudRate) return i;
    return kDefaultBaudIndex;
}

// A document and its connection to the unit on the chosen port, wired as the desktop
// program wires them (the document's edits would go to the unit while online).
class LinkSession {
public:
    LinkSession(CliContext& context, const PortOptions& options) : notifier_(context) {
        connection_.choosePort(connection_.link().comPortIndex(), baudIndexOf(options.baud), options.port);
    }
    CKorvaliserDoc& document() { return document_; }
    UnitLink& link() { return connection_.link(); }
    OnlineSender& sender() { return connection_.sender(); }
    // Going online; the link has already told the user why when this is false.
    bool goOnline() { return link().online() || connection_.goOnline(); }

private:
    CKorvaliserDoc document_;
    CliLinkNotifier notifier_;
    UnitConnection connection_{document_, &notifier_};
};

std::string hexLine(std::span<const std::uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string line;
    for (const std::uint8_t b : bytes) {
        if (!line.empty()) line += ' ';
        line += kDigits[b >> 4];
        line += kDigits[b & 0x0F];
    }
    return line;
}

// The limiter threshold as the settings report writes it: level 0 is "+0dB", 6 "-6dB".
std::string limiterLevelText(int level) { return (level == 0 ? "+" : "-") + std::to_string(level) + "dB"; }

bool loadAndSelect(CliContext& context, CKorvaliserDoc& doc, const std::string& file, int presetNumber) {
    if (!loadBankFile(context, doc, file)) return false;
    doc.selectPreset(slotOfPresetNumber(doc, presetNumber));
    return true;
}

// --- command bodies ---

int runBuild(CliContext& context, const BuildOptions& options) {
    const std::optional<PresetMask> mask = parsePresetList(options.presets);
    if (!mask) return context.fail("\"" + options.presets + "\" is not a list of presets 1..10", kExitUsage);
    CKorvaliserDoc doc;
    if (!loadBankFile(context, doc, options.file)) return kExitFailure;
    if (!options.unit.empty()) doc.setUnitType(unitTypeFromName(options.unit).value_or(doc.unitType()));
    const FileResult result = writePresetBuildFile(doc, *mask, options.output);
    if (!result.ok) return context.fail(result.error);
    context.out << "Wrote presets " << presetListText(*mask) << " for the " << unitTypeName(doc.unitType())
                << " to " << options.output << " (" << presetBuildImage(doc, *mask).size << " bytes)\n";
    return kExitOk;
}

int runFrames(CliContext& context, const FramesOptions& options) {
    CKorvaliserDoc doc;
    if (!loadAndSelect(context, doc, options.file, options.preset)) return kExitFailure;
    std::vector<UnitMessage> messages;
    if (options.all) {
        const auto sequence = allParametersSequence();
        messages.assign(sequence.begin(), sequence.end());
    } else {
        messages.push_back({*options.code, options.output, options.band});
    }
    for (const UnitMessage& m : messages) {
        const std::optional<UnitFrame> frame =
            framedUnitMessage(doc.preset(-1), doc.unitType(), m.code, m.output, m.band);
        if (!frame)
            return context.fail("message code " + std::to_string(m.code) + " with output " +
                                    std::to_string(m.output) + " and band " + std::to_string(m.band) +
                                    " builds no frame",
                                kExitUsage);
        context.out << hexLine(frame->view()) << '\n';
    }
    return kExitOk;
}

int runIdentify(CliContext& context, const PortOptions& options) {
    LinkSession session(context, options);
    if (!session.goOnline()) return kExitLinkFailure;
    const int baud = linkSpeed(session.link().baudIndex()).baudRate;
    context.out << "Identified a " << unitTypeName(session.document().unitType()) << " on " << options.port
                << " at " << baud << " baud\n";
    return kExitOk;
}

int runSendAll(CliContext& context, const SendAllOptions& options) {
    LinkSession session(context, options.link);
    if (!loadAndSelect(context, session.document(), options.file, options.preset)) return kExitFailure;
    const SendAllSummary summary = session.sender().sendAllParametersSummary();
    if (!summary.online) return kExitLinkFailure;
    context.out << "Sent preset " << options.preset << ": " << summary.acknowledged << " of " << summary.sent
                << " messages acknowledged\n";
    const int missing = summary.sent - summary.acknowledged;
    if (missing > 0)
        return context.fail(std::to_string(missing) + (missing == 1 ? " message was" : " messages were") +
                                " refused or not answered by the unit",
                            kExitLinkFailure);
    return kExitOk;
}

int runStore(CliContext& context, const StoreOptions& options) {
    const std::optional<PresetMask> mask = parsePresetList(options.presets);
    if (!mask) return context.fail("\"" + options.presets + "\" is not a list of presets 1..10", kExitUsage);
    LinkSession session(context, options.link);
    if (!loadBankFile(context, session.document(), options.file)) return kExitFailure;
    PresetTransfer transfer(session.link(), session.document(), session.sender());
    // Numbered 1..10 like the summary and --presets; the program's wait window keeps
    // its own zero-based text.
    const StoreSummary summary = transfer.storeSelections(
        *mask, [&](int position) { context.out << "Sending preset " << position + 1 << '\n'; });
    if (!summary.started) return kExitLinkFailure;
    if (summary.acknowledgedMask == *mask) {
        context.out << "Stored presets " << presetListText(*mask) << '\n';
        return kExitOk;
    }
    const auto missing = static_cast<PresetMask>(*mask & ~summary.acknowledgedMask);
    return context.fail("presets " + presetListText(missing) + " were not stored by the unit",
                        kExitLinkFailure);
}

int runRecall(CliContext& context, const RecallOptions& options) {
    LinkSession session(context, options.link);
    PresetTransfer transfer(session.link(), session.document(), session.sender());
    if (!session.goOnline()) return kExitLinkFailure;
    if (!transfer.recallUnitPreset(options.preset - 1))
        return context.fail("the unit did not accept the recall of preset " + std::to_string(options.preset),
                            kExitLinkFailure);
    context.out << "The unit recalled preset " << options.preset << '\n';
    return kExitOk;
}

int runStatus(CliContext& context, const StatusOptions& options) {
    LinkSession session(context, options.link);
    CKorvaliserDoc& doc = session.document();
    if (!options.file.empty() && !loadAndSelect(context, doc, options.file, options.preset.value_or(1)))
        return kExitFailure;
    if (!session.goOnline()) return kExitLinkFailure;
    UnitLink& link = session.link();
    const std::optional<MeterReading> meters = queryMeters(link, doc.unitType());
    if (!meters) return context.fail("the unit did not answer the meter query", kExitLinkFailure);
    const std::optional<int> temperature = queryTemperature(link, doc.unitType());
    if (!temperature) return context.fail("the unit did not answer the temperature query", kExitLinkFailure);
    const int celsius = *temperature;
    const std::array<int, 2> raw{meters->raw1, meters->raw2};
    for (int output = 0; output < kOutputsInUse; ++output) {
        const int value = meterValue(raw[static_cast<std::size_t>(output)], doc.limiterLevel(output));
        context.out << "Output " << output + 1 << " meter: " << value << " (reading "
                    << raw[static_cast<std::size_t>(output)] << ", limiter "
                    << limiterLevelText(doc.limiterLevel(output)) << ")\n";
    }
    context.out << "Temperature:" << temperatureText(celsius) << '\n'
                << "Status: " << thermalStatusText(celsius) << '\n';
    return kExitOk;
}

// --- registration ---

void addPortOptions(CLI::App& command, PortOptions& options) {
    command.add_option("--port", options.port, "Serial device of the amplifier, e.g. /dev/ttyUSB0")
        ->required();
    std::vector<int> rates;
    for (const LinkSpeed& speed : kLinkSpeeds) rates.push_back(speed.baudRate);
    command.add_option("--baud", options.baud, "Speed to start at (default 115200)")
        ->check(CLI::IsMember(rates));
}

CLI::Option* addPresetNumber(CLI::App& command, int& preset, const char* what) {
    return command.add_option("--preset", preset, what)->check(CLI::Range(1, kPresetCount));
}

void addBuildCommand(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<BuildOptions>();
    CLI::App* command = app.add_subcommand(
        "build", "Write chosen presets to a preset build file (.bin) in the form the unit stores them.");
    command->add_option("file", options->file, "Bank file to read")->required();
    command->add_option("--presets", options->presets, "Presets to include: all, or a list like 1,4,7-10")
        ->required();
    command->add_option("-o,--output", options->output, "Build file to write")->required();
    command->add_option("--unit", options->unit, "Amplifier model the file is for (default: the bank's)")
        ->check(CLI::IsMember({"KV420", "KV520"}, CLI::ignore_case));
    setCommandBody(*command, context, [&context, options] { return runBuild(context, *options); });
}

void addFramesCommand(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<FramesOptions>();
    CLI::App* command = app.add_subcommand(
        "frames", "Print the frames a message would put on the wire, one per line in hex, without sending.");
    command->add_option("file", options->file, "Bank file to read")->required();
    addPresetNumber(*command, options->preset, "Preset (1..10)")->required();
    CLI::Option* code =
        command->add_option("--code", options->code, "Message code (1, 2, 3, 11, 12, 22, 26..29)");
    command->add_option("--output", options->output,
                        "Output 1|2; the slot byte 0..9 for code 28, the preset number 1..10 for code 29");
    command->add_option("--band", options->band, "Band 1..8 for code 3");
    CLI::Option* all = command->add_flag("--all", options->all, "The whole-preset sequence of 29 messages");
    code->excludes(all);
    setCommandBody(*command, context, [&context, options] {
        if (!options->all && !options->code) return context.fail("give --code or --all", kExitUsage);
        return runFrames(context, *options);
    });
}

void addIdentifyCommand(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<PortOptions>();
    CLI::App* command =
        app.add_subcommand("identify", "Identify the amplifier on the port and print its model.");
    addPortOptions(*command, *options);
    setCommandBody(*command, context, [&context, options] { return runIdentify(context, *options); });
}

void addSendAllCommand(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<SendAllOptions>();
    CLI::App* command = app.add_subcommand(
        "send-all", "Send the whole of one preset to the amplifier's running settings, as \"On Line\" does.");
    command->add_option("file", options->file, "Bank file to read")->required();
    addPresetNumber(*command, options->preset, "Preset (1..10)")->required();
    addPortOptions(*command, options->link);
    setCommandBody(*command, context, [&context, options] { return runSendAll(context, *options); });
}

void addStoreCommand(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<StoreOptions>();
    CLI::App* command = app.add_subcommand(
        "store", "Store chosen presets into the amplifier's preset slots of the same numbers.");
    command->add_option("file", options->file, "Bank file to read")->required();
    command->add_option("--presets", options->presets, "Presets to store: all, or a list like 1,4,7-10")
        ->required();
    addPortOptions(*command, options->link);
    setCommandBody(*command, context, [&context, options] { return runStore(context, *options); });
}

void addRecallCommand(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<RecallOptions>();
    CLI::App* command = app.add_subcommand("recall", "Make the amplifier recall one of its stored presets.");
    command->add_option("preset", options->preset, "Unit preset (1..10)")
        ->required()
        ->check(CLI::Range(1, kPresetCount));
    addPortOptions(*command, options->link);
    setCommandBody(*command, context, [&context, options] { return runRecall(context, *options); });
}

void addStatusCommand(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<StatusOptions>();
    CLI::App* command = app.add_subcommand(
        "status", "Read both meters and the temperature; meters are scaled by a preset's limiter levels.");
    CLI::Option* file = command->add_option("file", options->file, "Bank file whose preset gives the levels");
    CLI::Option* preset = command->add_option("--preset", options->preset, "Preset (1..10)")
                              ->check(CLI::Range(1, kPresetCount));
    preset->needs(file);
    addPortOptions(*command, options->link);
    setCommandBody(*command, context, [&context, options] { return runStatus(context, *options); });
}

bool appendRange(std::string_view item, PresetMask& mask) {
    const auto number = [](std::string_view text, int& value) {
        while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
        while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        return !text.empty() && error == std::errc{} && end == text.data() + text.size() && value >= 1 &&
               value <= kPresetCount;
    };
    const std::size_t dash = item.find('-');
    int first = 0;
    int last = 0;
    if (dash == std::string_view::npos) {
        if (!number(item, first)) return false;
        last = first;
    } else if (!number(item.substr(0, dash), first) || !number(item.substr(dash + 1), last) || last < first) {
        return false;
    }
    for (int n = first; n <= last; ++n) mask = static_cast<PresetMask>(mask | (1u << (n - 1)));
    return true;
}

}  // namespace

std::optional<PresetMask> parsePresetList(std::string_view text) {
    if (text == "all" || text == "ALL" || text == "All") return kAllPresets;
    PresetMask mask = 0;
    while (true) {
        const std::size_t comma = text.find(',');
        if (!appendRange(text.substr(0, comma), mask)) return std::nullopt;
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    return mask;
}

std::string presetListText(PresetMask mask) {
    std::string text;
    for (int position = 0; position < kPresetCount; ++position) {
        if ((mask & (1u << position)) == 0) continue;
        if (!text.empty()) text += ", ";
        text += std::to_string(position + 1);
    }
    return text;
}

void registerLinkCommands(CLI::App& app, CliContext& context) {
    addBuildCommand(app, context);
    addFramesCommand(app, context);
    addIdentifyCommand(app, context);
    addSendAllCommand(app, context);
    addStoreCommand(app, context);
    addRecallCommand(app, context);
    addStatusCommand(app, context);
}

}  // namespace kv
