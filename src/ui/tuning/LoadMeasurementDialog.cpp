#include "ui/tuning/LoadMeasurementDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/tuning/TargetBox.h"
#include "ui/tuning/TuningWidgets.h"

namespace kv {

namespace {

QString smoothingCaption(Smoothing smoothing) {
    return smoothing == Smoothing::None
               ? QStringLiteral("None")
               : QString::fromUtf8(smoothingName(smoothing)) + QStringLiteral(" octave");
}

}  // namespace

LoadMeasurementDialog::LoadMeasurementDialog(const OutputTuning& current, const QString& outputName,
                                             QWidget* parent)
    : QDialog(parent), tuning_(current) {
    setObjectName(QStringLiteral("loadMeasurementDialog"));
    setWindowTitle(QStringLiteral("Load Measurement - ") + outputName);

    smoothing_ = new QComboBox(this);
    smoothing_->setObjectName(QStringLiteral("smoothing"));
    for (const Smoothing smoothing : kSmoothings) {
        smoothing_->addItem(smoothingCaption(smoothing));
        if (smoothing == current.smoothing) smoothing_->setCurrentIndex(smoothing_->count() - 1);
    }
    target_ = new TargetBox(current.target, this);
    errors_ = new QPlainTextEdit(this);
    errors_->setObjectName(QStringLiteral("importErrors"));
    errors_->setReadOnly(true);
    errors_->hide();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("buttons"));
    connect(buttons, &QDialogButtonBox::accepted, this, &LoadMeasurementDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &LoadMeasurementDialog::reject);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Measurement:"), createMeasurementRow());
    form->addRow(QStringLiteral("Smoothing:"), smoothing_);
    form->addRow(QStringLiteral("Level offset:"), createOffsetRow());
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(target_);
    layout->addWidget(errors_);
    layout->addWidget(buttons);
}

QWidget* LoadMeasurementDialog::createMeasurementRow() {
    auto* row = new QWidget(this);
    file_ = new QLineEdit(QString::fromStdString(tuning_.measurementName), row);
    file_->setObjectName(QStringLiteral("measurementFile"));
    file_->setMinimumWidth(320);
    auto* browse = new QPushButton(QStringLiteral("Browse…"), row);
    browse->setObjectName(QStringLiteral("browseMeasurement"));
    connect(file_, &QLineEdit::textEdited, this, [this] { measurementChanged_ = true; });
    connect(browse, &QPushButton::clicked, this, &LoadMeasurementDialog::chooseMeasurement);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(file_);
    layout->addWidget(browse);
    return row;
}

QWidget* LoadMeasurementDialog::createOffsetRow() {
    auto* row = new QWidget(this);
    automaticOffset_ = new QRadioButton(QStringLiteral("Automatic (200 Hz to 2 kHz at 0 dB)"), row);
    automaticOffset_->setObjectName(QStringLiteral("automaticOffset"));
    typedOffset_ = new QRadioButton(QStringLiteral("Typed"), row);
    typedOffset_->setObjectName(QStringLiteral("typedOffset"));
    offsetDb_ = numberBox(row, "offsetDb", {-kMaxTypedOffsetDb, kMaxTypedOffsetDb, 1, 0.5},
                          tuning_.typedOffsetDb, QStringLiteral(" dB"));
    (tuning_.automaticOffset ? automaticOffset_ : typedOffset_)->setChecked(true);
    offsetDb_->setEnabled(!tuning_.automaticOffset);
    connect(typedOffset_, &QRadioButton::toggled, offsetDb_, &QWidget::setEnabled);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(automaticOffset_);
    layout->addWidget(typedOffset_);
    layout->addWidget(offsetDb_);
    return row;
}

void LoadMeasurementDialog::chooseMeasurement() {
    const QString path = chooseResponseFile(this, QStringLiteral("Measurement"), file_->text());
    if (path.isEmpty()) return;
    file_->setText(path);
    measurementChanged_ = true;
}

std::optional<OutputTuning> LoadMeasurementDialog::readTuning() {
    OutputTuning tuning = tuning_;
    QStringList errors;
    const QString path = file_->text().trimmed();
    if (path.isEmpty()) {
        tuning.measurement.clear();
        tuning.measurementName.clear();
    } else if (measurementChanged_ || tuning.measurement.empty()) {
        // Otherwise the points kept with the bank stay: the file may be gone by now.
        if (const auto points = readResponseFile(path, QStringLiteral("Measurement"), errors)) {
            tuning.measurement = *points;
            tuning.measurementName = QFileInfo(path).absoluteFilePath().toStdString();
        }
    }
    tuning.smoothing = kSmoothings.at(static_cast<std::size_t>(smoothing_->currentIndex()));
    tuning.automaticOffset = automaticOffset_->isChecked();
    tuning.typedOffsetDb = offsetDb_->value();
    if (const std::optional<TuningTarget> target = target_->target(errors)) tuning.target = *target;
    if (errors.isEmpty())
        if (const std::string problem = tuningProblem(tuning); !problem.empty())
            errors.append(QString::fromStdString(problem));
    errors_->setPlainText(errors.join(QLatin1Char('\n')));
    errors_->setVisible(!errors.isEmpty());
    if (!errors.isEmpty()) return std::nullopt;
    return tuning;
}

void LoadMeasurementDialog::accept() {
    if (std::optional<OutputTuning> tuning = readTuning()) {
        tuning_ = std::move(*tuning);
        QDialog::accept();
    }
}

}  // namespace kv
