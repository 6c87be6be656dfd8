#pragma once
// "Load Measurement…": the measured response of one output (file, smoothing, level
// offset automatic or typed) and the target it should meet. OK reads what changed and
// stays open, listing the importer's errors line by line, until everything is usable;
// Cancel changes nothing. An empty file name removes the measurement.

#include <QDialog>
#include <optional>

#include "measurement/tuning/OutputTuning.h"

class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;

namespace kv {

class TargetBox;

class LoadMeasurementDialog : public QDialog {
    Q_OBJECT
public:
    LoadMeasurementDialog(const OutputTuning& current, const QString& outputName, QWidget* parent = nullptr);

    // The tuning as accepted (the current one until OK succeeded).
    const OutputTuning& tuning() const { return tuning_; }

    void accept() override;

private:
    QWidget* createMeasurementRow();
    QWidget* createOffsetRow();
    void chooseMeasurement();
    // The tuning as set up, or nothing with the reasons listed in the dialog.
    std::optional<OutputTuning> readTuning();

    OutputTuning tuning_;
    bool measurementChanged_ = false;
    QLineEdit* file_ = nullptr;
    QComboBox* smoothing_ = nullptr;
    QRadioButton* automaticOffset_ = nullptr;
    QRadioButton* typedOffset_ = nullptr;
    QDoubleSpinBox* offsetDb_ = nullptr;
    TargetBox* target_ = nullptr;
    QPlainTextEdit* errors_ = nullptr;
};

}  // namespace kv
