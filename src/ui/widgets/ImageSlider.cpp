#include "ui/widgets/ImageSlider.h"

#include <QImage>
#include <QKeyEvent>
#include <QMetaObject>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <optional>

// The artwork lives in this static library; registering it here keeps the linker from
// dropping it.
static void registerSliderArtwork() { Q_INIT_RESOURCE(slider); }

namespace kv {

namespace {

// A bitmap ready to draw: with the key colour made fully transparent when asked for,
// opaque otherwise. Nothing when the file cannot be read.
std::optional<QPixmap> loadKeyedBitmap(const QString& path, bool transparent, const QColor& key,
                                       QPoint keyPixel) {
    QImage image(path);
    if (image.isNull()) return std::nullopt;
    if (!transparent) return QPixmap::fromImage(image.convertToFormat(QImage::Format_RGB32));
    image = image.convertToFormat(QImage::Format_ARGB32);
    QRgb keyColour = key.rgb();
    if (!key.isValid()) keyColour = image.valid(keyPixel) ? image.pixel(keyPixel) : image.pixel(0, 0);
    const QRgb keyRgb = keyColour & RGB_MASK;
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((line[x] & RGB_MASK) == keyRgb) line[x] = 0;
        }
    }
    return QPixmap::fromImage(image);
}

std::optional<SliderKey> navigationKey(int key) {
    switch (key) {
        case Qt::Key_PageUp: return SliderKey::PageUp;
        case Qt::Key_PageDown: return SliderKey::PageDown;
        case Qt::Key_Home: return SliderKey::Home;
        case Qt::Key_End: return SliderKey::End;
        case Qt::Key_Left: return SliderKey::Left;
        case Qt::Key_Up: return SliderKey::Up;
        case Qt::Key_Right: return SliderKey::Right;
        case Qt::Key_Down: return SliderKey::Down;
        default: return std::nullopt;
    }
}

SliderButtons heldButtons(const QMouseEvent* event) {
    return {event->buttons().testFlag(Qt::LeftButton), event->buttons().testFlag(Qt::RightButton)};
}

bool isSliderButton(Qt::MouseButton button) { return button == Qt::LeftButton || button == Qt::RightButton; }

constexpr QColor kThumbKey{255, 0, 255};

}  // namespace

CImageSlider::CImageSlider(QWidget* parent) : QWidget(parent) {
    static const bool artworkRegistered = (registerSliderArtwork(), true);
    Q_UNUSED(artworkRegistered);
    // A click focuses the slider itself (the first click on an unfocused slider must know
    // that it was unfocused), so Qt is not allowed to focus it before the press arrives.
    setFocusPolicy(Qt::TabFocus);
    setContextMenuPolicy(Qt::PreventContextMenu);
    model_.setControlSize(width(), height());
}

bool CImageSlider::setTrackBitmap(const QString& path, bool transparent, const QColor& key, QPoint keyPixel) {
    if (path.isEmpty()) {
        track_ = QPixmap();
        trackLoaded_ = false;
        update();
        return true;
    }
    const auto bitmap = loadKeyedBitmap(path, transparent, key, keyPixel);
    if (!bitmap) return false;
    track_ = *bitmap;
    trackLoaded_ = true;
    setFixedSize(track_.size());
    model_.setControlSize(track_.width(), track_.height());
    update();
    return true;
}

bool CImageSlider::setThumbBitmaps(const QString& thumbPath, const QString& focusedPath, bool transparent,
                                   const QColor& key, QPoint keyPixel) {
    if (thumbPath.isEmpty()) {
        thumb_ = QPixmap();
        focusedThumb_ = QPixmap();
        thumbLoaded_ = false;
        focusedThumbPresent_ = false;
        update();
        return true;
    }
    const auto thumb = loadKeyedBitmap(thumbPath, transparent, key, keyPixel);
    if (!thumb) return false;
    std::optional<QPixmap> focused;
    if (!focusedPath.isEmpty()) {
        focused = loadKeyedBitmap(focusedPath, transparent, key, keyPixel);
        if (!focused) return false;
    }
    thumb_ = *thumb;
    focusedThumb_ = focused.value_or(QPixmap());
    focusedThumbPresent_ = focused.has_value();
    thumbLoaded_ = true;
    if (!trackLoaded_) model_.setControlSize(width(), height());
    model_.setThumbSize(thumb_.width(), thumb_.height());
    update();
    return true;
}

void CImageSlider::setRange(int minimum, int maximum, bool redraw) {
    setRangeMin(minimum, false);
    setRangeMax(maximum, redraw);
}

void CImageSlider::setRangeMin(int minimum, bool redraw) {
    model_.setRangeMin(minimum);
    if (redraw) update();
}

void CImageSlider::setRangeMax(int maximum, bool redraw) {
    model_.setRangeMax(maximum);
    if (redraw) update();
}

