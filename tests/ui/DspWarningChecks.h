#pragma once
// The DSP warning line of the band and crossover dialogs: where it sits and what it says.

#include <gtest/gtest.h>

#include <QDialog>
#include <QLabel>
#include <QRegularExpression>
#include <cmath>

namespace kv::test {

// The line lies inside the dialog, over none of its other controls, with room for its
// whole text.
inline void expectWarningFitsAFreePlace(const QDialog& dialog, const QLabel& warning) {
    EXPECT_TRUE(dialog.rect().contains(warning.geometry()));
    for (const QWidget* other : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (other == &warning || !other->isVisible()) continue;
        EXPECT_FALSE(other->geometry().intersects(warning.geometry())) << other->objectName().toStdString();
    }
    EXPECT_LE(warning.heightForWidth(warning.width()), warning.height()) << warning.text().toStdString();
}

// The difference a shown line names ("DSP differs by 29.6 dB at 59.0 Hz"), NaN when the
// line is hidden or says something else.
inline double warnedDecibels(const QLabel& warning) {
    static const QRegularExpression form(QStringLiteral("^DSP differs by (\\d+\\.\\d) dB at \\S+ Hz$"));
    const QRegularExpressionMatch match = form.match(warning.text());
    return warning.isVisible() && match.hasMatch() ? match.captured(1).toDouble() : std::nan("");
}

}  // namespace kv::test
