#include "sim/SimulatedAmplifier.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <fstream>
#include <mutex>
#include <numbers>
#include <stdexcept>
#include <thread>

#include "document/MessageCode.h"
#include "sim/FrameAssembler.h"
#include "sim/PseudoTerminal.h"
#include "sim/SimProtocol.h"

namespace kv {

namespace {

using Clock = std::chrono::steady_clock;

// The line is quiet this long in the middle of a request: the request was cut short.
constexpr int kRequestGapMs = 50;
constexpr int kWriteTimeoutMs = 1000;
constexpr std::size_t kNameOffset = 534;  // preset name in the image (after the slot byte)
constexpr std::size_t kNameBytes = 16;

std::runtime_error systemError(const std::string& what) {
    return std::runtime_error(what + ": " + std::strerror(errno));
}

}  // namespace

// Everything the serving thread and the callers share lives behind one mutex; the
// thread never holds it while it sleeps or writes to the line.
class SimulatedAmplifier::Engine {
public:
    explicit Engine(SimulatorOptions options);
    ~Engine();

    const std::string& devicePath() const { return slavePath_; }
    bool isConnected() const { return connected_.load(); }

    template <typename F>
    void change(F&& apply) {
        const std::lock_guard lock(mutex_);
        apply(*this);
    }
    template <typename F>
    auto inspect(F&& look) const {
        const std::lock_guard lock(mutex_);
        return look(*this);
    }
    bool waitForFrames(std::size_t count, std::chrono::milliseconds timeout) const {
        std::unique_lock lock(mutex_);
        return framesChanged_.wait_for(lock, timeout, [&] { return frames_.size() >= count; });
    }
    void requestHangUp();

    // --- shared state (guarded by mutex_) ---
    SimulatorOptions options_;
    std::optional<std::array<std::uint8_t, 9>> identityOverride_;
    std::optional<std::pair<int, int>> fixedMeters_;
    std::pair<int, int> temperatures_{42, 40};
    bool silent_ = false;
    std::vector<std::uint8_t> strayBytes_;
    int strayReplies_ = 0;
    int refuseCount_ = 0;
    int framesBeforeHangUp_ = -1;
    std::vector<SimFrame> frames_;
    std::array<SimPresetImage, kSimPresetSlots> slots_{};
    std::array<bool, kSimPresetSlots> slotFilled_{};
    int recalled_ = 0;

private:
    struct Reply {
        std::vector<std::uint8_t> bytes;
        bool hangUpAfter = false;
        bool wireTime = false;
    };

    void serve();
    bool waitForInput(int timeoutMs, bool& wake);
    void readAvailable();
    void handle(const AssembledRequest& request, Clock::time_point began);
    Reply decide(SimFrame& frame);
    std::vector<std::uint8_t> answerData(SimFrame& frame, bool& hangUpAfter);
    std::pair<int, int> meterValues() const;
    int hostBaud() const;
    void pauseUntil(Clock::time_point until);
    void writeLine(const std::vector<std::uint8_t>& bytes);
    void record(SimFrame frame);
    void closeLine();
    void waitUntilHostRead();

    mutable std::mutex mutex_;
    mutable std::condition_variable framesChanged_;
    std::ofstream logFile_;
    const Clock::time_point started_ = Clock::now();

    int master_ = -1;
    int slave_ = -1;  // kept open: the line's settings survive the host closing it
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    std::string slavePath_;
    std::atomic<bool> connected_{false};
    std::atomic<bool> stopping_{false};
    std::atomic<bool> hangUpWanted_{false};
    FrameAssembler assembler_;
    Clock::time_point requestBegan_{};  // when the first byte of the pending request came
    Clock::time_point lineFreeAt_{};    // when the last reply's wire time was over
    std::thread thread_;
};

SimulatedAmplifier::Engine::Engine(SimulatorOptions options) : options_(std::move(options)) {
    if (!options_.logPath.empty()) {
        logFile_.open(options_.logPath, std::ios::out | std::ios::app);
        if (!logFile_) throw std::runtime_error("Cannot open the log file " + options_.logPath);
    }
    PseudoTerminalEnds ends = openPseudoTerminal();
    master_ = ends.master;
    slave_ = ends.slave;
    slavePath_ = std::move(ends.slavePath);
    int pipeFds[2] = {-1, -1};
    if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) {
        const auto error = systemError("Cannot open the pseudo-terminal");
        closeFd(slave_);
        closeFd(master_);
        throw error;
    }
    wakeRead_ = pipeFds[0];
    wakeWrite_ = pipeFds[1];
    connected_ = true;
    thread_ = std::thread([this] { serve(); });
}

SimulatedAmplifier::Engine::~Engine() {
    stopping_ = true;
    const std::uint8_t wake = 1;
    [[maybe_unused]] const auto written = ::write(wakeWrite_, &wake, 1);
    thread_.join();
    closeLine();
    closeFd(wakeRead_);
    closeFd(wakeWrite_);
}

