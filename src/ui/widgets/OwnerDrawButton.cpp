#include "ui/widgets/OwnerDrawButton.h"

#include <QPainter>

#include "ui/widgets/BevelPainter.h"

namespace kv {

COwnerDrawButton::COwnerDrawButton(const QString& text, QWidget* parent) : QAbstractButton(parent) {
    setText(text);
    setFocusPolicy(Qt::StrongFocus);
}

void COwnerDrawButton::setFrame(Frame frame) {
    frame_ = frame;
    update();
}

void COwnerDrawButton::setLitLook(const QColor& face, const QColor& text) {
    litFace_ = face;
    litText_ = text;
    update();
}

void COwnerDrawButton::setUnlitLook(const QColor& face, const QColor& text) {
    unlitFace_ = face;
    unlitText_ = text;
    update();
}

void COwnerDrawButton::useShadedLooks(Colour base, int unlitFactor, const QColor& litText,
                                      const QColor& unlitText) {
    setLitLook(toQColor(base), litText);
    setUnlitLook(toQColor(ShadeColour(unlitFactor, base)), unlitText);
}

void COwnerDrawButton::setLit(bool lit) {
    if (lit_ == lit) return;
    lit_ = lit;
    update();
}

QColor COwnerDrawButton::faceColour() const { return lit_ ? litFace_ : unlitFace_; }

QColor COwnerDrawButton::textColour() const {
    if (!isEnabled()) return palette().color(QPalette::Disabled, QPalette::ButtonText);
    const QColor chosen = lit_ ? litText_ : unlitText_;
    return chosen.isValid() ? chosen : palette().color(QPalette::Active, QPalette::ButtonText);
}

QSize COwnerDrawButton::sizeHint() const {
    const QSize text = fontMetrics().size(Qt::TextSingleLine, this->text());
    return {text.width() + 16, text.height() + 10};
}

void COwnerDrawButton::paintEvent(QPaintEvent* /*event*/) {
    QPainter p(this);
    const QColor face = faceColour();
    p.fillRect(rect(), face);
    QRect textArea = rect();
    if (frame_ == Frame::Bevel) {
        DrawBevelFrame(p, rect(), toColour(face), !isDown());
        // Inside the rings; the text follows the face down while pressed.
        textArea.adjust(3, 3, -3, -3);
        if (isDown()) textArea.translate(1, 1);
    } else {
        p.setPen(QPen(Qt::black, 0));
        p.setBrush(Qt::NoBrush);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    p.setPen(textColour());
    p.drawText(textArea, Qt::AlignCenter | Qt::TextSingleLine, text());
    if (hasFocus()) {
        p.setPen(QPen(textColour(), 1, Qt::DotLine));
        p.drawRect(textArea.adjusted(2, 2, -3, -3));
    }
}

}  // namespace kv
