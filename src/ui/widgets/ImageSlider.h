#pragma once
// CImageSlider: a vertical slider drawn from bitmaps (a track and a thumb, optionally a
// second thumb shown while it has the focus). It holds an integer position in an integer
// range, knows nothing of decibels or documents, and reports each movement to its owner:
//
//   moving(position)  stands for WM_IMAGESLIDER_MOVING: the position changed while a
//                     mouse button is held (dragging or stepping);
//   moved(position)   stands for WM_IMAGESLIDER_MOVED: a button was released, a
//                     navigation key was pressed or the wheel turned.
//
// Both are posted: the slider emits them from the event loop after the input has been
// handled, never from inside the input handler, so owners may connect them directly.
// Owners read the position with pos(), turn it into their value, write it and set the
// position back with setPos() (which never signals).
//
// Bitmaps are resource paths. A transparent bitmap has one key colour that is not drawn;
// an invalid key colour means "the colour of the bitmap's pixel at keyPixel".

#include <QColor>
#include <QPixmap>
#include <QPoint>
#include <QString>
#include <QWidget>

#include "editing/slider/SliderModel.h"

namespace kv {

class CImageSlider : public QWidget {
    Q_OBJECT
public:
    explicit CImageSlider(QWidget* parent = nullptr);

    // Loads the track; the control takes the bitmap's size. An empty path unloads the
    // track and succeeds; a bitmap that cannot be loaded leaves everything as it was.
    bool setTrackBitmap(const QString& path, bool transparent, const QColor& key = {},
                        QPoint keyPixel = {0, 0});
    // Loads the thumb and, unless focusedPath is empty, the thumb shown while focused.
    // An empty thumb path unloads both. If either cannot be loaded nothing changes.
    bool setThumbBitmaps(const QString& thumbPath, const QString& focusedPath, bool transparent,
                         const QColor& key = {}, QPoint keyPixel = {0, 0});

    // Range ends do not clamp the current position.
    void setRange(int minimum, int maximum, bool redraw = false);
    void setRangeMin(int minimum, bool redraw = false);
    void setRangeMax(int maximum, bool redraw = false);
    int rangeMin() const { return model_.rangeMin(); }
    int rangeMax() const { return model_.rangeMax(); }
    // Stores the position limited to the range and repaints; reports nothing.
    void setPos(int position);
    int pos() const { return model_.pos(); }
    void setMargins(int left, int top, int right, int bottom);
    int setHomePos(int position);  // returns the previous home position
    int homePos() const { return model_.homePos(); }
    // A disabled slider draws its track without a thumb and ignores buttons and keys.
    void enableSlider(bool enable);
    bool isSliderEnabled() const { return model_.enabled(); }
    bool thumbGrabbed() const { return model_.thumbGrabbed(); }
    // Where the thumb's centre is drawn, in the slider's own coordinates.
    QPoint thumbCentre() const;

    // The two configurations of the program, artwork included: the output page's gain
    // sliders (0..420 from +12 dB down, home 120) and the PEQ band dialog's gain slider
    // (0..450 from +15 dB down, home 150, starting at 100).
    void configureForOutputPage();
    void configureForBandDialog();

    QSize sizeHint() const override;

signals:
    void moving(int position);
    void moved(int position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void handlePress(QMouseEvent* event);
    void postMoving(int position);
    void postMoved(int position);

    SliderModel model_;
    QPixmap track_;
    QPixmap thumb_;
    QPixmap focusedThumb_;
    bool trackLoaded_ = false;
    bool thumbLoaded_ = false;
    bool focusedThumbPresent_ = false;
};

}  // namespace kv
