#include "ui/Prompts.h"

#include <QFileDialog>
#include <cstdio>

namespace kv {

Prompts Prompts::interactive(std::function<QWidget*()> parent) {
    const auto owner = [parent] { return parent ? parent() : nullptr; };
    Prompts prompts;
    prompts.message = [owner](QMessageBox::Icon icon, const QString& title, const QString& text,
                              QMessageBox::StandardButtons buttons) {
        QMessageBox box(icon, title.isEmpty() ? QStringLiteral("Korvaliser") : title, text, buttons, owner());
        return static_cast<QMessageBox::StandardButton>(box.exec());
    };
    prompts.openFile = [owner](const QString& caption, const QString& proposed, const QString& filter) {
        return QFileDialog::getOpenFileName(owner(), caption, proposed, filter);
    };
    prompts.saveFile = [owner](const QString& caption, const QString& proposed, const QString& filter) {
        // The dialog itself asks before an existing file is overwritten.
        return QFileDialog::getSaveFileName(owner(), caption, proposed, filter);
    };
    return prompts;
}

Prompts Prompts::console() {
    Prompts prompts;
    prompts.message = [](QMessageBox::Icon, const QString&, const QString& text,
                         QMessageBox::StandardButtons buttons) {
        std::fprintf(stderr, "korvaliser: %s\n",
                     qPrintable(QString(text).replace(QLatin1Char('\n'), QLatin1Char(' '))));
        for (unsigned bit = QMessageBox::FirstButton; bit <= QMessageBox::LastButton; bit <<= 1)
            if (buttons.testFlag(static_cast<QMessageBox::StandardButton>(bit)))
                return static_cast<QMessageBox::StandardButton>(bit);
        return QMessageBox::Ok;
    };
    prompts.openFile = [](const QString&, const QString&, const QString&) { return QString(); };
    prompts.saveFile = prompts.openFile;
    return prompts;
}

}  // namespace kv
