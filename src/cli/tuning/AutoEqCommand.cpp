#include "cli/tuning/AutoEqCommand.h"

#include <CLI/CLI.hpp>
#include <array>
#include <cstdio>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "cli/BankFiles.h"
#include "cli/tuning/AutoEqArguments.h"
#include "document/ValueText.h"
#include "measurement/MeasurementImport.h"
#include "measurement/autoeq/AutoEq.h"
#include "measurement/tuning/TuningCurves.h"

namespace kv {

namespace {

struct AutoEqCommandOptions {
    std::string file;
    int preset = 1;
    int output = 1;
    std::string measurement;
    std::string target = "flat";
    std::string range = "40-16000";
    std::string bands = "free";
    double maxBoostDb = 6.0;
    bool cutsOnly = false;
    bool dryRun = false;
};

std::string decibels(double value) {
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%.2f dB", value);
    return text.data();
}

std::string withoutPadding(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string{} : text.substr(first);
}

// Every error of an import on its own line; the last gives the exit status.
int failImport(CliContext& context, const MeasurementImport& import) {
    for (std::size_t i = 0; i + 1 < import.errors.size(); ++i) context.fail(import.errors[i]);
    return context.fail(import.errors.back());
}

std::optional<TuningTarget> loadTarget(CliContext& context, const TargetArgument& argument) {
    TuningTarget target;
    if (argument.kind == TargetArgument::Kind::Tilt) {
        target.kind = TargetKind::Tilt;
        target.tiltDbPerOctave = argument.tiltDbPerOctave;
    } else if (argument.kind == TargetArgument::Kind::File) {
        const MeasurementImport import = readMeasurementFile(argument.file);
        if (!import.ok()) {
            failImport(context, import);
            return std::nullopt;
        }
        target.kind = TargetKind::File;
        target.fileName = argument.file;
        target.filePoints = import.points;
    }
    return target;
}

// "out1.band3.type=0 out1.band3.freq=252 ...": what `set` takes to make the same change.
std::string assignments(int output, const FittedBand& band) {
    const std::string key = "out" + std::to_string(output) + ".band" + std::to_string(band.band + 1) + ".";
    const PeqBand& c = band.codes;
    return key + "type=" + std::to_string(c.type) + " " + key + "freq=" + std::to_string(c.frequency) + " " +
           key + "q=" + std::to_string(c.q) + " " + key + "gain=" + std::to_string(c.gain) + " " + key +
           "flat=" + std::to_string(c.flat);
}

void writeResult(std::ostream& out, const AutoEqCommandOptions& options, const AutoEqRequest& request,
                 const std::string& target, double offsetDb, const AutoEqResult& result) {
    std::array<char, 160> heading{};
    std::snprintf(heading.data(), heading.size(), "Preset %d, output %d: %d points from %g Hz to %g Hz, ",
                  options.preset, options.output, result.points, request.options.lowHz,
                  request.options.highHz);
    std::array<char, 48> offset{};
    std::snprintf(offset.data(), offset.size(), ", measurement offset %+.1f dB\n", offsetDb);
    out << heading.data() << "target " << target << offset.data();
    out << "RMS error: before " << decibels(result.rmsBefore) << ", continuous fit "
        << decibels(result.rmsContinuous) << ", snapped to the unit's steps " << decibels(result.rmsSnapped)
        << '\n';
    for (const FittedBand& band : result.bands) {
        const PeqBand& c = band.codes;
        out << "band " << band.band + 1 << ": ";
        if (band.used)
            out << typeText(c.type, false) << ' ' << withoutPadding(frequencyText(c.frequency)) << ' '
                << bandGainText(c.gain, c.type) << " Q " << withoutPadding(bandWidthText(c.q, c.type, true));
        else
            out << "not needed, 0 dB";
        out << "   " << assignments(options.output, band) << '\n';
    }
}

int runAutoEq(CliContext& context, const AutoEqCommandOptions& options) {
    const std::optional<std::pair<double, double>> range = parseFrequencyRange(options.range);
    if (!range)
        return context.fail("\"" + options.range + "\" is not a range like 40-16000 (Hz)", kExitUsage);
    const std::optional<TargetArgument> targetArgument = parseTargetArgument(options.target);
    if (!targetArgument)
        return context.fail("\"" + options.target + "\" is not a target: flat, tilt:-1.0 or a file",
                            kExitUsage);

    CKorvaliserDoc doc;
    if (!loadBankFile(context, doc, options.file)) return kExitFailure;
    doc.selectPreset(slotOfPresetNumber(doc, options.preset));
    const int output = options.output - 1;
    std::optional<std::vector<int>> bands = parseBandList(options.bands, doc.activeBandCount());
    if (!bands)
        return context.fail("\"" + options.bands + "\" is not a list of bands 1.." +
                                std::to_string(doc.activeBandCount()) + " or free",
                            kExitUsage);
    if (bands->empty()) bands = freeBands(doc.outputChannel(output), doc.activeBandCount());
    if (bands->empty())
        return context.fail("output " + std::to_string(options.output) +
                            " has no free band; name the bands to set with --bands");

    const MeasurementImport measurement = readMeasurementFile(options.measurement);
    if (!measurement.ok()) return failImport(context, measurement);
    const std::optional<TuningTarget> target = loadTarget(context, *targetArgument);
    if (!target) return kExitFailure;

    OutputTuning tuning;
    tuning.measurementName = options.measurement;
    tuning.measurement = measurement.points;
    tuning.target = *target;
    const TuningCurves curves(tuning);

    AutoEqRequest request = autoEqRequest(doc, output, curves.measurement(), curves.target());
    request.bands = *bands;
    request.options.lowHz = range->first;
    request.options.highHz = range->second;
    request.options.maxBoostDb = options.maxBoostDb;
    request.options.cutsOnly = options.cutsOnly;
    const AutoEqResult result = fitAutoEq(request);
    if (!result.ok()) return context.fail(result.error);

    writeResult(context.out, options, request, targetText(*target), curves.offsetDb(), result);
    if (options.dryRun) {
        context.out << "Dry run: \"" << options.file << "\" was not changed.\n";
        return kExitOk;
    }
    applyAutoEq(doc, output, result);
    if (!saveBankFile(context, doc, options.file)) return kExitFailure;
    context.out << "Saved \"" << options.file << "\".\n";
    return kExitOk;
}

}  // namespace

void registerTuningCommands(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<AutoEqCommandOptions>();
    CLI::App* command = app.add_subcommand(
        "autoeq",
        "Fit bands of one output so that the measured response plus the output's response meets a target; "
        "the bands are set in the unit's own steps and the bank is saved.");
    command->add_option("file", options->file, "Bank file to change")->required();
    command->add_option("--preset", options->preset, "Preset (1..10)")
        ->required()
        ->check(CLI::Range(1, kPresetCount));
    command->add_option("--output", options->output, "Output (1|2)")
        ->required()
        ->check(CLI::Range(1, kOutputsInUse));
    command->add_option("--measurement", options->measurement, "Measured response (text export, .frd, .csv)")
        ->required();
    command
        ->add_option("--target", options->target,
                     "flat, tilt:DB_PER_OCTAVE (through 0 dB at 1 kHz) or a file")
        ->capture_default_str();
    command->add_option("--range", options->range, "Frequencies to fit, LOW-HIGH in Hz")
        ->capture_default_str();
    command->add_option("--bands", options->bands, "Bands to set: a list like 1-8 or 2,5, or free")
        ->capture_default_str();
    command->add_option("--max-boost", options->maxBoostDb, "Largest boost in dB")
        ->capture_default_str()
        ->check(CLI::Range(0.0, 15.0));
    command->add_flag("--cuts-only", options->cutsOnly, "Only cut, never boost");
    command->add_flag("--dry-run", options->dryRun, "Report the fit without changing the file");
    setCommandBody(*command, context, [&context, options] { return runAutoEq(context, *options); });
}

}  // namespace kv
