// Start-up: the real program, started offscreen with a bank file, until its main window
// has painted for the first time (its --quit-after-first-paint switch prints the moment
// and quits), against a bare Qt main window started the same way by this program itself
// (--bare-window). Each round starts one of each, so the machine's load hits both alike;
// the figures are the medians over the rounds. The bare window's status bar shows one
// line of text: a window without any text never sets up the font system, which every
// real main window pays for before its first paint.

#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QMainWindow>
#include <QStatusBar>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "document/KorvaliserDoc.h"
#include "document/file/OvkFile.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Prints the clock once the main window's first paint has reached the screen, then quits.
class FirstPaintExit : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!seen_ && event->type() == QEvent::Paint && qobject_cast<QMainWindow*>(watched)) {
            seen_ = true;
            QMetaObject::invokeMethod(
                this,
                [] {
                    const auto now = std::chrono::nanoseconds(Clock::now().time_since_epoch());
                    std::printf("%lld\n", static_cast<long long>(now.count()));
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

int runBareWindow(int argc, char** argv) {
    QApplication application(argc, argv);
    FirstPaintExit probe;
    application.installEventFilter(&probe);
    QMainWindow window;
    window.statusBar()->showMessage(QStringLiteral("Ready"));
    window.showMaximized();
    return QApplication::exec();
}

// Starts a program and returns the seconds from the start to the clock it prints.
std::optional<double> secondsToFirstPaint(const std::vector<std::string>& arguments) {
    int out[2];
    if (pipe(out) != 0) return std::nullopt;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const Clock::time_point start = Clock::now();
    pid_t child = 0;
    const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    std::string printed;
    char buffer[64];
    for (ssize_t n; spawned == 0 && (n = read(out[0], buffer, sizeof buffer)) > 0;) printed.append(buffer, n);
    close(out[0]);
    int status = 0;
    if (spawned != 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    const Clock::time_point painted{std::chrono::duration_cast<Clock::duration>(
        std::chrono::nanoseconds(std::strtoll(printed.c_str(), nullptr, 10)))};
    if (painted <= start) return std::nullopt;
    return std::chrono::duration<double>(painted - start).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void BM_StartupToFirstPaint(benchmark::State& state) {
    // The children run offscreen and keep their settings away from the user's own.
    const fs::path home = fs::temp_directory_path() / ("kv-bench-startup-" + std::to_string(getpid()));
    fs::create_directories(home);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("XDG_CONFIG_HOME", home.c_str(), 1);
    kv::CKorvaliserDoc doc;
    doc.setGain(0, 140);
    const std::string bank = (home / "startup.ovk").string();
    if (!kv::saveDocument(doc, bank).ok) {
        state.SkipWithError("cannot write the bank file");
        return;
    }
    const std::vector<std::string> program{KV_PROGRAM_PATH, "--quit-after-first-paint", bank};
    const std::vector<std::string> bare{fs::canonical("/proc/self/exe").string(), "--bare-window"};
    // The first start of each fills the caches that every later one finds warm.
    secondsToFirstPaint(program);
    secondsToFirstPaint(bare);

    std::vector<double> programTimes;
    std::vector<double> bareTimes;
    for (auto _ : state) {
        const std::optional<double> window = secondsToFirstPaint(bare);
        const std::optional<double> real = secondsToFirstPaint(program);
        if (!window || !real) {
            state.SkipWithError("a start did not report its first paint");
            break;
        }
        bareTimes.push_back(*window);
        programTimes.push_back(*real);
        state.SetIterationTime(*real);
    }
    fs::remove_all(home);
    if (programTimes.empty()) return;
    state.counters["program_ms"] = 1000.0 * median(programTimes);
    state.counters["bare_ms"] = 1000.0 * median(bareTimes);
}
BENCHMARK(BM_StartupToFirstPaint)->UseManualTime()->Iterations(15)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--bare-window") return runBareWindow(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
