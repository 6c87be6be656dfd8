#include "connection/UnitConnection.h"

#include <exception>

#include "document/KorvaliserDoc.h"

namespace kv {

UnitConnection::UnitConnection(CKorvaliserDoc& document, LinkNotifier* notifier,
                               std::unique_ptr<SerialPort> port)
    : document_(document), link_(notifier, std::move(port)), sender_(link_, document) {
    document_.setSender(&sender_);
}

UnitConnection::~UnitConnection() {
    if (document_.sender() == &sender_) document_.setSender(nullptr);
}

void UnitConnection::choosePort(int comPortIndex, int baudIndex, std::string devicePath) {
    link_.setComPortIndex(comPortIndex);
    link_.setBaudIndex(baudIndex);
    link_.setDevicePath(simulator_ ? simulator_->devicePath() : std::move(devicePath));
}

std::string UnitConnection::startSimulator(SimulatorOptions options) {
    try {
        simulator_ = std::make_unique<SimulatedAmplifier>(std::move(options));
    } catch (const std::exception& error) {
        return error.what();
    }
    link_.setDevicePath(simulator_->devicePath());
    return {};
}

}  // namespace kv
