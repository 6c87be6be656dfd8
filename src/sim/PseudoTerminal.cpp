#include "sim/PseudoTerminal.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace kv {

namespace {

std::runtime_error systemError(const std::string& what) {
    return std::runtime_error(what + ": " + std::strerror(errno));
}

int baudOf(speed_t speed) {
    switch (speed) {
        case B1200: return 1200;
        case B2400: return 2400;
        case B4800: return 4800;
        case B9600: return 9600;
        case B19200: return 19200;
        case B38400: return 38400;
        case B57600: return 57600;
        case B115200: return 115200;
        case B230400: return 230400;
        default: return 0;
    }
}

void makeRaw(int fd) {
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) return;
    ::cfmakeraw(&tio);
    ::cfsetispeed(&tio, B115200);
    ::cfsetospeed(&tio, B115200);
    ::tcsetattr(fd, TCSANOW, &tio);
}

}  // namespace

PseudoTerminalEnds openPseudoTerminal() {
    PseudoTerminalEnds ends;
    ends.master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (ends.master < 0) throw systemError("No pseudo-terminal");
    char name[128] = {};
    if (::grantpt(ends.master) != 0 || ::unlockpt(ends.master) != 0 ||
        ::ptsname_r(ends.master, name, sizeof name) != 0) {
        const auto error = systemError("Cannot prepare the pseudo-terminal");
        closeFd(ends.master);
        throw error;
    }
    ends.slavePath = name;
    ends.slave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (ends.slave < 0) {
        const auto error = systemError("Cannot open the pseudo-terminal");
        closeFd(ends.master);
        throw error;
    }
    makeRaw(ends.slave);
    ::fcntl(ends.master, F_SETFL, ::fcntl(ends.master, F_GETFL) | O_NONBLOCK);
    return ends;
}

int lineBaud(int slaveFd) {
    termios tio{};
    if (slaveFd < 0 || ::tcgetattr(slaveFd, &tio) != 0) return 0;
    return baudOf(::cfgetospeed(&tio));
}

void closeFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

}  // namespace kv
