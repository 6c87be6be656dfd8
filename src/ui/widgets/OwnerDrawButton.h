#pragma once
// A painted push button: its text centred on one line over a solid face, framed either by
// the shaded bevel (raised, sunken while pressed) or by a black one-pixel outline. It has
// a lit and an unlit look, each a face and a text colour; the owner says which one shows.
//
// The page's buttons, for instance:
//   Mute:      bevel; lit white on red;             unlit grey (168) on ShadeColour(64, red)
//   "Ø 180°":  bevel; lit button text on amber;     unlit white on ShadeColour(48, amber)
//   row value: outline; lit red on white;           unlit button text on ShadeColour(127, white)
// useShadedLooks() sets such a pair from one base colour and the unlit shading factor.

#include <QAbstractButton>
#include <QColor>

#include "response/ColourShading.h"

namespace kv {

class COwnerDrawButton : public QAbstractButton {
public:
    enum class Frame { Bevel, Outline };

    explicit COwnerDrawButton(const QString& text = {}, QWidget* parent = nullptr);

    void setFrame(Frame frame);
    Frame frame() const { return frame_; }

    void setLitLook(const QColor& face, const QColor& text);
    void setUnlitLook(const QColor& face, const QColor& text);
    // Lit: the base colour; unlit: the base shaded by `unlitFactor` (below 128 darkens).
    // An invalid text colour stands for the palette's button text.
    void useShadedLooks(Colour base, int unlitFactor, const QColor& litText, const QColor& unlitText);

    void setLit(bool lit);
    bool isLit() const { return lit_; }

    // What the button paints with in its present state.
    QColor faceColour() const;
    QColor textColour() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Frame frame_ = Frame::Bevel;
    bool lit_ = false;
    QColor litFace_{Qt::white};
    QColor litText_;
    QColor unlitFace_{Qt::white};
    QColor unlitText_;
};

}  // namespace kv
