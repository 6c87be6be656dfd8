#include "app/CommandLine.h"

#include "document/PresetBank.h"

namespace kv {

namespace {

class ArgumentReader {
public:
    explicit ArgumentReader(const QStringList& arguments) : arguments_(arguments) {}
    bool atEnd() const { return next_ >= arguments_.size(); }
    QString take() { return arguments_.at(next_++); }
    bool nextIsValue() const { return !atEnd() && !arguments_.at(next_).startsWith(QLatin1Char('-')); }
    // The value after an option; empty (and an error naming what is missing) when there
    // is none.
    QString value(const QString& option, const char* missing, StartupOptions& options) {
        if (!nextIsValue()) {
            options.error = QStringLiteral("%1 needs %2").arg(option, QLatin1String(missing));
            return {};
        }
        return take();
    }

private:
    const QStringList& arguments_;
    qsizetype next_ = 0;
};

void setAction(StartupOptions& options, StartupOptions::Action action, const QString& option) {
    if (options.action != StartupOptions::Action::Run && options.action != action)
        options.error = QStringLiteral("%1 cannot be combined with another action").arg(option);
    options.action = action;
}

void setFile(StartupOptions& options, const QString& file) {
    if (file.isEmpty()) return;
    if (!options.file.isEmpty() && options.file != file)
        options.error = QStringLiteral("only one file can be named (%1, %2)").arg(options.file, file);
    options.file = file;
}

}  // namespace

StartupOptions parseCommandLine(const QStringList& arguments) {
    StartupOptions options;
    ArgumentReader args(arguments);
    using Action = StartupOptions::Action;
    while (!args.atEnd() && options.error.isEmpty()) {
        const QString arg = args.take();
        if (arg == QLatin1String("-h") || arg == QLatin1String("--help")) {
            options.action = Action::Help;
        } else if (arg == QLatin1String("-p") || arg == QLatin1String("/p")) {
            setAction(options, Action::Print, arg);
            setFile(options, args.value(arg, "FILE, the bank file to print", options));
        } else if (arg == QLatin1String("-pt") || arg == QLatin1String("/pt")) {
            setAction(options, Action::Print, arg);
            setFile(options, args.value(arg, "FILE, the bank file to print, and PRINTER", options));
            if (options.error.isEmpty())
                options.printerName =
                    args.value(arg + QStringLiteral(" FILE"), "PRINTER, the printer to print on", options);
        } else if (arg == QLatin1String("--printer")) {
            options.printerName = args.value(arg, "NAME, the printer to print on", options);
        } else if (arg == QLatin1String("--pdf")) {
            setAction(options, Action::Pdf, arg);
            options.pdfPath = args.value(arg, "OUT, the PDF file to write, and FILE, the bank file", options);
            // FILE may follow at once or come anywhere later; a missing one is named below.
            if (options.error.isEmpty() && args.nextIsValue()) setFile(options, args.take());
        } else if (arg == QLatin1String("--edit")) {
            setAction(options, Action::Edit, arg);
            setFile(options, args.value(arg, "FILE, the bank file to edit", options));
        } else if (arg == QLatin1String("--preset")) {
            bool ok = false;
            const int n = args.value(arg, "N, a preset number from 1 to 10", options).toInt(&ok);
            if (options.error.isEmpty() && (!ok || n < 1 || n > kPresetCount))
                options.error =
                    QStringLiteral("--preset takes a preset number from 1 to %1").arg(kPresetCount);
            options.preset = n;
        } else if (arg == QLatin1String("--no-splash")) {
            options.splash = false;
        } else if (arg == QLatin1String("--simulate")) {
            options.simulate = true;
        } else if (arg == QLatin1String("--quit-after-first-paint")) {
            options.quitAfterFirstPaint = true;
        } else if (arg.startsWith(QLatin1Char('-'))) {
            options.error = QStringLiteral("unknown option %1").arg(arg);
        } else {
            setFile(options, arg);
        }
    }
    if (!options.error.isEmpty()) return options;
    if (options.action == Action::Edit && options.preset == 0)
        options.error = QStringLiteral("--edit needs --preset N");
    if (options.action == Action::Pdf && options.file.isEmpty())
        options.error = QStringLiteral("--pdf OUT needs FILE, the bank file whose report it writes");
    if (!options.printerName.isEmpty() && options.action != Action::Print)
        options.error = QStringLiteral("--printer goes with -p FILE");
    return options;
}

QString commandLineUsage() {
    return QStringLiteral(
        "Usage: korvaliser [options] [FILE.ovk]\n"
        "  FILE.ovk                    open this bank (otherwise the most recent one)\n"
        "  -p FILE [--printer NAME]    print the report of FILE and quit\n"
        "  -pt FILE PRINTER            print the report of FILE on PRINTER and quit\n"
        "  --pdf OUT FILE [--preset N] write the report of FILE to the PDF file OUT and quit\n"
        "  --edit FILE --preset N      edit preset N (1..10) of FILE in the editor alone;\n"
        "                              closing it with changes asks whether to save them to FILE\n"
        "  --no-splash                 start without the splash window\n"
        "  --simulate                  talk to a simulated amplifier instead of a serial port\n"
        "  -h, --help                  show this text\n");
}

}  // namespace kv
