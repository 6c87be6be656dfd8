#pragma once
// "Select Presets for Build File": tick the positions to write, then "Build Preset File"
// asks for the .bin file and writes it. The dialog closes only when a file was written;
// cancelling the file dialog or a failed write keeps the selection open.

#include <QDialog>

#include "link/PresetTransfer.h"
#include "ui/controller/PresetSelectionList.h"

class QPushButton;

namespace kv {

class CKorvaliserDoc;
struct Prompts;

class CBuildPresetFile : public QDialog {
    Q_OBJECT
public:
    CBuildPresetFile(CKorvaliserDoc& document, const Prompts& prompts, QWidget* parent = nullptr);

    PresetSelectionList& list() const { return *list_; }
    QPushButton& buildButton() const { return *build_; }
    PresetMask selection() const;
    void setTicked(int position, bool ticked);
    void selectAll();
    void clearAll();
    // Asks for the file and writes it; true when a file was written (the dialog closes).
    bool build();
    const QString& writtenPath() const { return writtenPath_; }

private:
    void updateBuildButton();

    CKorvaliserDoc& document_;
    const Prompts& prompts_;
    PresetSelectionList* list_ = nullptr;
    QPushButton* build_ = nullptr;
    QString writtenPath_;
};

}  // namespace kv
