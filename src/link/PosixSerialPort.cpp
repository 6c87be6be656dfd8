#include "link/PosixSerialPort.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>

namespace kv {

namespace {

using Clock = std::chrono::steady_clock;
using Millis = std::chrono::milliseconds;

std::optional<speed_t> termiosSpeed(int baudRate) {
    switch (baudRate) {
        case 2400: return B2400;
        case 4800: return B4800;
        case 9600: return B9600;
        case 19200: return B19200;
        case 38400: return B38400;
        case 57600: return B57600;
        case 115200: return B115200;
        default: return std::nullopt;
    }
}

// What the user can do about the common reasons a port will not open.
std::string hintFor(int error) {
    switch (error) {
        case EACCES:
        case EPERM: return " (add your user to the 'dialout' group and log in again)";
        case EBUSY:
        case EWOULDBLOCK: return " (another program is using this port)";
        case ENOENT:
        case ENODEV:
        case ENXIO: return " (no such device: is the cable plugged in?)";
        default: return "";
    }
}

int remainingMs(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<Millis>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Waits for `events` on fd until the deadline (none = forever). True when ready;
// false on time-out, hang-up or error (errorOut then holds errno or EIO).
bool waitFor(int fd, short events, std::optional<Clock::time_point> deadline, int& errorOut) {
    for (;;) {
        const int timeout = deadline ? remainingMs(*deadline) : -1;
        pollfd p{fd, events, 0};
        const int n = ::poll(&p, 1, timeout);
        if (n < 0) {
            if (errno == EINTR) continue;
            errorOut = errno;
            return false;
        }
        if (n == 0) return false;
        if (p.revents & events) return true;
        // POLLHUP/POLLERR/POLLNVAL without data: the device went away.
        errorOut = (p.revents & POLLNVAL) ? EBADF : EIO;
        return false;
    }
}

// The slave side of a pseudo-terminal (the simulated amplifier, a terminal window).
bool isPseudoTerminal(int fd) {
    constexpr unsigned kFirstPtySlaveMajor = 136;  // Unix 98 slaves: majors 136..143
    constexpr unsigned kLastPtySlaveMajor = 143;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISCHR(info.st_mode)) return false;
    const unsigned deviceMajor = major(info.st_rdev);
    return deviceMajor >= kFirstPtySlaveMajor && deviceMajor <= kLastPtySlaveMajor;
}

}  // namespace

PosixSerialPort::~PosixSerialPort() { close(); }

void PosixSerialPort::fail(const std::string& what, int error) {
    lastError_ = what + " " + path_ + ": " + std::strerror(error) + hintFor(error);
}

bool PosixSerialPort::open(const std::string& devicePath) {
    close();
    path_ = devicePath;
    lastError_.clear();
    const int fd = ::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        fail("Cannot open", errno);
        return false;
    }
    // Exclusive: the advisory lock keeps out every program that asks politely, whoever
    // runs it, and goes with its holder however that ends (a killed run included).
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        fail("Cannot lock", errno == EWOULDBLOCK ? EBUSY : errno);
        ::close(fd);
        return false;
    }
    // TIOCEXCL also keeps out programs that do not ask (not the super-user). A serial
    // device drops the flag with its last close; a pseudo-terminal keeps it while its
    // other side is open, so a killed run would lock the next one out: not there.
    exclusive_ = !isPseudoTerminal(fd);
    if (exclusive_ && ::ioctl(fd, TIOCEXCL) != 0 && errno != ENOTTY) {
        fail("Cannot open exclusively", errno);
        ::close(fd);
        return false;
    }
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) {
        fail("Not a serial port:", errno);
        ::close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

void PosixSerialPort::close() {
    if (fd_ < 0) return;
    // Give up exclusivity first: a process that keeps the line open would otherwise
    // keep the flag and lock everyone out, us included.
    if (exclusive_) ::ioctl(fd_, TIOCNXCL);
    exclusive_ = false;
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
}

bool PosixSerialPort::configure(int baudRate) {
    if (fd_ < 0) {
        lastError_ = "The port is not open";
        return false;
    }
    const auto speed = termiosSpeed(baudRate);
    if (!speed) {
        lastError_ = "Unsupported speed " + std::to_string(baudRate);
        return false;
    }
    termios tio{};
    if (::tcgetattr(fd_, &tio) != 0) {
        fail("Cannot read the settings of", errno);
        return false;
    }
    ::cfmakeraw(&tio);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CREAD | CLOCAL;
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    ::cfsetispeed(&tio, *speed);
    ::cfsetospeed(&tio, *speed);
    if (::tcsetattr(fd_, TCSANOW, &tio) != 0) {
        fail("Cannot configure", errno);
        return false;
    }
    // RTS asserted while the port is open. A pseudo-terminal has no modem lines.
    const int rts = TIOCM_RTS;
    if (::ioctl(fd_, TIOCMBIS, &rts) != 0 && errno != ENOTTY && errno != EINVAL) {
        fail("Cannot assert RTS on", errno);
        return false;
    }
    return true;
}

void PosixSerialPort::purgeReceive() {
    if (fd_ >= 0) ::tcflush(fd_, TCIFLUSH);
}

std::size_t PosixSerialPort::write(std::span<const std::uint8_t> bytes) {
    lastError_.clear();  // the reason is the last operation's, not an older one's
    if (fd_ < 0) {
        lastError_ = "The port is not open";
        return 0;
    }
    const long long totalMs =
        timeouts_.writeTotalConstantMs +
        static_cast<long long>(timeouts_.writeTotalMultiplierMs) * static_cast<long long>(bytes.size());
    std::optional<Clock::time_point> deadline;
    if (timeouts_.writeTotalConstantMs > 0 || timeouts_.writeTotalMultiplierMs > 0)
        deadline = Clock::now() + Millis(totalMs);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) {
            fail("Cannot write to", errno);
            break;
        }
        int error = 0;
        if (!waitFor(fd_, POLLOUT, deadline, error)) {
            if (error != 0)
                fail("Cannot write to", error);
            else
                lastError_ = "Write time-out on " + path_;
            break;
        }
    }
    return done;
}

