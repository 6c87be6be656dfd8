// PosixSerialPort on a bare pseudo-terminal whose other side the test plays: opening
// and exclusivity (also after a killed holder), line settings, the read time-outs, purge, and a device that
// vanishes.

#include "link/PosixSerialPort.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <thread>

namespace kv {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;

// The far end of the line: the master side of a pseudo-terminal.
class FarEnd {
public:
    FarEnd() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        char name[128] = {};
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0 ||
            ::ptsname_r(master_, name, sizeof name) != 0)
            throw std::runtime_error("no pseudo-terminal");
        path_ = name;
    }
    ~FarEnd() { hangUp(); }
    FarEnd(const FarEnd&) = delete;
    FarEnd& operator=(const FarEnd&) = delete;

    const std::string& path() const { return path_; }
    void send(const Bytes& bytes) const {
        ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    Bytes receive(std::size_t count) const {
        Bytes got;
        const auto until = Clock::now() + 1s;
        while (got.size() < count && Clock::now() < until) {
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0) continue;
            std::uint8_t buffer[256];
            const ssize_t n = ::read(master_, buffer, std::min(sizeof buffer, count - got.size()));
            if (n > 0) got.insert(got.end(), buffer, buffer + n);
        }
        return got;
    }
    termios lineSettings() const {
        termios tio{};
        ::tcgetattr(master_, &tio);
        return tio;
    }
    void hangUp() {
        if (master_ >= 0) ::close(master_);
        master_ = -1;
    }

private:
    int master_ = -1;
    std::string path_;
};

template <typename F>
Clock::duration timed(F&& f) {
    const auto start = Clock::now();
    f();
    return Clock::now() - start;
}

TEST(PosixSerialPort, ExplainsWhyADeviceWillNotOpen) {
    const struct {
        const char* path;
        const char* reason;
    } cases[] = {
        {"/dev/korvaliser-no-such-port", "No such file or directory"},
        {"/dev/null", "Inappropriate ioctl for device"},
        {"/", "Is a directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        PosixSerialPort port;
        EXPECT_FALSE(port.open(c.path));
        EXPECT_FALSE(port.isOpen());
        EXPECT_NE(port.lastError().find(c.reason), std::string::npos) << port.lastError();
        EXPECT_NE(port.lastError().find(c.path), std::string::npos);
        EXPECT_FALSE(port.configure(115200));
        EXPECT_EQ(port.write(Bytes{1}), 0u);
    }
}

TEST(PosixSerialPort, OpensExclusively) {
    FarEnd far;
    PosixSerialPort first;
    ASSERT_TRUE(first.open(far.path())) << first.lastError();
    PosixSerialPort second;
    EXPECT_FALSE(second.open(far.path()));
    EXPECT_NE(second.lastError().find("another program is using this port"), std::string::npos)
        << second.lastError();
    first.close();
    EXPECT_TRUE(second.open(far.path())) << second.lastError();
    // Closing gave the exclusivity up, also for the one who had it.
    second.close();
    EXPECT_TRUE(first.open(far.path())) << first.lastError();
}

// A run of the tool killed while it held the port (Ctrl-C, SIGTERM, kill -9) must leave
// it free for the next run, also while the far end (the simulator) stays open; while the
// holder lives, the port is refused with a clear reason.
TEST(PosixSerialPort, AKilledHolderLeavesThePortFree) {
    FarEnd far;
    for (const int signal : {SIGINT, SIGTERM, SIGKILL}) {
        SCOPED_TRACE(signal);
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t holder = ::fork();
        ASSERT_GE(holder, 0);
        if (holder == 0) {
            PosixSerialPort port;
            const char opened = port.open(far.path()) ? '1' : '0';
            [[maybe_unused]] const ssize_t n = ::write(ready[1], &opened, 1);
            for (;;) ::pause();
        }
        ::close(ready[1]);
        char opened = 0;
        ASSERT_EQ(::read(ready[0], &opened, 1), 1);
        ::close(ready[0]);
        ASSERT_EQ(opened, '1');

        PosixSerialPort next;
        EXPECT_FALSE(next.open(far.path()));
        EXPECT_NE(next.lastError().find("another program is using this port"), std::string::npos)
            << next.lastError();

        ::kill(holder, signal);
        ASSERT_EQ(::waitpid(holder, nullptr, 0), holder);
        // An exclusive flag left on the line would refuse every later open ("Device or
        // resource busy") to all but the super-user.
        const int probe = ::open(far.path().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        ASSERT_GE(probe, 0);
        int exclusive = -1;
        ASSERT_EQ(::ioctl(probe, TIOCGEXCL, &exclusive), 0);
        ::close(probe);
        EXPECT_EQ(exclusive, 0) << "the killed run's exclusive flag outlived it";
        EXPECT_TRUE(next.open(far.path())) << next.lastError();
        next.close();
    }
}

TEST(PosixSerialPort, ConfiguresRaw8N1AtEachSpeed) {
    FarEnd far;
    PosixSerialPort port;
    ASSERT_TRUE(port.open(far.path()));
    const struct {
        int baud;
        speed_t code;
    } cases[] = {{2400, B2400},   {4800, B4800},   {9600, B9600},    {19200, B19200},
                 {38400, B38400}, {57600, B57600}, {115200, B115200}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.baud);
        ASSERT_TRUE(port.configure(c.baud)) << port.lastError();
        const termios tio = far.lineSettings();
        EXPECT_EQ(::cfgetospeed(&tio), c.code);
        EXPECT_EQ(::cfgetispeed(&tio), c.code);
        EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
        EXPECT_EQ(tio.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
        EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | ICRNL | ISTRIP), 0u);
        EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0u);
        EXPECT_EQ(tio.c_oflag & OPOST, 0u);
    }
    EXPECT_FALSE(port.configure(1234));
    EXPECT_NE(port.lastError().find("1234"), std::string::npos);
}

