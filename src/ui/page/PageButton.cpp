#include "ui/page/PageButton.h"

#include <QMouseEvent>

#include "response/ColourShading.h"

namespace kv {

namespace {

constexpr Colour kWhite = MakeRgb(255, 255, 255);
constexpr Colour kRed = MakeRgb(255, 0, 0);
constexpr Colour kAmber = MakeRgb(255, 225, 87);
constexpr Colour kYellow = MakeRgb(255, 255, 0);
const QColor kOffText(168, 168, 168);
const QColor kButtonText;  // invalid: the palette's button text

void applyStyle(COwnerDrawButton& button, PageButton::Style style) {
    using Style = PageButton::Style;
    switch (style) {
        case Style::RowValue:
            button.setFrame(COwnerDrawButton::Frame::Outline);
            button.useShadedLooks(kWhite, 127, QColor(255, 0, 0), kButtonText);
            break;
        case Style::Crossover:  // shows its unlit look whatever it is told
            button.setFrame(COwnerDrawButton::Frame::Outline);
            button.useShadedLooks(kWhite, 127, kButtonText, kButtonText);
            button.setLitLook(button.faceColour(), kButtonText);
            break;
        case Style::Mute: button.useShadedLooks(kRed, 64, QColor(255, 255, 255), kOffText); break;
        case Style::Polarity: button.useShadedLooks(kAmber, 48, kButtonText, QColor(255, 255, 255)); break;
        case Style::OnLine: button.useShadedLooks(kYellow, 64, QColor(0, 0, 0), kOffText); break;
    }
}

}  // namespace

PageButton::PageButton(Style style, QWidget* parent) : COwnerDrawButton({}, parent), style_(style) {
    applyStyle(*this, style);
}

void PageButton::mouseDoubleClickEvent(QMouseEvent* event) {
    if (doubleClick_ && event->button() == Qt::LeftButton) {
        event->accept();
        doubleClick_();
        return;
    }
    COwnerDrawButton::mouseDoubleClickEvent(event);
}

}  // namespace kv
