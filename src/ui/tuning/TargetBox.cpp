#include "ui/tuning/TargetBox.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "ui/tuning/TuningWidgets.h"

namespace kv {

namespace {

QRadioButton* choice(QWidget* parent, const char* name, const QString& caption, bool checked) {
    auto* button = new QRadioButton(caption, parent);  // owned by the box
    button->setObjectName(QString::fromLatin1(name));
    button->setChecked(checked);
    return button;
}

}  // namespace

TargetBox::TargetBox(const TuningTarget& current, QWidget* parent)
    : QGroupBox(QStringLiteral("Target"), parent), current_(current) {
    setObjectName(QStringLiteral("targetBox"));
    flat_ = choice(this, "targetFlat", QStringLiteral("Flat"), current.kind == TargetKind::Flat);
    tilt_ = choice(this, "targetTilt", QStringLiteral("Tilt"), current.kind == TargetKind::Tilt);
    file_ = choice(this, "targetFile", QStringLiteral("File"), current.kind == TargetKind::File);
    tiltDb_ = numberBox(this, "tiltDb", {-kMaxTiltDbPerOctave, kMaxTiltDbPerOctave, 2, 0.1},
                        current.tiltDbPerOctave, QStringLiteral(" dB/octave"));
    lowShelf_ = new QCheckBox(QStringLiteral("Low shelf"), this);
    lowShelf_->setObjectName(QStringLiteral("lowShelf"));
    lowShelf_->setChecked(current.lowShelf);
    shelfHz_ = numberBox(this, "shelfHz", {kLowestShelfHz, kHighestShelfHz, 0, 5.0}, current.shelfHz,
                         QStringLiteral(" Hz"));
    shelfDb_ = numberBox(this, "shelfDb", {-kMaxShelfDb, kMaxShelfDb, 1, 0.5}, current.shelfDb,
                         QStringLiteral(" dB"));
    fileName_ = new QLineEdit(QString::fromStdString(current.fileName), this);
    fileName_->setObjectName(QStringLiteral("targetFileName"));
    auto* browse = new QPushButton(QStringLiteral("Browse…"), this);
    browse->setObjectName(QStringLiteral("browseTarget"));

    auto* shelf = new QHBoxLayout;
    shelf->addWidget(lowShelf_);
    shelf->addWidget(shelfHz_);
    shelf->addWidget(shelfDb_);
    auto* layout = new QGridLayout(this);
    layout->addWidget(flat_, 0, 0);
    layout->addWidget(tilt_, 1, 0);
    layout->addWidget(tiltDb_, 1, 1);
    layout->addLayout(shelf, 2, 1, 1, 2);
    layout->addWidget(file_, 3, 0);
    layout->addWidget(fileName_, 3, 1);
    layout->addWidget(browse, 3, 2);

    for (QAbstractButton* button :
         {static_cast<QAbstractButton*>(tilt_), static_cast<QAbstractButton*>(file_),
          static_cast<QAbstractButton*>(lowShelf_)})
        connect(button, &QAbstractButton::toggled, this, &TargetBox::enableFields);
    connect(fileName_, &QLineEdit::textEdited, this, [this] { fileChanged_ = true; });
    connect(browse, &QPushButton::clicked, this, &TargetBox::chooseFile);
    enableFields();
}

void TargetBox::chooseFile() {
    const QString path = chooseResponseFile(this, QStringLiteral("Target"), fileName_->text());
    if (path.isEmpty()) return;
    fileName_->setText(path);
    fileChanged_ = true;
    file_->setChecked(true);
}

void TargetBox::enableFields() {
    tiltDb_->setEnabled(tilt_->isChecked());
    lowShelf_->setEnabled(tilt_->isChecked());
    shelfHz_->setEnabled(tilt_->isChecked() && lowShelf_->isChecked());
    shelfDb_->setEnabled(tilt_->isChecked() && lowShelf_->isChecked());
    fileName_->setEnabled(file_->isChecked());
}

std::optional<TuningTarget> TargetBox::target(QStringList& errors) const {
    TuningTarget target = current_;
    target.kind = tilt_->isChecked()   ? TargetKind::Tilt
                  : file_->isChecked() ? TargetKind::File
                                       : TargetKind::Flat;
    target.tiltDbPerOctave = tiltDb_->value();
    target.lowShelf = lowShelf_->isChecked();
    target.shelfHz = shelfHz_->value();
    target.shelfDb = shelfDb_->value();
    if (target.kind != TargetKind::File) return target;

    const QString path = fileName_->text().trimmed();
    if (path.isEmpty()) {
        errors.append(QStringLiteral("Target: choose a target file."));
        return std::nullopt;
    }
    if (fileChanged_ || target.filePoints.empty()) {
        const auto points = readResponseFile(path, QStringLiteral("Target"), errors);
        if (!points) return std::nullopt;
        target.filePoints = *points;
        target.fileName = QFileInfo(path).absoluteFilePath().toStdString();
    }
    return target;
}

}  // namespace kv
