#pragma once
// "Export Filters": one output of the current preset as a filter text file, in the format
// of Equalizer APO and AutoEq or of REW. The dialog shows the text as it will be written
// and names every band or crossover the chosen format cannot express, before "Save..."
// asks for the file. Object names: outputChoice, formatChoice, exportPreview,
// leftOutLabel, saveButton, cancelButton.

#include <QDialog>

#include "exchange/EqFileWriter.h"
#include "ui/Prompts.h"

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace kv {

class CKorvaliserDoc;

class FilterExportDialog : public QDialog {
    Q_OBJECT
public:
    FilterExportDialog(const CKorvaliserDoc& document, int output, const Prompts& prompts,
                       QWidget* parent = nullptr);

    int output() const;
    EqFormat format() const;
    const EqExport& exported() const { return exported_; }
    // Asks for the file and writes it; true when a file was written (the dialog closes).
    bool save();
    const QString& writtenPath() const { return writtenPath_; }

private:
    void refresh();
    QString proposedFileName() const;

    const CKorvaliserDoc& document_;
    const Prompts prompts_;  // a copy: the caller's may be a temporary
    QString dated_;          // REW's date line, fixed when the dialog opens
    EqExport exported_;
    QString writtenPath_;
    QComboBox* output_ = nullptr;
    QComboBox* format_ = nullptr;
    QPlainTextEdit* preview_ = nullptr;
    QLabel* leftOut_ = nullptr;
};

}  // namespace kv
