#include "ui/PageButton.h"

#include <QMouseEvent>
#include <QPainter>

#include "response/ColourShading.h"

namespace kv {

namespace {

constexpr Colour kWhite = MakeRgb(255, 255, 255);
constexpr Colour kRed = MakeRgb(255, 0, 0);
constexpr Colour kAmber = MakeRgb(255, 225, 87);
constexpr Colour kYellow = MakeRgb(255, 255, 0);
const QColor kOffText(168, 168, 168);

QColor toQColor(Colour c) { return {RedOf(c), GreenOf(c), BlueOf(c)}; }

Colour toColour(const QColor& c) { return MakeRgb(c.red(), c.green(), c.blue()); }

// Four one-pixel rings from the outside in, lit from the top left while raised.
void drawBevelFrame(QPainter& p, QRect rect, Colour base, bool raised) {
    for (const BevelRing& ring : BevelRingColours(base, raised)) {
        const QColor topLeft = toQColor(ring.topLeft);
        const QColor bottomRight = toQColor(ring.bottomRight);
        p.setPen(topLeft);
        p.drawLine(rect.topLeft(), rect.topRight() - QPoint(1, 0));
        p.drawLine(rect.topLeft(), rect.bottomLeft() - QPoint(0, 1));
        p.setPen(bottomRight);
        p.drawLine(rect.bottomLeft(), rect.bottomRight());
        p.drawLine(rect.topRight(), rect.bottomRight());
        rect.adjust(1, 1, -1, -1);
    }
}

}  // namespace

PageButton::PageButton(Style style, QWidget* parent) : QAbstractButton(parent), style_(style) {
    setFocusPolicy(Qt::StrongFocus);
}

void PageButton::setLit(bool lit) {
    if (lit_ == lit) return;
    lit_ = lit;
    update();
}

bool PageButton::isBevelled() const {
    return style_ == Style::Mute || style_ == Style::Polarity || style_ == Style::OnLine;
}

QColor PageButton::backgroundColour() const {
    const bool lit = lit_ && style_ != Style::Crossover;
    switch (style_) {
        case Style::RowValue:
        case Style::Crossover: return toQColor(lit ? kWhite : ShadeColour(127, kWhite));
        case Style::Mute: return toQColor(lit ? kRed : ShadeColour(64, kRed));
        case Style::Polarity: return toQColor(lit ? kAmber : ShadeColour(48, kAmber));
        case Style::OnLine: return toQColor(lit ? kYellow : ShadeColour(64, kYellow));
    }
    return Qt::white;
}

QColor PageButton::textColour() const {
    if (!isEnabled()) return palette().color(QPalette::Disabled, QPalette::ButtonText);
    const QColor buttonText = palette().color(QPalette::Active, QPalette::ButtonText);
    const bool lit = lit_ && style_ != Style::Crossover;
    switch (style_) {
        case Style::RowValue: return lit ? QColor(255, 0, 0) : buttonText;
        case Style::Crossover: return buttonText;
        case Style::Mute: return lit ? QColor(255, 255, 255) : kOffText;
        case Style::Polarity: return lit ? buttonText : QColor(255, 255, 255);
        case Style::OnLine: return lit ? QColor(0, 0, 0) : kOffText;
    }
    return buttonText;
}

QSize PageButton::sizeHint() const {
    const QSize text = fontMetrics().size(Qt::TextSingleLine, this->text());
    return {text.width() + 16, text.height() + 10};
}

void PageButton::paintEvent(QPaintEvent* /*event*/) {
    QPainter p(this);
    const QColor background = backgroundColour();
    p.fillRect(rect(), background);
    QRect textArea = rect();
    if (isBevelled()) {
        drawBevelFrame(p, rect(), toColour(background), !isDown());
        textArea.adjust(3, 3, -3, -3);
        if (isDown()) textArea.translate(1, 1);
    } else {
        p.setPen(Qt::black);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    p.setPen(textColour());
    p.drawText(textArea, Qt::AlignCenter | Qt::TextSingleLine, text());
    if (hasFocus()) {
        p.setPen(QPen(textColour(), 1, Qt::DotLine));
        p.drawRect(textArea.adjusted(2, 2, -3, -3));
    }
}

void PageButton::mouseDoubleClickEvent(QMouseEvent* event) {
    if (doubleClick_ && event->button() == Qt::LeftButton) {
        event->accept();
        doubleClick_();
        return;
    }
    QAbstractButton::mouseDoubleClickEvent(event);
}

}  // namespace kv
