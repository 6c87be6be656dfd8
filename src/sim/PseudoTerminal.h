#pragma once
// The simulated unit's end of the line: a pseudo-terminal whose other end the host opens
// by its path, as it would open a serial port.

#include <string>

namespace kv {

struct PseudoTerminalEnds {
    int master = -1;  // the unit's end, non-blocking
    int slave = -1;   // held open so the line stays up between the host's opens
    std::string slavePath;
};

// Opens a raw pseudo-terminal (nothing echoed before the host configures the line).
// Throws std::runtime_error with the system's reason.
PseudoTerminalEnds openPseudoTerminal();

// The speed the host set on the line, in baud; 0 when unknown.
int lineBaud(int slaveFd);

void closeFd(int& fd);

}  // namespace kv
