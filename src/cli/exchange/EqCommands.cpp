#include "cli/exchange/EqCommands.h"

#include <CLI/CLI.hpp>
#include <array>
#include <ctime>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/BankFiles.h"
#include "cli/exchange/EqImportReport.h"
#include "document/file/AtomicFile.h"
#include "document/file/TextCodec.h"
#include "exchange/EqFileParser.h"
#include "exchange/EqFileWriter.h"
#include "exchange/FilterImport.h"

namespace kv {

namespace {

struct ImportOptions {
    std::string bank;
    std::string eqFile;
    int preset = 1;
    int output = 1;
    std::string channel;
    std::optional<int> firstBand;
    bool keepLargest = false;
    bool dryRun = false;
};

struct ExportOptions {
    std::string bank;
    int preset = 1;
    int output = 1;
    std::string format = "apo";
    std::string file;
};

void addPresetAndOutput(CLI::App& command, int& preset, int& output) {
    command.add_option("--preset", preset, "Preset (1..10)")->required()->check(CLI::Range(1, kPresetCount));
    command.add_option("--output", output, "Output (1|2)")->required()->check(CLI::Range(1, kOutputsInUse));
}

std::optional<std::string> readEqText(CliContext& context, const std::string& path) {
    std::vector<std::uint8_t> bytes;
    // One byte more than a filter file may hold, so the parser can tell the file is too large.
    if (const FileResult result = readFilePrefix(path, kMaxEqFileBytes + 1, bytes); !result.ok) {
        context.fail(result.error);
        return std::nullopt;
    }
    return std::string(bytes.begin(), bytes.end());
}

std::string presetTitle(const CKorvaliserDoc& doc, int preset, int output) {
    return "Korvaliser preset " + std::to_string(preset) + " \"" + toUtf8(doc.presetNameText(-1)) +
           "\", Output " + std::to_string(output);
}

ImportRequest requestOf(const ImportOptions& options) {
    ImportRequest request;
    request.output = options.output - 1;
    request.channel = options.channel;
    if (options.firstBand) {
        request.placement = BandPlacement::ReplaceFrom;
        request.firstBand = *options.firstBand - 1;
    }
    request.keep = options.keepLargest ? KeepChoice::Largest : KeepChoice::All;
    return request;
}

int runImport(CliContext& context, const ImportOptions& options) {
    CKorvaliserDoc doc;
    if (!loadBankFile(context, doc, options.bank)) return kExitFailure;
    const std::optional<std::string> text = readEqText(context, options.eqFile);
    if (!text) return kExitFailure;
    const EqFile file = parseEqFile(*text);
    doc.selectPreset(slotOfPresetNumber(doc, options.preset));
    const ImportMapping mapping = mapEqFile(file, doc, requestOf(options));

    context.out << presetTitle(doc, options.preset, options.output) << ", from \"" << options.eqFile
                << "\"\n";
    writeImportReport(context.out, mapping, file);
    writeEqFileErrors(context.err, file, options.eqFile);
    if (!mapping.canApply()) {
        std::string refusal = mapping.refusal;
        if (!options.keepLargest && mapping.filtersNeedingBands > static_cast<int>(mapping.bands.size()))
            refusal += " (--keep-largest keeps those with the largest effect)";
        return context.fail(refusal + "; \"" + options.bank + "\" was not changed.");
    }
    if (options.dryRun) {
        context.out << "Dry run: \"" << options.bank << "\" was not changed.\n";
        return kExitOk;
    }
    applyImportPlan(doc, mapping.plan);
    return saveBankFile(context, doc, options.bank) ? kExitOk : kExitFailure;
}

// REW's own form of the date line: 14-Mar-2024 10:15:32.
std::string dateLine() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local) == nullptr) return {};
    std::array<char, 32> text{};
    return std::strftime(text.data(), text.size(), "%d-%b-%Y %H:%M:%S", &local) > 0 ? text.data() : "";
}

int runExport(CliContext& context, const ExportOptions& options) {
    CKorvaliserDoc doc;
    if (!loadBankFile(context, doc, options.bank)) return kExitFailure;
    doc.selectPreset(slotOfPresetNumber(doc, options.preset));
    const EqFormat format = options.format == "rew" ? EqFormat::Rew : EqFormat::Apo;
    const EqExportHeader header{presetTitle(doc, options.preset, options.output),
                                format == EqFormat::Rew ? dateLine() : std::string()};
    const EqExport exported =
        writeEqFile(doc.outputChannel(options.output - 1), doc.activeBandCount(), format, header);
    if (options.file.empty()) {
        context.out << exported.text;
    } else {
        const std::vector<std::uint8_t> bytes(exported.text.begin(), exported.text.end());
        if (const FileResult result = writeFileAtomically(options.file, bytes); !result.ok)
            return context.fail(result.error);
    }
    for (const std::string& item : exported.leftOut)
        context.err << "korvaliser-cli: not in the file (the format cannot express it): " << item << '\n';
    return kExitOk;
}

void addImportCommand(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<ImportOptions>();
    CLI::App* command = app.add_subcommand(
        "import-eq",
        "Put the filters of a REW, Equalizer APO or AutoEq text file onto an output's bands, print how each "
        "was set, and save the bank.");
    command->add_option("file", options->bank, "Bank file to change")->required();
    command->add_option("eq-file", options->eqFile, "Filter text file to read")->required();
    addPresetAndOutput(*command, options->preset, options->output);
    command->add_option("--channel", options->channel, "The channel to take when the file selects channels");
    command
        ->add_option("--first-band", options->firstBand,
                     "Replace the bands from this one on (1..8); without it the filters fill the free bands")
        ->check(CLI::Range(1, kBandsInUse));
    command->add_flag("--keep-largest", options->keepLargest,
                      "With more filters than bands, keep those with the largest effect");
    command->add_flag("--dry-run", options->dryRun, "Print the report but change nothing");
    setCommandBody(*command, context, [&context, options] { return runImport(context, *options); });
}

void addExportCommand(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<ExportOptions>();
    CLI::App* command = app.add_subcommand(
        "export-eq", "Write an output's filters as an Equalizer APO/AutoEq or REW filter text file.");
    command->add_option("file", options->bank, "Bank file to read")->required();
    addPresetAndOutput(*command, options->preset, options->output);
    command->add_option("--format", options->format, "apo (Equalizer APO and AutoEq, the default) or rew")
        ->check(CLI::IsMember({"apo", "rew"}));
    command->add_option("-o", options->file, "File to write (default: standard output)");
    setCommandBody(*command, context, [&context, options] { return runExport(context, *options); });
}

}  // namespace

void registerEqCommands(CLI::App& app, CliContext& context) {
    addImportCommand(app, context);
    addExportCommand(app, context);
}

}  // namespace kv
