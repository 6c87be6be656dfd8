#pragma once
// "Please Wait": a small modeless window without title-bar buttons that shows which
// preset is being stored while the store loop holds the program.

#include <QDialog>

class QLabel;

namespace kv {

class CWait : public QDialog {
    Q_OBJECT
public:
    explicit CWait(QWidget* parent = nullptr);
    // Shows the text and paints it at once (the store loop blocks the event loop).
    void setText(const QString& text);
    QString text() const;

private:
    QLabel* text_ = nullptr;
};

}  // namespace kv