void SimulatedAmplifier::Engine::requestHangUp() {
    hangUpWanted_ = true;
    const std::uint8_t wake = 1;
    [[maybe_unused]] const auto written = ::write(wakeWrite_, &wake, 1);
    std::unique_lock lock(mutex_);
    framesChanged_.wait_for(lock, std::chrono::seconds(5), [&] { return !connected_.load(); });
}

bool SimulatedAmplifier::Engine::waitForInput(int timeoutMs, bool& wake) {
    pollfd fds[2] = {{wakeRead_, POLLIN, 0}, {master_, POLLIN, 0}};
    const nfds_t count = master_ >= 0 ? 2 : 1;
    const int n = ::poll(fds, count, timeoutMs);
    if (n <= 0) return false;
    if (fds[0].revents & POLLIN) {
        std::uint8_t drain[16];
        while (::read(wakeRead_, drain, sizeof drain) > 0) {
        }
        wake = true;
    }
    if (count == 2 && (fds[1].revents & (POLLHUP | POLLERR)) && !(fds[1].revents & POLLIN)) {
        // The slave is kept open, so this is rare; do not spin on it.
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return false;
    }
    return count == 2 && (fds[1].revents & POLLIN);
}

void SimulatedAmplifier::Engine::serve() {
    // A short frame's wire time at 115200 baud is about a millisecond: the default timer
    // slack (50 us) would make every emulated reply that much later than the line.
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    while (!stopping_) {
        if (hangUpWanted_.exchange(false)) closeLine();
        const int timeout = assembler_.collecting() ? kRequestGapMs : -1;
        bool wake = false;
        const bool input = waitForInput(timeout, wake);
        if (stopping_) break;
        if (input) {
            readAvailable();
        } else if (!wake && assembler_.collecting()) {
            if (auto broken = assembler_.takeUnfinished()) handle(*broken, requestBegan_);
        }
    }
}

void SimulatedAmplifier::Engine::readAvailable() {
    std::array<std::uint8_t, 4096> chunk{};
    const ssize_t n = ::read(master_, chunk.data(), chunk.size());
    if (n <= 0) return;
    // On the line a request's bytes arrive during its own wire time: that time runs from
    // its first byte, not from when the last one was taken in.
    const Clock::time_point arrived = Clock::now();
    std::vector<AssembledRequest> done;
    for (ssize_t i = 0; i < n; ++i) {
        const Clock::time_point began = assembler_.collecting() ? requestBegan_ : arrived;
        assembler_.feed(chunk[static_cast<std::size_t>(i)], done);
        requestBegan_ = done.empty() ? began : arrived;  // a request broken off starts another
        for (const auto& request : done) {
            handle(request, began);
            if (master_ < 0) return;  // hung up in the middle of the chunk
        }
        done.clear();
    }
}

int SimulatedAmplifier::Engine::hostBaud() const { return lineBaud(slave_); }

std::pair<int, int> SimulatedAmplifier::Engine::meterValues() const {
    if (fixedMeters_) return *fixedMeters_;
    // A slow sine per output, so a user sees both bars breathing.
    const double t = std::chrono::duration<double>(Clock::now() - started_).count();
    const double m1 = 96.0 + 80.0 * std::sin(2.0 * std::numbers::pi * t / 4.0);
    const double m2 = 96.0 + 80.0 * std::sin(2.0 * std::numbers::pi * t / 5.0 + 1.0);
    return {static_cast<int>(std::lround(m1)), static_cast<int>(std::lround(m2))};
}

std::vector<std::uint8_t> SimulatedAmplifier::Engine::answerData(SimFrame& frame, bool& hangUpAfter) {
    if (framesBeforeHangUp_ == 0) {
        framesBeforeHangUp_ = -1;
        hangUpAfter = true;
        frame.problem = "line hung up";
        return {};
    }
    if (framesBeforeHangUp_ > 0 && --framesBeforeHangUp_ == 0) {
        framesBeforeHangUp_ = -1;
        hangUpAfter = true;
    }
    if (refuseCount_ > 0) {
        --refuseCount_;
        frame.problem = "refused on request";
        return {kSimRefusal};
    }
    frame.accepted = true;
    if (frame.code == MsgPresetImage) {
        const auto slot = static_cast<std::size_t>(frame.slot);
        std::copy(frame.body.begin() + 1, frame.body.end(), slots_[slot].begin());
        slotFilled_[slot] = true;
    } else if (frame.code == MsgRecall) {
        recalled_ = frame.presetNumber;
    }
    return {kSimAcknowledge};
}

