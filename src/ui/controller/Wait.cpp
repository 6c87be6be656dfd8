#include "ui/controller/Wait.h"

#include <QCoreApplication>
#include <QLabel>
#include <QVBoxLayout>

namespace kv {

CWait::CWait(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("waitWindow"));
    setWindowTitle(QStringLiteral("Please Wait"));
    setModal(false);
    text_ = new QLabel(this);
    text_->setObjectName(QStringLiteral("waitText"));
    text_->setAlignment(Qt::AlignCenter);
    text_->setMinimumWidth(220);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 18);
    layout->addWidget(text_);
}

void CWait::setText(const QString& text) {
    text_->setText(text);
    if (!isVisible()) show();
    // Give the window system a chance to map and paint it, but take no user input.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    repaint();
}

QString CWait::text() const { return text_->text(); }

}  // namespace kv
