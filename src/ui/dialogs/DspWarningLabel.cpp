#include "ui/dialogs/DspWarningLabel.h"

namespace kv {

namespace {

const QColor kWarningRed(176, 0, 0);

}  // namespace

DspWarningLabel::DspWarningLabel(QWidget* parent, QRect where) : QLabel(parent) {
    setObjectName(QStringLiteral("dspWarning"));
    setGeometry(where);
    setWordWrap(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette warning = palette();
    warning.setColor(QPalette::WindowText, kWarningRed);
    setPalette(warning);
    hide();
}

void DspWarningLabel::showWarning(const std::string& warning) {
    setText(QString::fromStdString(warning));
    setVisible(!warning.empty());
}

}  // namespace kv
