#pragma once
// What the program is asked to do by its command line:
//   korvaliser [FILE]                       open FILE (or the most recent file)
//   korvaliser -p FILE [--printer NAME]     print FILE's current preset and quit
//   korvaliser -pt FILE PRINTER             the same on a named printer
//   korvaliser --pdf OUT FILE [--preset N]  write the report to a PDF and quit
//   korvaliser --edit FILE --preset N       edit one preset in the editor sheet alone
//   --no-splash, --simulate (a simulated amplifier on the chosen COM entry)
//   --quit-after-first-paint (for the start-up benchmark only; not in --help)

#include <QString>
#include <QStringList>

namespace kv {

struct StartupOptions {
    enum class Action { Run, Print, Pdf, Edit, Help };
    Action action = Action::Run;
    QString file;         // the document to open, print or edit
    QString printerName;  // empty: the default printer
    QString pdfPath;
    int preset = 0;  // user's preset number 1..10; 0 = the file's current preset
    bool splash = true;
    bool simulate = false;
    bool quitAfterFirstPaint = false;  // print the monotonic clock (ns) at the first paint, quit
    QString error;                     // non-empty: the command line was not understood

    bool headless() const { return action == Action::Print || action == Action::Pdf; }
};

// Parses the arguments after the program name.
StartupOptions parseCommandLine(const QStringList& arguments);
QString commandLineUsage();

}  // namespace kv
