#pragma once
// Small pieces the tuning dialogs share: named number boxes, the file dialog for
// responses and the reading of a response file with its errors for the user.

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "measurement/FrequencyPoint.h"

class QDoubleSpinBox;
class QWidget;

namespace kv {

struct NumberBoxRange {
    double minimum = 0.0;
    double maximum = 0.0;
    int decimals = 1;
    double step = 0.1;
};

QDoubleSpinBox* numberBox(QWidget* parent, const char* name, NumberBoxRange range, double value,
                          const QString& suffix);

// Asks for a measurement or target file, starting beside current; empty when cancelled.
QString chooseResponseFile(QWidget* parent, const QString& caption, const QString& current);

// The points of a response file, or nothing with every error of the import appended to
// errors as "what: line 12: ...".
std::optional<std::vector<FrequencyPoint>> readResponseFile(const QString& path, const QString& what,
                                                            QStringList& errors);

}  // namespace kv
