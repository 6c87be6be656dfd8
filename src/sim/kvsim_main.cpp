// kvsim: a simulated amplifier on a pseudo-terminal, for trying the program without
// hardware. Prints the device to open and serves until SIGINT or SIGTERM.

#include <signal.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <sstream>

#include "sim/SimulatedAmplifier.h"

namespace {

bool parseHexBytes(const std::string& text, std::vector<std::uint8_t>& bytes) {
    std::string digits;
    for (const char c : text)
        if (!std::isspace(static_cast<unsigned char>(c))) digits.push_back(c);
    if (digits.size() % 2 != 0) return false;
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        std::size_t used = 0;
        int value = 0;
        try {
            value = std::stoi(digits.substr(i, 2), &used, 16);
        } catch (const std::exception&) {
            return false;
        }
        if (used != 2) return false;
        bytes.push_back(static_cast<std::uint8_t>(value));
    }
    return true;
}

// A symlink at a fixed path, so the program's settings can name the same device
// every run. Only a symlink (or nothing) is ever replaced.
class DeviceLink {
public:
    DeviceLink(std::filesystem::path link, const std::string& target) : link_(std::move(link)) {
        std::error_code ec;
        if (std::filesystem::is_symlink(link_, ec)) std::filesystem::remove(link_, ec);
        std::filesystem::create_symlink(target, link_, ec);
        if (ec) throw std::runtime_error("Cannot create " + link_.string() + ": " + ec.message());
    }
    ~DeviceLink() {
        std::error_code ec;
        if (std::filesystem::is_symlink(link_, ec)) std::filesystem::remove(link_, ec);
    }
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

private:
    std::filesystem::path link_;
};

int waitForStopSignal(const sigset_t& signals) {
    int received = 0;
    while (sigwait(&signals, &received) != 0) {
    }
    return received;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Simulated Korvalis amplifier on a pseudo-terminal"};
    int model = 520;
    std::string linkPath;
    std::string logPath;
    std::vector<int> speeds;
    bool wireTime = false;
    std::vector<int> temperatures;
    std::vector<int> meters;
    bool silent = false;
    std::string stray;
    int refuse = 0;
    int hangUpAfter = -1;
    app.add_option("--model", model, "Amplifier model: 420 or 520")->check(CLI::IsMember({420, 520}));
    app.add_option("--link", linkPath, "Also reach the device through this symlink");
    app.add_option("--log", logPath,
                   "Append a JSON line per decoded frame to this file ('-' = standard output)");
    app.add_option("--speeds", speeds, "Answer only at these baud rates")->delimiter(',');
    app.add_flag("--wire-time", wireTime, "Take as long to answer as the host's line speed needs");
    app.add_option("--temperature", temperatures, "The two temperature readings, e.g. 58,61")
        ->delimiter(',')
        ->expected(2);
    app.add_option("--meters", meters, "Fixed raw meter values of the outputs, 0..255 (default: moving)")
        ->delimiter(',')
        ->expected(2);
    app.add_flag("--silent", silent, "Never answer");
    app.add_option("--stray", stray, "Hex bytes sent before every reply, e.g. 0102");
    app.add_option("--refuse", refuse, "Refuse this many data frames first");
    app.add_option("--hang-up-after", hangUpAfter, "Hang up after acknowledging this many data frames");
    CLI11_PARSE(app, argc, argv);

    std::vector<std::uint8_t> strayBytes;
    if (!parseHexBytes(stray, strayBytes)) {
        std::cerr << "kvsim: --stray wants pairs of hex digits\n";
        return 2;
    }

    // Block the stop signals before any thread starts, so only sigwait sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    try {
        kv::SimulatorOptions options;
        options.modelCode = model == 420 ? 0x31 : 0x32;
        options.emulateWireTime = wireTime;
        options.answerSpeeds = speeds;
        if (logPath == "-")
            options.logStream = &std::cout;
        else
            options.logPath = logPath;
        kv::SimulatedAmplifier amplifier(options);
        if (temperatures.size() == 2) amplifier.setTemperatures(temperatures[0], temperatures[1]);
        if (meters.size() == 2) amplifier.setMeters(meters[0], meters[1]);
        amplifier.setSilent(silent);
        amplifier.setStrayBytes(strayBytes);
        amplifier.refuseNextFrames(refuse);
        if (hangUpAfter >= 0) amplifier.hangUpAfterFrames(hangUpAfter);

        std::optional<DeviceLink> link;
        if (!linkPath.empty()) link.emplace(linkPath, amplifier.devicePath());
        std::cout << amplifier.devicePath() << std::endl;
        if (link) std::cerr << "kvsim: " << linkPath << " -> " << amplifier.devicePath() << '\n';

        const int signal = waitForStopSignal(stopSignals);
        std::cerr << "kvsim: stopped by signal " << signal << '\n';
    } catch (const std::exception& error) {
        std::cerr << "kvsim: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
