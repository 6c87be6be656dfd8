#pragma once
// `korvaliser --edit FILE --preset N`: open one preset of a bank file straight in the
// preset editor, without the main window.

#include <QString>

namespace kv {

class UnitLink;
struct AppSettings;

// Points the link at the port, speed and device the user chose in the main window; the
// connection itself starts closed, as every run does, until "On Line" opens it.
void applyLinkSettings(UnitLink& link, const AppSettings& settings);

// Loads the file into a fresh document, selects the preset shown as number presetNumber
// (1..10) and runs the editor sheet modally. Returns 0 after the sheet closed, 1 when
// the file cannot be loaded or the number is outside 1..10 (the user is told why).
// The edits are not saved: the editor shows and sends, the main window saves.
// With `simulate`, a simulated amplifier on a pseudo-terminal stands in for the unit.
int runEditorStandalone(const QString& file, int presetNumber, bool simulate = false);

}  // namespace kv
