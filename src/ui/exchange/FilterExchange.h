#pragma once
// "Import Filters..." and "Export Filters..." for one output of the current preset, as
// the main window's File menu and the output page's context menu start them: the file
// dialogs go through prompts, so a test can answer them, and the preview or export
// dialog opens over parent. With prompts left empty the real file dialogs and message
// boxes open over parent.

#include "ui/Prompts.h"

class QMenu;
class QWidget;

namespace kv {

class CKorvaliserDoc;

// Asks for a filter text file, reads it and shows the import preview; true when the
// user pressed OK and the filters were written.
bool importFilters(CKorvaliserDoc& document, int output, const Prompts& prompts, QWidget* parent);

// Shows the export dialog; true when a file was written.
bool exportFilters(const CKorvaliserDoc& document, int output, const Prompts& prompts, QWidget* parent);

// Adds the two items, for `output`, to a context menu. The items keep their own copy of
// prompts and act over parent.
void addFilterExchangeItems(QMenu& menu, CKorvaliserDoc& document, int output, QWidget* parent,
                            Prompts prompts = {});

}  // namespace kv
