#pragma once
// Everything that talks to one amplifier, wired once: the link on its port, the online
// sender that carries the document's edits to it (made the document's sender for the
// life of the connection) and, with --simulate, a simulated unit on a pseudo-terminal
// that the link opens whatever port is chosen. The desktop program, the stand-alone
// editor, the command-line tool and the tests all build their connection this way.
//
//   UnitConnection connection(doc, &notifier);
//   connection.choosePort(3, 6, "/dev/ttyUSB0");  // COM 3 at 115200 on that device
//   if (connection.goOnline()) doc.setBandGain(0, 2, -30);  // sent at once

#include <memory>
#include <string>

#include "link/OnlineSender.h"
#include "link/UnitLink.h"
#include "sim/SimulatedAmplifier.h"

namespace kv {

class CKorvaliserDoc;

class UnitConnection {
public:
    // A null port means the real POSIX device; a null notifier keeps the link's failures
    // silent.
    UnitConnection(CKorvaliserDoc& document, LinkNotifier* notifier,
                   std::unique_ptr<SerialPort> port = nullptr);
    ~UnitConnection();
    UnitConnection(const UnitConnection&) = delete;
    UnitConnection& operator=(const UnitConnection&) = delete;

    CKorvaliserDoc& document() const { return document_; }
    UnitLink& link() { return link_; }
    const UnitLink& link() const { return link_; }
    OnlineSender& sender() { return sender_; }

    // The "COM n" entry, its speed index and the device it leads to ("" = the entry's
    // usual device). While a simulated unit runs, the link opens the simulator instead.
    void choosePort(int comPortIndex, int baudIndex, std::string devicePath);

    // Starts the simulated unit and leads the link to it. Empty on success, otherwise why
    // it could not start.
    std::string startSimulator(SimulatorOptions options = {});
    SimulatedAmplifier* simulator() const { return simulator_.get(); }

    // Opens the port if needed and identifies the unit; the document learns its model.
    bool goOnline() { return sender_.goOnline(); }

private:
    CKorvaliserDoc& document_;
    UnitLink link_;
    OnlineSender sender_;
    std::unique_ptr<SimulatedAmplifier> simulator_;
};

}  // namespace kv