void CImageSlider::setPos(int position) {
    model_.setPos(position);
    update();
}

void CImageSlider::setMargins(int left, int top, int right, int bottom) {
    model_.setMargins(left, top, right, bottom);
    update();
}

int CImageSlider::setHomePos(int position) { return model_.setHomePos(position); }

void CImageSlider::enableSlider(bool enable) {
    model_.setEnabled(enable);
    update();
}

QPoint CImageSlider::thumbCentre() const {
    return {model_.leftMargin() + model_.thumbWidth() / 2, model_.thumbCentre()};
}

void CImageSlider::configureForOutputPage() {
    setTrackBitmap(QStringLiteral(":/slider/page_track.png"), true);
    setThumbBitmaps(QStringLiteral(":/slider/page_thumb.png"),
                    QStringLiteral(":/slider/page_thumb_focused.png"), true, kThumbKey);
    setRange(0, 420);
    setPos(0);
    setMargins(23, 1, 0, 0);
    setHomePos(120);
}

void CImageSlider::configureForBandDialog() {
    setTrackBitmap(QStringLiteral(":/slider/peq_track.png"), true);
    setThumbBitmaps(QStringLiteral(":/slider/peq_thumb.png"),
                    QStringLiteral(":/slider/peq_thumb_focused.png"), true, kThumbKey);
    setRange(0, 450);
    setPos(100);
    setMargins(23, 0, 0, 0);
    setHomePos(150);
}

QSize CImageSlider::sizeHint() const { return {model_.controlWidth(), model_.controlHeight()}; }

void CImageSlider::paintEvent(QPaintEvent*) {
    // Qt double-buffers every widget, and where the bitmaps are transparent the parent's
    // background is already painted underneath: draw track, then thumb.
    QPainter painter(this);
    if (trackLoaded_) painter.drawPixmap(0, 0, track_);
    if (thumbLoaded_ && model_.enabled()) {
        const bool showFocused = focusedThumbPresent_ && model_.focused();
        painter.drawPixmap(model_.leftMargin(), model_.thumbTop(), showFocused ? focusedThumb_ : thumb_);
    }
}

void CImageSlider::handlePress(QMouseEvent* event) {
    if (!isSliderButton(event->button())) {
        event->ignore();
        return;
    }
    if (!model_.enabled()) return;
    // Take the focus before measuring the press against the thumb: a field being left
    // commits its text, and the owner may move the thumb for it.
    const bool hadFocus = model_.focused();
    setFocus(Qt::MouseFocusReason);
    model_.setFocused(hadFocus);
    const auto moved = model_.press(qRound(event->position().y()), heldButtons(event));
    if (moved) postMoving(*moved);
    repaint();
}

void CImageSlider::mousePressEvent(QMouseEvent* event) { handlePress(event); }

void CImageSlider::mouseDoubleClickEvent(QMouseEvent* event) { handlePress(event); }

void CImageSlider::mouseMoveEvent(QMouseEvent* event) {
    if (const auto moved = model_.move(qRound(event->position().y()), heldButtons(event))) {
        update();
        postMoving(*moved);
    }
}

void CImageSlider::mouseReleaseEvent(QMouseEvent* event) {
    if (!isSliderButton(event->button())) {
        event->ignore();
        return;
    }
    if (const auto moved = model_.release()) {
        update();
        postMoved(*moved);
    }
}

void CImageSlider::keyPressEvent(QKeyEvent* event) {
    const auto key = navigationKey(event->key());
    if (!key) {
        event->ignore();  // Enter, Escape and the rest belong to the dialog
        return;
    }
    if (const auto moved = model_.key(*key)) {
        update();
        postMoved(*moved);
    }
}

void CImageSlider::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    const std::optional<int> moved = delta != 0 ? model_.wheel(delta) : std::nullopt;
    if (!moved) {  // a sideways scroll, or a disabled slider: not this slider's business
        event->ignore();
        return;
    }
    postMoved(*moved);
    update();
}

void CImageSlider::focusInEvent(QFocusEvent* event) {
    model_.setFocused(true);
    update();
    QWidget::focusInEvent(event);
}

void CImageSlider::focusOutEvent(QFocusEvent* event) {
    model_.setFocused(false);
    update();
    QWidget::focusOutEvent(event);
}

void CImageSlider::resizeEvent(QResizeEvent* event) {
    if (!trackLoaded_) model_.setControlSize(width(), height());
    QWidget::resizeEvent(event);
}

void CImageSlider::postMoving(int position) {
    QMetaObject::invokeMethod(
        this, [this, position] { emit moving(position); }, Qt::QueuedConnection);
}

void CImageSlider::postMoved(int position) {
    QMetaObject::invokeMethod(
        this, [this, position] { emit moved(position); }, Qt::QueuedConnection);
}

}  // namespace kv
