#pragma once
// "Auto-EQ…": fits bands of one output of the current preset so that its measurement
// plus the output's response meets the target. The user chooses the range, the bands
// (the free ones, or those ticked), the largest boost, cuts only and whether shelves
// may be used, then "Fit" shows the RMS error before, after the continuous fit and on
// the unit's steps, and the bands it would set. OK is offered only for a fit of the
// options as they stand; the dialog itself changes nothing.

#include <QDialog>
#include <array>
#include <optional>

#include "document/PresetBank.h"
#include "measurement/autoeq/AutoEq.h"
#include "measurement/tuning/OutputTuning.h"

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTableWidget;

namespace kv {

class CKorvaliserDoc;

class AutoEqDialog : public QDialog {
    Q_OBJECT
public:
    AutoEqDialog(const CKorvaliserDoc& document, int output, const OutputTuning& tuning, bool showQ,
                 QWidget* parent = nullptr);

    // Runs the fit for the options as they stand ("Fit").
    void fit();
    // The fit of the options as they stand; nothing before "Fit" or after a change.
    const std::optional<AutoEqResult>& result() const { return result_; }

private:
    QWidget* createRangeRow();
    QWidget* createBandsBox();
    QWidget* createLimitsRow();
    QWidget* createResultBox();
    std::vector<int> chosenBands() const;
    AutoEqOptions options() const;
    void optionsChanged();  // the shown fit no longer applies
    void showResult();

    const CKorvaliserDoc& document_;
    const int output_;
    const OutputTuning tuning_;
    const bool showQ_;
    std::optional<AutoEqResult> result_;
    QSpinBox* lowHz_ = nullptr;
    QSpinBox* highHz_ = nullptr;
    QRadioButton* freeBands_ = nullptr;
    QRadioButton* chosenBands_ = nullptr;
    std::array<QCheckBox*, kBandsInUse> bandChecks_{};
    QDoubleSpinBox* maxBoost_ = nullptr;
    QCheckBox* cutsOnly_ = nullptr;
    QCheckBox* shelves_ = nullptr;
    QPushButton* fit_ = nullptr;
    QLabel* status_ = nullptr;
    QTableWidget* bands_ = nullptr;
    QPushButton* ok_ = nullptr;
};

}  // namespace kv
