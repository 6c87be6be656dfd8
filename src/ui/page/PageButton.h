#pragma once
// The painted buttons of the preset editor: the PEQ row values and crossover buttons
// (flat, with a black outline and a lit state of red on white), the Mute and polarity
// buttons and the sheet's "On Line" button (bevelled, bright when on, darkened when off).
// Each style is one set of looks of the shared owner-drawn button.

#include <QColor>
#include <functional>

#include "ui/widgets/OwnerDrawButton.h"

namespace kv {

class PageButton : public COwnerDrawButton {
public:
    enum class Style {
        RowValue,   // lit: red on white; unlit: button text on white shaded by 127
        Crossover,  // never lit
        Mute,       // lit: white on red; unlit: grey on red shaded by 64
        Polarity,   // lit: button text on amber; unlit: white on amber shaded by 48
        OnLine,     // lit: black on yellow; unlit: grey on yellow shaded by 64
    };

    explicit PageButton(Style style, QWidget* parent = nullptr);

    Style style() const { return style_; }

    // Called on a double-click instead of a second click (row buttons open a dialog);
    // without it a double-click counts as a second click, as on the toggle buttons.
    void setDoubleClickAction(std::function<void()> action) { doubleClick_ = std::move(action); }

    // The face colour the button paints in its present state.
    QColor backgroundColour() const { return faceColour(); }

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    Style style_;
    std::function<void()> doubleClick_;
};

}  // namespace kv
