#include "ui/page/PagePart.h"

#include <QLabel>

namespace kv {

namespace {

const QColor kLabelBlue(21, 141, 243);

}  // namespace

PagePart::PagePart(const QRect& area, QWidget* page) : QWidget(page) { setGeometry(area); }

void PagePart::place(QWidget* control, const QRect& onPage) const {
    control->setGeometry(onPage.translated(-pos()));
}

void PagePart::place(QWidget* control, QPoint onPage) const { control->move(onPage - pos()); }

QLabel* PagePart::addLabel(const QString& text, const QString& name, const QRect& onPage) {
    auto* label = new QLabel(text, this);
    label->setObjectName(name);
    place(label, onPage);
    label->setAlignment(Qt::AlignCenter);
    paintLabel(label, kLabelBlue, Qt::white);
    return label;
}

void paintLabel(QLabel* label, const QColor& background, const QColor& text) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, text);
    label->setPalette(palette);
    label->setAutoFillBackground(true);
}

}  // namespace kv
