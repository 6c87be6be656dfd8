#pragma once
// "RS232 Port": the port ("COM 1" .. "COM 12") and the baud rate of the link. Beside the
// port list the dialog shows the device the chosen entry opens on this computer and
// offers the serial devices present; each entry remembers its own device.

#include <QDialog>
#include <QString>
#include <array>
#include <vector>

class QComboBox;

namespace kv {

inline constexpr int kComEntryCount = 12;
using ComDeviceMap = std::array<QString, kComEntryCount>;  // empty = the entry's usual device

struct SerialDeviceChoice {
    QString path;
    QString description;
};

class RS232PortDialog : public QDialog {
    Q_OBJECT
public:
    RS232PortDialog(int comPortIndex, int baudIndex, const ComDeviceMap& devices,
                    std::vector<SerialDeviceChoice> present, QWidget* parent = nullptr);

    int comPortIndex() const;
    int baudIndex() const;
    const ComDeviceMap& devices() const { return devices_; }
    // The device the chosen entry opens.
    QString chosenDevice() const;
    // Under --simulate no device is opened: the dialog says that the simulated unit is
    // connected instead (the devices chosen still apply to later runs).
    void showSimulatedUnit();

    static QString usualDevice(int comPortIndex);
    // The serial devices of this computer, for the device list.
    static std::vector<SerialDeviceChoice> presentDevices();

    QComboBox& portList() const { return *port_; }
    QComboBox& deviceList() const { return *device_; }
    QComboBox& baudList() const { return *baud_; }

private:
    void showDeviceOfEntry(int comPortIndex);
    void rememberDevice(const QString& text);

    QComboBox* port_ = nullptr;
    QComboBox* device_ = nullptr;
    QComboBox* baud_ = nullptr;
    ComDeviceMap devices_;
    std::vector<SerialDeviceChoice> present_;
};

}  // namespace kv