std::size_t PosixSerialPort::read(std::span<std::uint8_t> bytes) {
    lastError_.clear();
    if (fd_ < 0) {
        lastError_ = "The port is not open";
        return 0;
    }
    const auto start = Clock::now();
    std::optional<Clock::time_point> totalDeadline;
    if (timeouts_.readTotalConstantMs > 0 || timeouts_.readTotalMultiplierMs > 0)
        totalDeadline = start + Millis(timeouts_.readTotalConstantMs +
                                       static_cast<long long>(timeouts_.readTotalMultiplierMs) *
                                           static_cast<long long>(bytes.size()));
    std::optional<Clock::time_point> intervalDeadline;  // runs from the last byte received
    bool saidReadable = false;                          // poll() reported input
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(fd_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            saidReadable = false;
            if (timeouts_.readIntervalMs > 0)
                intervalDeadline = Clock::now() + Millis(timeouts_.readIntervalMs);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if ((n < 0 && errno != EAGAIN) || (n == 0 && saidReadable)) {
            // The device is gone: an error, or "readable" with nothing to read (end of
            // file; a pseudo-terminal whose other side closed).
            fail("Cannot read from", n < 0 ? errno : EIO);
            break;
        }
        // Nothing yet (a raw tty says 0 or EAGAIN): wait for input.
        std::optional<Clock::time_point> deadline = totalDeadline;
        if (intervalDeadline && (!deadline || *intervalDeadline < *deadline)) deadline = intervalDeadline;
        int error = 0;
        if (!waitFor(fd_, POLLIN, deadline, error)) {
            if (error != 0) fail("Cannot read from", error);
            break;
        }
        saidReadable = true;
    }
    return done;
}

std::string comPortDevicePath(int comPortIndex) {
    return "/dev/ttyS" + std::to_string(std::max(comPortIndex, 0));
}

namespace {

bool isCharacterDevice(const std::filesystem::path& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISCHR(st.st_mode);
}

// A ttyS node exists for every possible built-in port; only those with a UART behind
// them are worth offering, and the kernel reports their type as non-zero.
bool ttySHasUart(const std::string& path) {
    const std::string name = std::filesystem::path(path).filename().string();
    const std::filesystem::path typeFile = "/sys/class/tty/" + name + "/type";
    std::error_code ec;
    if (!std::filesystem::exists(typeFile, ec)) return false;
    std::ifstream in(typeFile);
    int type = 0;
    const bool ok = static_cast<bool>(in >> type);
    return ok && type != 0;
}

std::vector<std::string> sortedDevices(const std::string& prefix) {
    std::vector<std::string> found;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/dev", ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(prefix, 0) == 0 && name.size() > prefix.size() && isCharacterDevice(entry.path()))
            found.push_back(entry.path().string());
    }
    // Natural order: ttyUSB2 before ttyUSB10.
    std::sort(found.begin(), found.end(), [](const std::string& a, const std::string& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    return found;
}

}  // namespace

std::vector<SerialDeviceInfo> listSerialDevices() {
    std::vector<SerialDeviceInfo> devices;
    std::set<std::string> seen;  // canonical device paths already listed
    std::error_code ec;
    const std::filesystem::path byId = "/dev/serial/by-id";
    if (std::filesystem::is_directory(byId, ec)) {
        std::vector<std::filesystem::path> links;
        for (const auto& entry : std::filesystem::directory_iterator(byId, ec)) links.push_back(entry.path());
        std::sort(links.begin(), links.end());
        for (const auto& link : links) {
            const auto target = std::filesystem::canonical(link, ec);
            if (ec) continue;
            seen.insert(target.string());
            devices.push_back({link.string(), link.filename().string() + " (" + target.string() + ")"});
        }
    }
    for (const char* prefix : {"ttyUSB", "ttyACM", "ttyS"}) {
        for (const auto& path : sortedDevices(prefix)) {
            if (seen.count(path) != 0) continue;
            if (std::string(prefix) == "ttyS" && !ttySHasUart(path)) continue;
            seen.insert(path);
            devices.push_back({path, std::filesystem::path(path).filename().string()});
        }
    }
    return devices;
}

}  // namespace kv