SimulatedAmplifier::Engine::Reply SimulatedAmplifier::Engine::decide(SimFrame& frame) {
    Reply reply;
    reply.wireTime = options_.emulateWireTime;
    const auto& speeds = options_.answerSpeeds;
    if (!speeds.empty() && std::find(speeds.begin(), speeds.end(), frame.hostBaud) == speeds.end()) {
        frame.problem = "not answered at this speed";
        return reply;
    }
    if (silent_) {
        frame.problem = "silent";
        return reply;
    }
    const int model = options_.modelCode;
    switch (frame.kind) {
        case SimFrameKind::Identify: {
            const auto bytes = identityOverride_ ? *identityOverride_ : identificationReply(model);
            reply.bytes.assign(bytes.begin(), bytes.end());
            break;
        }
        case SimFrameKind::MeterQuery: {
            const auto [m1, m2] = meterValues();
            const auto bytes = meterReply(model, m1, m2);
            reply.bytes.assign(bytes.begin(), bytes.end());
            break;
        }
        case SimFrameKind::TemperatureQuery: {
            const auto bytes = temperatureReply(model, temperatures_.first, temperatures_.second);
            reply.bytes.assign(bytes.begin(), bytes.end());
            break;
        }
        case SimFrameKind::Data: reply.bytes = answerData(frame, reply.hangUpAfter); break;
        case SimFrameKind::Invalid: reply.bytes = {kSimRefusal}; break;
    }
    frame.answered = !reply.bytes.empty();
    if (frame.answered && strayReplies_ != 0) {
        reply.bytes.insert(reply.bytes.begin(), strayBytes_.begin(), strayBytes_.end());
        if (strayReplies_ > 0) --strayReplies_;
    }
    return reply;
}

void SimulatedAmplifier::Engine::handle(const AssembledRequest& request, Clock::time_point began) {
    const int baud = hostBaud();
    SimFrame frame;
    Reply reply;
    {
        const std::lock_guard lock(mutex_);
        frame = decodeRequest(request.bytes, request.complete, options_.modelCode);
        frame.hostBaud = baud;
        reply = decide(frame);
    }
    // Recorded before the reply leaves: a host holding the reply finds the frame. Done
    // before the wire time, so the reply leaves when the line would have carried it.
    record(std::move(frame));
    if (!reply.bytes.empty() && reply.wireTime && baud > 0) {
        // Ten bits per byte for the request to arrive and the reply to leave, from the
        // request's first byte (a line still busy with the last reply starts later).
        const auto bits = 10.0 * static_cast<double>(request.bytes.size() + reply.bytes.size());
        lineFreeAt_ =
            std::max(began, lineFreeAt_) + std::chrono::microseconds(std::llround(1e6 * bits / baud));
        pauseUntil(lineFreeAt_);
    }
    if (!reply.bytes.empty()) writeLine(reply.bytes);
    if (reply.hangUpAfter) {
        waitUntilHostRead();
        closeLine();
    }
}

