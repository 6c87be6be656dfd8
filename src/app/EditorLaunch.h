#pragma once
// `korvaliser --edit FILE --preset N`: open one preset of a bank file straight in the
// preset editor, without the main window.

#include <QString>

class QSettings;

namespace kv {

struct Prompts;

// Loads the file into a fresh document, selects the preset shown as number presetNumber
// (1..10) and runs the editor sheet modally. Its title names the file and marks unsaved
// changes; closing it with changes asks "Save changes to FILE?": Yes saves (a failed
// save is reported and the editor stays open), No leaves the file as it was, Cancel
// keeps the editor open. Returns 0 after the sheet closed, 1 when the file cannot be
// loaded or the number is outside 1..10 (the user is told why). With `simulate`, a
// simulated amplifier on a pseudo-terminal stands in for the unit. `prompts` asks the
// questions; `settings` gives the user's port, speed and Q/bandwidth choice (read only).
int runEditorStandalone(const QString& file, int presetNumber, bool simulate, const Prompts& prompts,
                        QSettings& settings);

}  // namespace kv
