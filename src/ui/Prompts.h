#pragma once
// Every question the main window and its dialogs put to the user goes through these
// function objects, so a test can answer them (and read what was asked) without a
// modal loop. interactive() gives the real message boxes and file dialogs.

#include <QMessageBox>
#include <QString>
#include <functional>

class QWidget;

namespace kv {

struct Prompts {
    // A message box: icon, title, text, buttons; returns the button pressed.
    using MessageFn = std::function<QMessageBox::StandardButton(
        QMessageBox::Icon, const QString& title, const QString& text, QMessageBox::StandardButtons)>;
    // A file dialog: caption, proposed path or file name, filter; returns the chosen
    // path, or an empty string when the user cancelled.
    using FileFn =
        std::function<QString(const QString& caption, const QString& proposed, const QString& filter)>;

    MessageFn message;
    FileFn openFile;
    FileFn saveFile;

    // Real message boxes and file dialogs over the window `parent` returns at the time.
    static Prompts interactive(std::function<QWidget*()> parent = {});
    // For work without a window (printing, PDF export): messages go to standard error
    // and every question takes its first offered answer; no file is ever chosen.
    static Prompts console();

    QMessageBox::StandardButton ask(QMessageBox::Icon icon, const QString& text,
                                    QMessageBox::StandardButtons buttons, const QString& title = {}) const {
        return message ? message(icon, title, text, buttons) : QMessageBox::Cancel;
    }
    void tell(QMessageBox::Icon icon, const QString& text, const QString& title = {}) const {
        ask(icon, text, QMessageBox::Ok, title);
    }
};

}  // namespace kv
