#include "ui/dialogs/TypeComboBox.h"

#include <QEvent>

namespace kv {

CTypeComboBox::CTypeComboBox(QWidget* parent) : QComboBox(parent) { keepTextLegible(); }

void CTypeComboBox::changeEvent(QEvent* event) {
    QComboBox::changeEvent(event);
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::PaletteChange) keepTextLegible();
}

void CTypeComboBox::keepTextLegible() {
    QPalette legible = palette();
    bool changed = false;
    for (const auto role : {QPalette::ButtonText, QPalette::Text, QPalette::WindowText}) {
        const QColor active = legible.color(QPalette::Active, role);
        if (legible.color(QPalette::Disabled, role) != active) {
            legible.setColor(QPalette::Disabled, role, active);
            changed = true;
        }
    }
    if (changed) setPalette(legible);  // the guard keeps the palette change from recursing
}

}  // namespace kv
