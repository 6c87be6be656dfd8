#include "ui/tuning/AutoEqDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "document/KorvaliserDoc.h"
#include "document/ValueText.h"
#include "measurement/tuning/TuningCurves.h"
#include "ui/tuning/TuningWidgets.h"

namespace kv {

namespace {

constexpr int kLowestRangeHz = 10;
constexpr int kHighestRangeHz = 32000;
constexpr double kLargestBoostDb = 15.0;

QString trimmed(const std::string& text) { return QString::fromStdString(text).trimmed(); }

QSpinBox* hertzBox(QWidget* parent, const char* name, int value) {
    auto* box = new QSpinBox(parent);  // owned by the dialog
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(kLowestRangeHz, kHighestRangeHz);
    box->setValue(value);
    box->setSuffix(QStringLiteral(" Hz"));
    return box;
}

QCheckBox* checkBox(QWidget* parent, const char* name, const QString& caption, bool checked) {
    auto* box = new QCheckBox(caption, parent);  // owned by the dialog
    box->setObjectName(QString::fromLatin1(name));
    box->setChecked(checked);
    return box;
}

QString summaryOf(const OutputTuning& tuning) {
    if (tuning.measurement.empty()) return QStringLiteral("Load a measurement for this output first.");
    const TuningCurves curves(tuning);
    return QStringLiteral("Measurement %1 (offset %2 dB), target %3.")
        .arg(QFileInfo(QString::fromStdString(tuning.measurementName)).fileName())
        .arg(curves.offsetDb(), 0, 'f', 1)
        .arg(QString::fromStdString(targetText(tuning.target)));
}

// Shows a busy pointer while the fit runs.
class BusyPointer {
public:
    BusyPointer() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyPointer() { QApplication::restoreOverrideCursor(); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

}  // namespace

AutoEqDialog::AutoEqDialog(const CKorvaliserDoc& document, int output, const OutputTuning& tuning, bool showQ,
                           QWidget* parent)
    : QDialog(parent), document_(document), output_(output), tuning_(tuning), showQ_(showQ) {
    setObjectName(QStringLiteral("autoEqDialog"));
    setWindowTitle(QStringLiteral("Auto-EQ - Output %1").arg(output + 1));

    auto* summary = new QLabel(summaryOf(tuning), this);
    summary->setObjectName(QStringLiteral("summary"));
    summary->setWordWrap(true);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Range:"), createRangeRow());
    form->addRow(QStringLiteral("Limits:"), createLimitsRow());
    fit_ = new QPushButton(QStringLiteral("Fit"), this);
    fit_->setObjectName(QStringLiteral("fit"));
    fit_->setEnabled(!tuning.measurement.empty());
    connect(fit_, &QPushButton::clicked, this, &AutoEqDialog::fit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("buttons"));
    ok_ = buttons->button(QDialogButtonBox::Ok);
    ok_->setEnabled(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary);
    layout->addLayout(form);
    layout->addWidget(createBandsBox());
    layout->addWidget(fit_, 0, Qt::AlignLeft);
    layout->addWidget(createResultBox(), 1);
    layout->addWidget(buttons);
}

QWidget* AutoEqDialog::createRangeRow() {
    auto* row = new QWidget(this);
    const AutoEqOptions defaults;
    lowHz_ = hertzBox(row, "lowHz", static_cast<int>(defaults.lowHz));
    highHz_ = hertzBox(row, "highHz", static_cast<int>(defaults.highHz));
    for (QSpinBox* box : {lowHz_, highHz_})
        connect(box, &QSpinBox::valueChanged, this, &AutoEqDialog::optionsChanged);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(lowHz_);
    layout->addWidget(new QLabel(QStringLiteral("to"), row));
    layout->addWidget(highHz_);
    layout->addStretch();
    return row;
}

QWidget* AutoEqDialog::createLimitsRow() {
    auto* row = new QWidget(this);
    const AutoEqOptions defaults;
    maxBoost_ = numberBox(row, "maxBoost", {0.0, kLargestBoostDb, 1, 0.5}, defaults.maxBoostDb,
                          QStringLiteral(" dB boost at most"));
    cutsOnly_ = checkBox(row, "cutsOnly", QStringLiteral("Cuts only"), defaults.cutsOnly);
    shelves_ = checkBox(row, "shelves", QStringLiteral("Shelves allowed"), defaults.allowShelves);
    connect(maxBoost_, &QDoubleSpinBox::valueChanged, this, &AutoEqDialog::optionsChanged);
    for (QCheckBox* box : {cutsOnly_, shelves_})
        connect(box, &QCheckBox::toggled, this, &AutoEqDialog::optionsChanged);
    connect(cutsOnly_, &QCheckBox::toggled, maxBoost_, [this](bool cuts) { maxBoost_->setEnabled(!cuts); });
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(maxBoost_);
    layout->addWidget(cutsOnly_);
    layout->addWidget(shelves_);
    layout->addStretch();
    return row;
}

QWidget* AutoEqDialog::createBandsBox() {
    auto* box = new QGroupBox(QStringLiteral("Bands"), this);
    const std::vector<int> free = freeBands(document_.outputChannel(output_), document_.activeBandCount());
    QStringList freeNames;
    for (const int band : free) freeNames.append(QString::number(band + 1));
    freeBands_ = new QRadioButton(free.empty() ? QStringLiteral("Free bands (none)")
                                               : QStringLiteral("Free bands (%1)").arg(freeNames.join(", ")),
                                  box);
    freeBands_->setObjectName(QStringLiteral("freeBands"));
    freeBands_->setChecked(true);
    chosenBands_ = new QRadioButton(QStringLiteral("These bands:"), box);
    chosenBands_->setObjectName(QStringLiteral("chosenBands"));
    auto* layout = new QGridLayout(box);
    layout->addWidget(freeBands_, 0, 0, 1, kBandsInUse + 1);
    layout->addWidget(chosenBands_, 1, 0);
    const int inUse = std::min(document_.activeBandCount(), kBandsInUse);
    for (int band = 0; band < inUse; ++band) {
        const bool isFree = std::find(free.begin(), free.end(), band) != free.end();
        QCheckBox*& check = bandChecks_[static_cast<std::size_t>(band)];
        const QByteArray name = QByteArray("band") + QByteArray::number(band + 1);
        check = checkBox(box, name.constData(), QString::number(band + 1), isFree);
        check->setEnabled(false);
        connect(chosenBands_, &QRadioButton::toggled, check, &QWidget::setEnabled);
        connect(check, &QCheckBox::toggled, this, &AutoEqDialog::optionsChanged);
        layout->addWidget(check, 1, band + 1);
    }
    connect(chosenBands_, &QRadioButton::toggled, this, &AutoEqDialog::optionsChanged);
    return box;
}

QWidget* AutoEqDialog::createResultBox() {
    auto* box = new QGroupBox(QStringLiteral("Result"), this);
    status_ = new QLabel(QStringLiteral("Press Fit to compute the bands."), box);
    status_->setObjectName(QStringLiteral("fitStatus"));
    status_->setWordWrap(true);
    bands_ = new QTableWidget(0, 5, box);
    bands_->setObjectName(QStringLiteral("fittedBands"));
    bands_->setHorizontalHeaderLabels({QStringLiteral("Band"), QStringLiteral("Type"),
                                       QStringLiteral("Frequency"), QStringLiteral("Gain"),
                                       showQ_ ? QStringLiteral("Q") : QStringLiteral("BW")});
    bands_->verticalHeader()->hide();
    bands_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    bands_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(status_);
    layout->addWidget(bands_);
    return box;
}

std::vector<int> AutoEqDialog::chosenBands() const {
    if (freeBands_->isChecked())
        return freeBands(document_.outputChannel(output_), document_.activeBandCount());
    std::vector<int> bands;
    for (std::size_t band = 0; band < bandChecks_.size(); ++band)
        if (bandChecks_[band] && bandChecks_[band]->isChecked()) bands.push_back(static_cast<int>(band));
    return bands;
}

AutoEqOptions AutoEqDialog::options() const {
    AutoEqOptions options;
    options.lowHz = lowHz_->value();
    options.highHz = highHz_->value();
    options.maxBoostDb = maxBoost_->value();
    options.cutsOnly = cutsOnly_->isChecked();
    options.allowShelves = shelves_->isChecked();
    return options;
}

void AutoEqDialog::optionsChanged() {
    if (!result_) return;
    result_.reset();
    showResult();
}

void AutoEqDialog::fit() {
    const TuningCurves curves(tuning_);
    AutoEqRequest request = autoEqRequest(document_, output_, curves.measurement(), curves.target());
    request.bands = chosenBands();
    request.options = options();
    if (request.bands.empty()) {
        result_.reset();
        showResult();
        status_->setText(freeBands_->isChecked()
                             ? QStringLiteral("This output has no free band: tick the bands to set.")
                             : QStringLiteral("Tick the bands to set."));
        return;
    }
    {
        const BusyPointer busy;
        result_ = fitAutoEq(request);
    }
    showResult();
}

void AutoEqDialog::showResult() {
    bands_->setRowCount(0);
    ok_->setEnabled(result_ && result_->ok());
    if (!result_) {
        status_->setText(QStringLiteral("Press Fit to compute the bands."));
        return;
    }
    if (!result_->ok()) {
        status_->setText(QStringLiteral("Cannot fit: %1.").arg(QString::fromStdString(result_->error)));
        return;
    }
    status_->setText(QStringLiteral("RMS error over %1 points: %2 dB before, %3 dB after the continuous fit, "
                                    "%4 dB on the unit's steps.")
                         .arg(result_->points)
                         .arg(result_->rmsBefore, 0, 'f', 2)
                         .arg(result_->rmsContinuous, 0, 'f', 2)
                         .arg(result_->rmsSnapped, 0, 'f', 2));
    for (const FittedBand& band : result_->bands) {
        const int row = bands_->rowCount();
        bands_->insertRow(row);
        const PeqBand& c = band.codes;
        const QStringList cells =
            band.used
                ? QStringList{QString::number(band.band + 1), trimmed(typeText(c.type, false)),
                              trimmed(frequencyText(c.frequency)), trimmed(bandGainText(c.gain, c.type)),
                              trimmed(bandWidthText(c.q, c.type, showQ_))}
                : QStringList{QString::number(band.band + 1), QStringLiteral("not needed, 0 dB")};
        for (int column = 0; column < cells.size(); ++column)
            bands_->setItem(row, column, new QTableWidgetItem(cells[column]));  // owned by the table
    }
}

}  // namespace kv
