#include "app/CommandLine.h"

#include "document/PresetBank.h"

namespace kv {

namespace {

class ArgumentReader {
public:
    explicit ArgumentReader(const QStringList& arguments) : arguments_(arguments) {}
    bool atEnd() const { return next_ >= arguments_.size(); }
    QString take() { return arguments_.at(next_++); }
    // The value after an option; empty (and an error noted) when it is missing.
    QString value(const QString& option, StartupOptions& options) {
        if (atEnd() || arguments_.at(next_).startsWith(QLatin1Char('-'))) {
            options.error = QStringLiteral("%1 needs a value").arg(option);
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
            setFile(options, args.value(arg, options));
        } else if (arg == QLatin1String("-pt") || arg == QLatin1String("/pt")) {
            setAction(options, Action::Print, arg);
            setFile(options, args.value(arg, options));
            if (options.error.isEmpty()) options.printerName = args.value(arg, options);
        } else if (arg == QLatin1String("--printer")) {
            options.printerName = args.value(arg, options);
        } else if (arg == QLatin1String("--pdf")) {
            setAction(options, Action::Pdf, arg);
            options.pdfPath = args.value(arg, options);
            if (options.error.isEmpty()) setFile(options, args.value(arg, options));
        } else if (arg == QLatin1String("--edit")) {
            setAction(options, Action::Edit, arg);
            setFile(options, args.value(arg, options));
        } else if (arg == QLatin1String("--preset")) {
            bool ok = false;
            const int n = args.value(arg, options).toInt(&ok);
            if (options.error.isEmpty() && (!ok || n < 1 || n > kPresetCount))
                options.error =
                    QStringLiteral("--preset takes a preset number from 1 to %1").arg(kPresetCount);
            options.preset = n;
        } else if (arg == QLatin1String("--no-splash")) {
            options.splash = false;
        } else if (arg == QLatin1String("--simulate")) {
            options.simulate = true;
        } else if (arg.startsWith(QLatin1Char('-'))) {
            options.error = QStringLiteral("unknown option %1").arg(arg);
        } else {
            setFile(options, arg);
        }
    }
    if (!options.error.isEmpty()) return options;
    if (options.action == Action::Edit && options.preset == 0)
        options.error = QStringLiteral("--edit needs --preset N");
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
