// The link's two long transfers against the simulated unit with wire-time emulation at
// 115200 baud: storing all ten presets (ten identifications and ten whole-preset frames)
// and sending a whole preset (one identification and 29 frames). "wire_ratio" is the
// measured time over the pure wire time of every byte exchanged (ten bits a byte), so
// 1.0 would mean the host adds nothing to what the line itself costs. Building the
// frames alone is measured too, and so is the floor under every exchange: one byte to a
// thread on the other side of a pseudo-terminal and one byte back, with no work at all.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "connection/UnitConnection.h"
#include "document/KorvaliserDoc.h"
#include "link/OnlineSender.h"
#include "link/PresetBuildFile.h"
#include "link/PresetTransfer.h"
#include "link/UnitLink.h"
#include "protocol/UnitProtocol.h"
#include "sim/SimulatedAmplifier.h"

namespace {

constexpr double kBitsPerByte = 10.0;
constexpr double kBaud = 115200.0;

std::size_t replyBytes(const kv::SimFrame& frame) {
    if (!frame.answered) return 0;
    switch (frame.kind) {
        case kv::SimFrameKind::Identify: return 9;
        case kv::SimFrameKind::MeterQuery: return kv::kMeterReplyBytes;
        case kv::SimFrameKind::TemperatureQuery: return kv::kTemperatureReplyBytes;
        default: return 1;
    }
}

// Seconds the line needs for every request and reply the unit saw.
double wireSeconds(const std::vector<kv::SimFrame>& frames) {
    std::size_t bytes = 0;
    for (const kv::SimFrame& frame : frames) bytes += frame.length + replyBytes(frame);
    return static_cast<double>(bytes) * kBitsPerByte / kBaud;
}

kv::SimulatorOptions wireTimeOptions() {
    kv::SimulatorOptions options;
    options.emulateWireTime = true;
    return options;
}

struct Bench {
    kv::SimulatedAmplifier sim{wireTimeOptions()};
    kv::CKorvaliserDoc doc;
    kv::UnitConnection connection{doc, nullptr};
    kv::UnitLink& link = connection.link();
    kv::OnlineSender& sender = connection.sender();
    kv::PresetTransfer transfer{link, doc, sender};

    Bench() { connection.choosePort(link.comPortIndex(), link.baudIndex(), sim.devicePath()); }
};

template <typename Run>
void measureAgainstWire(benchmark::State& state, Bench& bench, Run run) {
    double measured = 0.0;
    double wire = 0.0;
    for (auto _ : state) {
        bench.sim.clearFrames();
        const auto start = std::chrono::steady_clock::now();
        if (!run()) {
            state.SkipWithError("the simulated unit did not take everything");
            break;
        }
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(elapsed.count());
        measured += elapsed.count();
        wire += wireSeconds(bench.sim.frames());
    }
    state.counters["wire_ms"] = benchmark::Counter(1000.0 * wire / static_cast<double>(state.iterations()));
    state.counters["wire_ratio"] = benchmark::Counter(wire > 0.0 ? measured / wire : 0.0);
}

void BM_StoreAllTenPresets(benchmark::State& state) {
    Bench bench;
    measureAgainstWire(state, bench, [&] {
        return bench.transfer.storeSelections(kv::kAllPresets).acknowledged == kv::kPresetCount;
    });
}
BENCHMARK(BM_StoreAllTenPresets)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_SendAllParameters(benchmark::State& state) {
    Bench bench;
    measureAgainstWire(state, bench, [&] {
        bench.link.setOffline();  // each run identifies anew, as "On Line" does
        return bench.sender.sendAllParametersSummary().acknowledged == kv::kAllParametersMessageCount;
    });
}
BENCHMARK(BM_SendAllParameters)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

// The other side of a raw pseudo-terminal: sends back every byte it gets until told to stop.
class PtyEcho {
public:
    PtyEcho() : master_(::posix_openpt(O_RDWR | O_NOCTTY)) {
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return;
        slave_ = ::open(::ptsname(master_), O_RDWR | O_NOCTTY);
        termios tio{};
        if (slave_ < 0 || ::tcgetattr(slave_, &tio) != 0) return;
        ::cfmakeraw(&tio);
        ::tcsetattr(slave_, TCSANOW, &tio);
        echo_ = std::thread([this] {
            std::uint8_t byte = 0;
            while (!stopping_ && ::read(master_, &byte, 1) == 1)
                if (::write(master_, &byte, 1) != 1) break;
        });
    }
    ~PtyEcho() {
        stopping_ = true;
        if (slave_ >= 0) ::close(slave_);  // the echo's read ends with the line
        if (echo_.joinable()) echo_.join();
        if (master_ >= 0) ::close(master_);
    }
    PtyEcho(const PtyEcho&) = delete;
    PtyEcho& operator=(const PtyEcho&) = delete;

    bool ready() const { return echo_.joinable(); }
    // The host's side, as an exchange waits: write, then poll until the reply is there.
    bool roundTrip() const {
        std::uint8_t byte = 0x5A;
        if (::write(slave_, &byte, 1) != 1) return false;
        pollfd p{slave_, POLLIN, 0};
        return ::poll(&p, 1, 1000) == 1 && ::read(slave_, &byte, 1) == 1;
    }

private:
    int master_ = -1;
    int slave_ = -1;
    std::atomic<bool> stopping_{false};
    std::thread echo_;
};

void BM_PtyRoundTrip(benchmark::State& state) {
    const PtyEcho echo;
    if (!echo.ready()) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    for (auto _ : state) {
        if (!echo.roundTrip()) {
            state.SkipWithError("the byte did not come back");
            break;
        }
    }
}
BENCHMARK(BM_PtyRoundTrip)->Unit(benchmark::kMicrosecond);

void BM_BuildAllTenPresetFrames(benchmark::State& state) {
    kv::CKorvaliserDoc doc;
    for (auto _ : state) benchmark::DoNotOptimize(kv::presetBuildImage(doc, kv::kAllPresets));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(kv::kBuildFileMaxBytes));
}
BENCHMARK(BM_BuildAllTenPresetFrames)->Unit(benchmark::kMicrosecond);

}  // namespace
