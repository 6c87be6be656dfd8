#pragma once
// The target part of "Load Measurement…": flat, a tilt in dB per octave with an optional
// low shelf, or a target file. A file is read again only when the user chose or typed
// another one; otherwise the points kept with the bank stay in use.

#include <QGroupBox>
#include <QStringList>
#include <optional>

#include "measurement/tuning/TuningTarget.h"

class QCheckBox;
class QDoubleSpinBox;
class QLineEdit;
class QRadioButton;

namespace kv {

class TargetBox : public QGroupBox {
    Q_OBJECT
public:
    explicit TargetBox(const TuningTarget& current, QWidget* parent = nullptr);

    // The target as set up, reading the file when needed; on failure the reasons are
    // appended to errors, one line each.
    std::optional<TuningTarget> target(QStringList& errors) const;

private:
    void chooseFile();
    void enableFields();

    TuningTarget current_;
    bool fileChanged_ = false;
    QRadioButton* flat_ = nullptr;
    QRadioButton* tilt_ = nullptr;
    QRadioButton* file_ = nullptr;
    QDoubleSpinBox* tiltDb_ = nullptr;
    QCheckBox* lowShelf_ = nullptr;
    QDoubleSpinBox* shelfHz_ = nullptr;
    QDoubleSpinBox* shelfDb_ = nullptr;
    QLineEdit* fileName_ = nullptr;
};

}  // namespace kv