// A hang-up throws away what the host has not read yet; let it take the last reply.
// The reply reaches the host's input queue a moment after it was written, so first
// wait for it to show there, then for the host to read it.
void SimulatedAmplifier::Engine::waitUntilHostRead() {
    const auto pendingForHost = [this] {
        int pending = 0;
        return slave_ >= 0 && ::ioctl(slave_, TIOCINQ, &pending) == 0 ? pending : 0;
    };
    const auto start = Clock::now();
    while (!stopping_ && pendingForHost() == 0 && Clock::now() - start < std::chrono::milliseconds(50))
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const auto giveUp = Clock::now() + std::chrono::milliseconds(kWriteTimeoutMs);
    while (!stopping_ && pendingForHost() > 0 && Clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

void SimulatedAmplifier::Engine::pauseUntil(Clock::time_point until) {
    pollfd wake{wakeRead_, POLLIN, 0};
    // Only the destructor's wake-up cuts a pause short; a hang-up request waits.
    // ppoll keeps the sub-millisecond part: a short frame at 115200 baud is about 1 ms.
    while (!stopping_) {
        const auto left = std::chrono::duration_cast<std::chrono::microseconds>(until - Clock::now());
        if (left.count() <= 0) return;
        const timespec timeout{static_cast<time_t>(left.count() / 1000000),
                               static_cast<long>((left.count() % 1000000) * 1000)};
        ::ppoll(&wake, 1, &timeout, nullptr);
        if (wake.revents & POLLIN) {
            if (stopping_) return;
            std::this_thread::sleep_for(
                std::min<std::chrono::microseconds>(left, std::chrono::milliseconds(5)));
        }
    }
}

void SimulatedAmplifier::Engine::writeLine(const std::vector<std::uint8_t>& bytes) {
    std::size_t done = 0;
    while (master_ >= 0 && done < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) return;
        // The host does not read: its input queue is full. Give up after a while.
        pollfd p{master_, POLLOUT, 0};
        if (::poll(&p, 1, kWriteTimeoutMs) <= 0) return;
    }
}

void SimulatedAmplifier::Engine::record(SimFrame frame) {
    const std::string line = toJsonLine(frame);
    {
        const std::lock_guard lock(mutex_);
        if (logFile_.is_open()) logFile_ << line << '\n' << std::flush;
        if (options_.logStream != nullptr) *options_.logStream << line << '\n' << std::flush;
        frames_.push_back(std::move(frame));
    }
    framesChanged_.notify_all();
}

void SimulatedAmplifier::Engine::closeLine() {
    {
        // Said before the line goes, so a host that sees the hang-up also sees this.
        const std::lock_guard lock(mutex_);
        connected_ = false;
    }
    closeFd(master_);
    closeFd(slave_);
    framesChanged_.notify_all();
}

// --- the public face ---

SimulatedAmplifier::SimulatedAmplifier(SimulatorOptions options)
    : engine_(std::make_unique<Engine>(std::move(options))) {}

SimulatedAmplifier::~SimulatedAmplifier() = default;

const std::string& SimulatedAmplifier::devicePath() const { return engine_->devicePath(); }
bool SimulatedAmplifier::isConnected() const { return engine_->isConnected(); }

void SimulatedAmplifier::setModelCode(int code) {
    engine_->change([code](Engine& e) { e.options_.modelCode = code; });
}
void SimulatedAmplifier::setIdentityReply(const std::array<std::uint8_t, 9>& reply) {
    engine_->change([&reply](Engine& e) { e.identityOverride_ = reply; });
}
void SimulatedAmplifier::clearIdentityReply() {
    engine_->change([](Engine& e) { e.identityOverride_.reset(); });
}
void SimulatedAmplifier::setAnswerSpeeds(std::vector<int> baudRates) {
    engine_->change([&baudRates](Engine& e) { e.options_.answerSpeeds = std::move(baudRates); });
}
void SimulatedAmplifier::setEmulateWireTime(bool on) {
    engine_->change([on](Engine& e) { e.options_.emulateWireTime = on; });
}
void SimulatedAmplifier::setMeters(int output1, int output2) {
    engine_->change([=](Engine& e) { e.fixedMeters_ = std::pair{output1, output2}; });
}
void SimulatedAmplifier::setMovingMeters() {
    engine_->change([](Engine& e) { e.fixedMeters_.reset(); });
}
void SimulatedAmplifier::setTemperatures(int first, int second) {
    engine_->change([=](Engine& e) { e.temperatures_ = {first, second}; });
}
void SimulatedAmplifier::setSilent(bool silent) {
    engine_->change([silent](Engine& e) { e.silent_ = silent; });
}
void SimulatedAmplifier::setStrayBytes(std::vector<std::uint8_t> bytes, int replies) {
    engine_->change([&](Engine& e) {
        e.strayBytes_ = std::move(bytes);
        e.strayReplies_ = e.strayBytes_.empty() ? 0 : replies;
    });
}
void SimulatedAmplifier::refuseNextFrames(int count) {
    engine_->change([count](Engine& e) { e.refuseCount_ = std::max(count, 0); });
}
void SimulatedAmplifier::hangUpAfterFrames(int frames) {
    engine_->change([frames](Engine& e) { e.framesBeforeHangUp_ = std::max(frames, 0); });
}
void SimulatedAmplifier::hangUp() { engine_->requestHangUp(); }

std::vector<SimFrame> SimulatedAmplifier::frames() const {
    return engine_->inspect([](const Engine& e) { return e.frames_; });
}
std::size_t SimulatedAmplifier::frameCount() const {
    return engine_->inspect([](const Engine& e) { return e.frames_.size(); });
}
void SimulatedAmplifier::clearFrames() {
    engine_->change([](Engine& e) { e.frames_.clear(); });
}
bool SimulatedAmplifier::waitForFrames(std::size_t count, std::chrono::milliseconds timeout) const {
    return engine_->waitForFrames(count, timeout);
}
std::optional<SimPresetImage> SimulatedAmplifier::storedPreset(int slot) const {
    if (slot < 0 || slot >= kSimPresetSlots) return std::nullopt;
    return engine_->inspect([slot](const Engine& e) -> std::optional<SimPresetImage> {
        const auto at = static_cast<std::size_t>(slot);
        if (!e.slotFilled_[at]) return std::nullopt;
        return e.slots_[at];
    });
}
std::string SimulatedAmplifier::storedPresetName(int slot) const {
    const auto image = storedPreset(slot);
    if (!image) return {};
    return std::string(image->begin() + kNameOffset, image->begin() + kNameOffset + kNameBytes);
}
int SimulatedAmplifier::recalledPreset() const {
    return engine_->inspect([](const Engine& e) { return e.recalled_; });
}

}  // namespace kv
