#include "app/frame/Splash.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QSvgRenderer>
#include <QWindow>

#include "ui/AppResources.h"

namespace kv {

namespace {

QPixmap loadPicture(const QString& path) {
    ensureAppResources();
    if (path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)) {
        QSvgRenderer renderer(path);
        if (!renderer.isValid()) return {};
        const qreal ratio = qApp->devicePixelRatio();
        QPixmap pixmap(renderer.defaultSize() * ratio);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        pixmap.setDevicePixelRatio(ratio);
        return pixmap;
    }
    return QPixmap(path);
}

}  // namespace

CSplash* CSplash::show(const QString& picture, int displayMs, QWidget* parent) {
    QPixmap pixmap = loadPicture(picture);
    if (pixmap.isNull()) return nullptr;
    auto* splash = new CSplash(std::move(pixmap), displayMs, parent);
    splash->QWidget::show();
    splash->raise();
    splash->repaint();
    return splash;
}

CSplash::CSplash(QPixmap picture, int displayMs, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      picture_(std::move(picture)) {
    setObjectName(QStringLiteral("splash"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFocusPolicy(Qt::StrongFocus);
    const QSize size = picture_.deviceIndependentSize().toSize();
    setFixedSize(size);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect area(QPoint(), size);
        area.moveCenter(screen->availableGeometry().center());
        move(area.topLeft());
    }
    timer_.start(displayMs, this);
    if (QCoreApplication* application = QCoreApplication::instance()) application->installEventFilter(this);
}

void CSplash::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, picture_);
}

void CSplash::timerEvent(QTimerEvent* event) {
    if (event->timerId() == timer_.timerId()) finish();
}

void CSplash::keyPressEvent(QKeyEvent* event) {
    event->accept();
    finish();
}

void CSplash::mousePressEvent(QMouseEvent* event) {
    event->accept();
    finish();
}

bool CSplash::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::NonClientAreaMouseButtonPress:
            // Input on the splash itself is its own handlers' (and goes no further); input
            // aimed at another window closes the splash and still reaches that window.
            if (!isOwnInput(watched)) finish();
            return false;
        default: return QWidget::eventFilter(watched, event);
    }
}

bool CSplash::isOwnInput(const QObject* watched) const {
    if (watched == this || watched == static_cast<const QObject*>(windowHandle())) return true;
    const auto* widget = qobject_cast<const QWidget*>(watched);
    return widget != nullptr && widget->window() == this;
}

void CSplash::finish() {
    if (QCoreApplication* application = QCoreApplication::instance()) application->removeEventFilter(this);
    timer_.stop();
    close();
}

}  // namespace kv
