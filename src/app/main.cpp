// korvaliser: the preset manager's main window, or one of its command-line actions.

#include <QApplication>
#include <QIcon>
#include <QMainWindow>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "app/AppSettings.h"
#include "app/CommandLine.h"
#include "app/EditorLaunch.h"
#include "app/KorvaliserApp.h"
#include "ui/AppResources.h"

namespace {

QStringList argumentsOf(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

// Printing and PDF export need no screen: without a display they run offscreen.
void chooseHeadlessPlatform(const kv::StartupOptions& options) {
    if (!options.headless() || std::getenv("QT_QPA_PLATFORM")) return;
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

// For the start-up benchmark: once the main window's first paint has been flushed, print
// the monotonic clock in nanoseconds and quit as if the window had been closed.
class FirstPaintExit : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!seen_ && event->type() == QEvent::Paint && qobject_cast<QMainWindow*>(watched)) {
            seen_ = true;
            QMetaObject::invokeMethod(
                this,
                [] {
                    const auto now = std::chrono::steady_clock::now().time_since_epoch();
                    std::printf("%lld\n", static_cast<long long>(std::chrono::nanoseconds(now).count()));
                    std::fflush(stdout);
                    QCoreApplication::exit(0);
                },
                Qt::QueuedConnection);
        }
        return false;
    }

private:
    bool seen_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    const kv::StartupOptions options = kv::parseCommandLine(argumentsOf(argc, argv));
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "korvaliser: %s\n%s", qPrintable(options.error),
                     qPrintable(kv::commandLineUsage()));
        return 2;
    }
    if (options.action == kv::StartupOptions::Action::Help) {
        std::fputs(qPrintable(kv::commandLineUsage()), stdout);
        return 0;
    }
    chooseHeadlessPlatform(options);

    QApplication application(argc, argv);
    kv::ensureAppResources();
    kv::nameTheApplication();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/app/korvaliser.svg")));

    if (options.action == kv::StartupOptions::Action::Edit) {
        const kv::Prompts prompts = kv::Prompts::interactive();
        return kv::runEditorStandalone(options.file, options.preset, options.simulate, prompts,
                                       *kv::openUserSettings());
    }

    FirstPaintExit firstPaint;
    if (options.quitAfterFirstPaint) application.installEventFilter(&firstPaint);
    kv::CKorvaliserApp app(kv::openUserSettings(),
                           options.headless() ? kv::Prompts::console() : kv::Prompts{});
    if (!app.initInstance(options)) return 1;
    if (options.headless()) return 0;
    const int result = QApplication::exec();
    app.exitInstance();
    return result;
}
