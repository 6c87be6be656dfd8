#include "ui/tuning/TuningWidgets.h"

#include <QDoubleSpinBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

#include "measurement/MeasurementImport.h"

namespace kv {

QDoubleSpinBox* numberBox(QWidget* parent, const char* name, NumberBoxRange range, double value,
                          const QString& suffix) {
    auto* box = new QDoubleSpinBox(parent);  // owned by the dialog
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(range.minimum, range.maximum);
    box->setDecimals(range.decimals);
    box->setSingleStep(range.step);
    box->setValue(value);
    box->setSuffix(suffix);
    return box;
}

QString chooseResponseFile(QWidget* parent, const QString& caption, const QString& current) {
    return QFileDialog::getOpenFileName(parent, caption, QFileInfo(current).absolutePath(),
                                        QStringLiteral("Responses (*.txt *.frd *.csv);;All files (*)"));
}

std::optional<std::vector<FrequencyPoint>> readResponseFile(const QString& path, const QString& what,
                                                            QStringList& errors) {
    const MeasurementImport import = readMeasurementFile(QFile::encodeName(path).toStdString());
    if (import.ok()) return import.points;
    for (const std::string& error : import.errors)
        errors.append(what + QStringLiteral(": ") + QString::fromStdString(error));
    return std::nullopt;
}

}  // namespace kv
