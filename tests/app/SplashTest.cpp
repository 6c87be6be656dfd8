// The start-up splash: it closes after its time or on any key or click in the program,
// swallowing only what was aimed at itself.

#include "app/frame/Splash.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QPointer>
#include <QTest>
#include <QWidget>

namespace kv {
namespace {

TEST(Splash, ClosesOnAClickOrAKeyAnywhereAndPassesOnWhatWasAimedElsewhere) {
    // The main window, which holds the keyboard while the splash is shown.
    QWidget window;
    window.setFocusPolicy(Qt::StrongFocus);
    window.show();
    window.setFocus();
    int inputReachingWindow = 0;
    struct Counter : QObject {
        int& count;
        explicit Counter(int& c) : count(c) {}
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::KeyPress || e->type() == QEvent::MouseButtonPress) ++count;
            return false;
        }
    } counter(inputReachingWindow);
    window.installEventFilter(&counter);

    for (const bool click : {true, false}) {
        for (const bool onSplash : {true, false}) {
            QPointer<CSplash> splash = CSplash::show(QStringLiteral(":/app/splash.svg"), 5000);
            ASSERT_FALSE(splash.isNull());
            EXPECT_TRUE(splash->isTimerRunning());
            EXPECT_FALSE(splash->size().isEmpty());
            QWidget* target = onSplash ? static_cast<QWidget*>(splash.data()) : &window;
            const int before = inputReachingWindow;
            if (click)
                QTest::mouseClick(target, Qt::LeftButton);
            else
                QTest::keyClick(target, Qt::Key_Space);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            EXPECT_TRUE(splash.isNull()) << "click " << click << " on splash " << onSplash;
            // A press on the splash ends there; one on the window is the window's.
            EXPECT_EQ(inputReachingWindow - before, onSplash ? 0 : 1)
                << "click " << click << " on splash " << onSplash;
        }
    }
}

TEST(Splash, ClosesAfterItsTimeAndIsSkippedWithoutAPicture) {
    QPointer<CSplash> splash = CSplash::show(QStringLiteral(":/app/splash.svg"), 50);
    ASSERT_FALSE(splash.isNull());
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            return splash.isNull();
        },
        3000));
    EXPECT_EQ(CSplash::show(QStringLiteral(":/app/missing.svg"), 50), nullptr);
}

}  // namespace
}  // namespace kv