TEST(PosixSerialPort, CarriesBytesBothWaysUnchanged) {
    FarEnd far;
    PosixSerialPort port;
    ASSERT_TRUE(port.open(far.path()));
    ASSERT_TRUE(port.configure(115200));
    port.setTimeouts({20, 2, 500, 2, 100});
    Bytes all(256);
    for (int i = 0; i < 256; ++i) all[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    EXPECT_EQ(port.write(all), all.size());
    EXPECT_EQ(far.receive(all.size()), all);
    far.send(all);
    Bytes got(all.size());
    EXPECT_EQ(port.read(got), all.size());
    EXPECT_EQ(got, all);
}

TEST(PosixSerialPort, ReadTimeOutsBehaveAsConfigured) {
    FarEnd far;
    PosixSerialPort port;
    ASSERT_TRUE(port.open(far.path()));
    ASSERT_TRUE(port.configure(115200));
    Bytes buffer(8);

    // Silent line: the total time-out is constant + multiplier x bytes asked.
    port.setTimeouts({10, 10, 120, 0, 0});
    std::size_t got = 99;
    const auto silent = timed([&] { got = port.read(buffer); });
    EXPECT_EQ(got, 0u);
    EXPECT_GE(silent, 195ms);
    EXPECT_LT(silent, 2s);

    // Bytes stop coming: the interval ends the read long before the total.
    port.setTimeouts({40, 0, 5000, 0, 0});
    far.send({1, 2, 3});
    const auto gap = timed([&] { got = port.read(buffer); });
    EXPECT_EQ(got, 3u);
    EXPECT_LT(gap, 2500ms);

    // The interval does not run before the first byte.
    port.setTimeouts({20, 0, 3000, 0, 0});
    std::thread late([&] {
        std::this_thread::sleep_for(150ms);
        far.send({7, 8});
    });
    got = port.read(buffer);
    late.join();
    EXPECT_EQ(got, 2u);
    EXPECT_EQ(buffer[0], 7);

    // A complete read returns at once.
    port.setTimeouts({0, 0, 5000, 0, 0});
    far.send({1, 2, 3, 4, 5, 6, 7, 8});
    const auto full = timed([&] { got = port.read(buffer); });
    EXPECT_EQ(got, 8u);
    EXPECT_LT(full, 2500ms);
}

TEST(PosixSerialPort, PurgeThrowsAwayWhatArrived) {
    FarEnd far;
    PosixSerialPort port;
    ASSERT_TRUE(port.open(far.path()));
    ASSERT_TRUE(port.configure(115200));
    port.setTimeouts({0, 0, 300, 0, 0});
    far.send({0x11, 0x22, 0x33});
    Bytes one(1);
    ASSERT_EQ(port.read(one), 1u);  // the bytes have arrived
    port.purgeReceive();
    port.setTimeouts({0, 0, 50, 0, 0});
    Bytes rest(2);
    EXPECT_EQ(port.read(rest), 0u);
}

TEST(PosixSerialPort, WriteGivesUpWhenTheLineDoesNotDrain) {
    FarEnd far;  // never reads
    PosixSerialPort port;
    ASSERT_TRUE(port.open(far.path()));
    ASSERT_TRUE(port.configure(115200));
    port.setTimeouts({0, 0, 0, 0, 200});
    const Bytes flood(1 << 20, 0x55);
    std::size_t written = 0;
    const auto took = timed([&] { written = port.write(flood); });
    EXPECT_LT(written, flood.size());
    EXPECT_LT(took, 3s);
    EXPECT_NE(port.lastError().find("time-out"), std::string::npos) << port.lastError();
}

TEST(PosixSerialPort, AVanishingDeviceEndsReadsAndWrites) {
    FarEnd far;
    PosixSerialPort port;
    ASSERT_TRUE(port.open(far.path()));
    ASSERT_TRUE(port.configure(115200));
    port.setTimeouts({0, 0, 10000, 0, 500});
    std::thread unplug([&] {
        std::this_thread::sleep_for(100ms);
        far.hangUp();
    });
    Bytes buffer(9);
    std::size_t got = 99;
    const auto took = timed([&] { got = port.read(buffer); });
    unplug.join();
    EXPECT_EQ(got, 0u);
    EXPECT_LT(took, 5s);
    EXPECT_NE(port.lastError().find("Input/output error"), std::string::npos) << port.lastError();
    EXPECT_LT(port.write(Bytes{0xE0, 0x01}), 2u);
    port.close();
    EXPECT_FALSE(port.open(far.path()));
}

TEST(SerialDevices, ComPortsMapToTheBuiltInPorts) {
    const struct {
        int index;
        const char* path;
    } cases[] = {{0, "/dev/ttyS0"}, {1, "/dev/ttyS1"}, {11, "/dev/ttyS11"}, {-3, "/dev/ttyS0"}};
    for (const auto& c : cases) EXPECT_EQ(comPortDevicePath(c.index), c.path);
}

}  // namespace
}  // namespace kv
