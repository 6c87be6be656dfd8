#include "ui/remote/RS232PortDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "link/PosixSerialPort.h"
#include "link/SpeedTable.h"

namespace kv {

RS232PortDialog::RS232PortDialog(int comPortIndex, int baudIndex, const ComDeviceMap& devices,
                                 std::vector<SerialDeviceChoice> present, QWidget* parent)
    : QDialog(parent), devices_(devices), present_(std::move(present)) {
    setObjectName(QStringLiteral("rs232PortDialog"));
    setWindowTitle(QStringLiteral("RS232 Port"));

    auto* portGroup = new QGroupBox(QStringLiteral("Port"), this);
    port_ = new QComboBox(portGroup);
    port_->setObjectName(QStringLiteral("portList"));
    for (int i = 0; i < kComEntryCount; ++i) port_->addItem(QStringLiteral("COM %1").arg(i + 1));
    device_ = new QComboBox(portGroup);
    device_->setObjectName(QStringLiteral("deviceList"));
    device_->setEditable(true);
    device_->setInsertPolicy(QComboBox::NoInsert);
    device_->setMinimumContentsLength(28);
    device_->setToolTip(QStringLiteral("The device this COM entry opens"));
    for (const SerialDeviceChoice& choice : present_) {
        device_->addItem(choice.path);
        if (!choice.description.isEmpty())
            device_->setItemData(device_->count() - 1, choice.description, Qt::ToolTipRole);
    }
    auto* portLayout = new QHBoxLayout(portGroup);
    portLayout->addWidget(port_);
    portLayout->addWidget(new QLabel(QStringLiteral("opens"), portGroup));
    portLayout->addWidget(device_, 1);

    auto* baudGroup = new QGroupBox(QStringLiteral("Baud Rate"), this);
    baud_ = new QComboBox(baudGroup);
    baud_->setObjectName(QStringLiteral("baudList"));
    for (const LinkSpeed& speed : kLinkSpeeds) baud_->addItem(QString::number(speed.baudRate));
    auto* baudLayout = new QHBoxLayout(baudGroup);
    baudLayout->addWidget(baud_);
    baudLayout->addStretch(1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(portGroup);
    layout->addWidget(baudGroup);
    layout->addWidget(buttons);

    port_->setCurrentIndex(comPortIndex >= 0 && comPortIndex < kComEntryCount ? comPortIndex : -1);
    baud_->setCurrentIndex(baudIndex >= 0 && baudIndex < kSpeedCount ? baudIndex : -1);
    showDeviceOfEntry(port_->currentIndex());
    connect(port_, &QComboBox::currentIndexChanged, this, &RS232PortDialog::showDeviceOfEntry);
    connect(device_, &QComboBox::currentTextChanged, this, &RS232PortDialog::rememberDevice);
}

void RS232PortDialog::showSimulatedUnit() {
    auto* note = new QLabel(
        QStringLiteral("The simulated unit is connected instead of this device (--simulate)."), this);
    note->setObjectName(QStringLiteral("simulatedUnitNote"));
    note->setWordWrap(true);
    if (auto* column = qobject_cast<QVBoxLayout*>(layout())) column->insertWidget(1, note);
}

int RS232PortDialog::comPortIndex() const { return port_->currentIndex(); }
int RS232PortDialog::baudIndex() const { return baud_->currentIndex(); }

QString RS232PortDialog::usualDevice(int comPortIndex) {
    return QString::fromStdString(comPortDevicePath(comPortIndex));
}

QString RS232PortDialog::chosenDevice() const {
    const int entry = comPortIndex();
    if (entry < 0 || entry >= kComEntryCount) return {};
    const QString& chosen = devices_[static_cast<std::size_t>(entry)];
    return chosen.isEmpty() ? usualDevice(entry) : chosen;
}

std::vector<SerialDeviceChoice> RS232PortDialog::presentDevices() {
    std::vector<SerialDeviceChoice> choices;
    for (const SerialDeviceInfo& info : listSerialDevices())
        choices.push_back({QString::fromStdString(info.path), QString::fromStdString(info.description)});
    return choices;
}

void RS232PortDialog::showDeviceOfEntry(int comPortIndex) {
    if (comPortIndex < 0 || comPortIndex >= kComEntryCount) return;
    const QString shown = [&] {
        const QString& chosen = devices_[static_cast<std::size_t>(comPortIndex)];
        return chosen.isEmpty() ? usualDevice(comPortIndex) : chosen;
    }();
    const QSignalBlocker quiet(device_);
    device_->setEditText(shown);
}

void RS232PortDialog::rememberDevice(const QString& text) {
    const int entry = comPortIndex();
    if (entry < 0 || entry >= kComEntryCount) return;
    const QString device = text.trimmed();
    devices_[static_cast<std::size_t>(entry)] = device == usualDevice(entry) ? QString() : device;
}

}  // namespace kv
