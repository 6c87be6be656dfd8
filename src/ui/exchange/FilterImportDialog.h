#pragma once
// "Import Filters": the preview of a filter text file put onto one output of the current
// preset. The user picks the output, the channel (when the file has channels), which
// bands to fill and, with more filters than bands, which filters to keep; the table shows
// what each line asks, what the unit gets and why, and the graph shows both responses.
// Nothing changes until OK, which writes every band as one undo step (sent at once while
// online); Cancel leaves the bank as it was. A file with unreadable lines cannot be applied.
//
// Object names: fileLabel, outputChoice, channelLabel, channelChoice, freeBandsChoice,
// replaceChoice, firstBandChoice, mappingTable, keepLabel, keepList, previewGraph,
// worstLabel, refusalLabel, okButton, cancelButton. A keepList item holds its filter's
// index in the file as Qt::UserRole.

#include <QDialog>
#include <string>
#include <vector>

#include "exchange/EqFile.h"
#include "exchange/FilterImport.h"

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace kv {

class CKorvaliserDoc;
class ImportPreviewGraph;
class MappingTable;

class FilterImportDialog : public QDialog {
    Q_OBJECT
public:
    // text: the file as read; name: how the file is named to the user; output: the output
    // offered first (0-based).
    FilterImportDialog(CKorvaliserDoc& document, const std::string& text, const QString& name, int output,
                       QWidget* parent = nullptr);

    const ImportMapping& mapping() const { return mapping_; }
    const ImportRequest& request() const { return request_; }
    MappingTable& table() const { return *table_; }
    QListWidget& keepList() const { return *keepList_; }
    QPushButton& okButton() const { return *ok_; }

private:
    QWidget* buildChoices();
    QWidget* buildKeepChoice();
    void connectChoices();
    void choicesChanged();  // output, channel or bands: the filters to keep are offered afresh
    void recompute();
    ImportRequest baseRequest() const;
    void offerFiltersToKeep();
    std::vector<std::size_t> keptFilters() const;
    void showMapping();
    void applyAndClose();

    CKorvaliserDoc& document_;
    const EqFile file_;
    std::vector<std::string> lines_;
    ImportRequest request_;
    ImportMapping mapping_;

    QComboBox* output_ = nullptr;
    QComboBox* channel_ = nullptr;
    QLabel* channelLabel_ = nullptr;
    QRadioButton* freeBands_ = nullptr;
    QRadioButton* replace_ = nullptr;
    QSpinBox* firstBand_ = nullptr;
    MappingTable* table_ = nullptr;
    QLabel* keepLabel_ = nullptr;
    QListWidget* keepList_ = nullptr;
    ImportPreviewGraph* graph_ = nullptr;
    QLabel* worst_ = nullptr;
    QLabel* refusal_ = nullptr;
    QPushButton* ok_ = nullptr;
};

}  // namespace kv
