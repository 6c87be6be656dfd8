#include "cli/OfflineCommands.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/BankFiles.h"
#include "cli/PresetAssignment.h"
#include "cli/PresetReport.h"
#include "cli/ResponseListing.h"

namespace kv {

namespace {

// The options of every command live as long as the app; commands read them when they run.
struct NewOptions {
    std::string file;
    std::string unit = "KV420";
    bool force = false;
};

struct ShowOptions {
    std::string file;
    std::optional<int> preset;
    bool bandwidth = false;
};

struct SetOptions {
    std::string file;
    std::optional<int> preset;
    std::string unit;
    std::vector<std::string> assignments;
};

struct ResponseOptions {
    std::string file;
    int preset = 1;
    int output = 1;
    std::string element = "total";
    std::string model = "analog";
    bool phase = false;
};

CLI::Option* addUnitOption(CLI::App& command, std::string& unit, const char* what) {
    return command.add_option("--unit", unit, what)
        ->check(CLI::IsMember({"KV420", "KV520"}, CLI::ignore_case));
}

CLI::Option* addPresetOption(CLI::App& command, std::optional<int>& preset, const char* what) {
    return command.add_option("--preset", preset, what)->check(CLI::Range(1, kPresetCount));
}

int runNew(CliContext& context, const NewOptions& options) {
    std::error_code ec;
    if (!options.force && std::filesystem::exists(options.file, ec))
        return context.fail("\"" + options.file + "\" already exists; add --force to replace it.");
    CKorvaliserDoc doc;
    doc.setUnitType(unitTypeFromName(options.unit).value_or(kUnitKV420));
    return saveBankFile(context, doc, options.file) ? kExitOk : kExitFailure;
}

int runShow(CliContext& context, const ShowOptions& options) {
    CKorvaliserDoc doc;
    if (!loadBankFile(context, doc, options.file)) return kExitFailure;
    writeBankReport(context.out, doc, options.preset, !options.bandwidth);
    return kExitOk;
}

int runSet(CliContext& context, const SetOptions& options) {
    CKorvaliserDoc doc;
    if (!loadBankFile(context, doc, options.file)) return kExitFailure;
    if (options.preset) doc.selectPreset(slotOfPresetNumber(doc, *options.preset));
    for (const std::string& assignment : options.assignments) {
        if (const std::string problem = applyAssignment(doc, assignment); !problem.empty())
            return context.fail(problem + "; \"" + options.file + "\" was not changed.");
    }
    if (!options.unit.empty()) doc.setUnitType(unitTypeFromName(options.unit).value_or(doc.unitType()));
    return saveBankFile(context, doc, options.file) ? kExitOk : kExitFailure;
}

int runResponse(CliContext& context, const ResponseOptions& options) {
    CKorvaliserDoc doc;
    if (!loadBankFile(context, doc, options.file)) return kExitFailure;
    const std::optional<ResponseElement> element = parseResponseElement(options.element);
    if (!element) return context.fail("unknown element \"" + options.element + "\"", kExitUsage);
    const ResponseModel model = parseResponseModel(options.model).value_or(ResponseModel::Analog);
    if (element->kind == ResponseElement::Kind::Gain && model == ResponseModel::Analog)
        return context.fail("the analog model leaves the output gain out; use --model dsp for the gain word.",
                            kExitUsage);
    if (element->kind == ResponseElement::Kind::Band && element->band >= doc.activeBandCount())
        return context.fail("\"" + options.file + "\" has " + std::to_string(doc.activeBandCount()) +
                            " bands in use; there is no " + options.element + ".");
    doc.selectPreset(slotOfPresetNumber(doc, options.preset));
    writeElementListing(context.out, doc, options.output - 1, *element, model, options.phase);
    return kExitOk;
}

void addNewCommand(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<NewOptions>();
    CLI::App* command = app.add_subcommand("new", "Write a new bank file of ten default presets.");
    command->add_option("file", options->file, "Bank file to write")->required();
    addUnitOption(*command, options->unit, "Amplifier model (default KV420)");
    command->add_flag("--force", options->force, "Replace the file if it exists");
    setCommandBody(*command, context, [&context, options] { return runNew(context, *options); });
}

void addShowCommand(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<ShowOptions>();
    CLI::App* command = app.add_subcommand("show", "Print the settings of every preset, or of one.");
    command->add_option("file", options->file, "Bank file to read")->required();
    addPresetOption(*command, options->preset, "Only this preset (1..10, as the preset tree numbers them)");
    command->add_flag("--bandwidth", options->bandwidth, "Show band widths as 1/Q instead of Q");
    setCommandBody(*command, context, [&context, options] { return runShow(context, *options); });
}

void addSetCommand(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<SetOptions>();
    CLI::App* command = app.add_subcommand(
        "set",
        "Change values of one preset and save the file. Keys: name, outK.gain, outK.mute, outK.invert, "
        "outK.delay, outK.limiter, outK.hp.freq, outK.hp.slope, outK.lp.freq, outK.lp.slope, "
        "outK.bandB.freq, outK.bandB.gain, outK.bandB.q, outK.bandB.flat, outK.bandB.type (K = 1|2, B = "
        "1..8); "
        "values are the stored codes, applied in order.");
    command->add_option("file", options->file, "Bank file to change")->required();
    CLI::Option* preset = addPresetOption(*command, options->preset, "Preset to change (1..10)");
    addUnitOption(*command, options->unit, "Set the amplifier model");
    command->add_option("assignments", options->assignments, "KEY=VALUE edits")->needs(preset);
    setCommandBody(*command, context, [&context, options] { return runSet(context, *options); });
}

void addResponseCommand(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<ResponseOptions>();
    CLI::App* command =
        app.add_subcommand("response",
                           "Print the response of an output element: point, Hz and dB per line, and the "
                           "phase in degrees with --phase.");
    command->add_option("file", options->file, "Bank file to read")->required();
    command->add_option("--preset", options->preset, "Preset (1..10)")
        ->required()
        ->check(CLI::Range(1, kPresetCount));
    command->add_option("--output", options->output, "Output (1|2)")
        ->required()
        ->check(CLI::Range(1, kOutputsInUse));
    command
        ->add_option("--element", options->element,
                     "hp, lp, band1..band8, total (the sum the page graph draws) or gain (the gain "
                     "word, DSP model only)")
        ->check(CLI::Validator(
            [](const std::string& text) {
                return parseResponseElement(text) ? std::string{} : "expected hp, lp, bandB, total or gain";
            },
            "hp|lp|bandB|total|gain"));
    command
        ->add_option("--model", options->model,
                     "analog (the filters as the graphs draw them, the default) or dsp (the response of "
                     "the coefficient words sent to the unit, at its 96 kHz clock)")
        ->check(CLI::IsMember({"analog", "dsp"}));
    command->add_flag("--phase", options->phase, "Add the phase in degrees (-180..180) as a fourth column");
    setCommandBody(*command, context, [&context, options] { return runResponse(context, *options); });
}

}  // namespace

void registerOfflineCommands(CLI::App& app, CliContext& context) {
    addNewCommand(app, context);
    addShowCommand(app, context);
    addSetCommand(app, context);
    addResponseCommand(app, context);
}

}  // namespace kv
