#pragma once
// The splash window of start-up: a borderless, top-most picture centred on the screen
// that closes itself after its display time, or at once on a key or mouse-button press
// anywhere in the program. A press on the splash goes no further; one aimed at another
// window (the main window has the keyboard while the splash is up) still reaches it.

#include <QBasicTimer>
#include <QPixmap>
#include <QWidget>

namespace kv {

class CSplash : public QWidget {
    Q_OBJECT
public:
    // Returns null when the picture cannot be loaded: start-up then goes on without it.
    static CSplash* show(const QString& picture, int displayMs, QWidget* parent = nullptr);

    CSplash(QPixmap picture, int displayMs, QWidget* parent = nullptr);
    bool isTimerRunning() const { return timer_.isActive(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void finish();
    bool isOwnInput(const QObject* watched) const;

    QPixmap picture_;
    QBasicTimer timer_;
};

}  // namespace kv
