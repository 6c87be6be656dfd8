#pragma once
// Helpers of the application tests: settings in a temporary file and a script of
// answers for the message boxes and file dialogs, which records what was asked.

#include <QSettings>
#include <QTemporaryDir>
#include <deque>
#include <memory>

#include "ui/Prompts.h"

namespace kv::test {

struct Asked {
    QMessageBox::Icon icon;
    QString text;
    QMessageBox::StandardButtons buttons;
};

class ScriptedPrompts {
public:
    // Answers in order; when the script runs out, the first button offered is pressed.
    std::deque<QMessageBox::StandardButton> answers;
    std::deque<QString> files;  // answers of the file dialogs ("" = cancel)
    std::vector<Asked> asked;
    std::function<void(const Asked&)> onAsk;  // runs before the answer is given

    Prompts prompts() {
        Prompts p;
        p.message = [this](QMessageBox::Icon icon, const QString&, const QString& text,
                           QMessageBox::StandardButtons buttons) {
            asked.push_back({icon, text, buttons});
            if (onAsk) onAsk(asked.back());
            if (answers.empty()) {
                for (int bit = 0; bit < 32; ++bit)
                    if (buttons.testFlag(static_cast<QMessageBox::StandardButton>(1u << bit)))
                        return static_cast<QMessageBox::StandardButton>(1u << bit);
                return QMessageBox::Ok;
            }
            const auto answer = answers.front();
            answers.pop_front();
            return answer;
        };
        const auto file = [this](const QString&, const QString&, const QString&) {
            if (files.empty()) return QString();
            QString f = files.front();
            files.pop_front();
            return f;
        };
        p.openFile = file;
        p.saveFile = file;
        return p;
    }

    QStringList texts() const {
        QStringList list;
        for (const Asked& a : asked) list.append(a.text);
        return list;
    }
};

class TempSettings {
public:
    TempSettings() : path_(dir_.filePath(QStringLiteral("korvaliser.ini"))) {}
    std::unique_ptr<QSettings> open() const {
        return std::make_unique<QSettings>(path_, QSettings::IniFormat);
    }
    QString dir(const QString& name) const { return dir_.filePath(name); }
    const QString& path() const { return path_; }

private:
    QTemporaryDir dir_;
    QString path_;
};

}  // namespace kv::test
