#include <gtest/gtest.h>

#include <QComboBox>
#include <QTest>

#include "document/KorvaliserDoc.h"
#include "link/UnitLink.h"
#include "ui/Prompts.h"
#include "ui/remote/PromptLinkNotifier.h"
#include "ui/remote/RS232PortDialog.h"

namespace kv {
namespace {

TEST(RS232PortDialog, ListsTwelvePortsAndSevenSpeedsPresetFromTheLink) {
    RS232PortDialog dialog(1, 6, {}, {});
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("RS232 Port"));
    ASSERT_EQ(dialog.portList().count(), 12);
    EXPECT_EQ(dialog.portList().itemText(0), QStringLiteral("COM 1"));
    EXPECT_EQ(dialog.portList().itemText(11), QStringLiteral("COM 12"));
    const QStringList speeds{"2400", "4800", "9600", "19200", "38400", "57600", "115200"};
    ASSERT_EQ(dialog.baudList().count(), speeds.size());
    for (int i = 0; i < speeds.size(); ++i) EXPECT_EQ(dialog.baudList().itemText(i), speeds[i]);
    EXPECT_EQ(dialog.comPortIndex(), 1);
    EXPECT_EQ(dialog.baudIndex(), 6);
    EXPECT_EQ(dialog.deviceList().currentText(), RS232PortDialog::usualDevice(1));
    EXPECT_EQ(dialog.chosenDevice(), RS232PortDialog::usualDevice(1));
}

TEST(RS232PortDialog, EachEntryRemembersItsOwnDevice) {
    ComDeviceMap devices{};
    devices[0] = QStringLiteral("/dev/ttyACM0");
    RS232PortDialog dialog(2, 3, devices,
                           {{QStringLiteral("/dev/ttyUSB0"), QStringLiteral("usb-FTDI_Cable")},
                            {QStringLiteral("/dev/ttyUSB1"), QString()}});
    EXPECT_GE(dialog.deviceList().findText(QStringLiteral("/dev/ttyUSB0")), 0);  // devices present offered
    dialog.deviceList().setCurrentIndex(dialog.deviceList().findText(QStringLiteral("/dev/ttyUSB1")));
    EXPECT_EQ(dialog.chosenDevice(), QStringLiteral("/dev/ttyUSB1"));
    dialog.portList().setCurrentIndex(0);
    EXPECT_EQ(dialog.deviceList().currentText(), QStringLiteral("/dev/ttyACM0"));
    dialog.portList().setCurrentIndex(5);
    EXPECT_EQ(dialog.deviceList().currentText(), RS232PortDialog::usualDevice(5));
    dialog.portList().setCurrentIndex(2);
    EXPECT_EQ(dialog.deviceList().currentText(), QStringLiteral("/dev/ttyUSB1"));
    EXPECT_EQ(dialog.devices()[2], QStringLiteral("/dev/ttyUSB1"));
    EXPECT_EQ(dialog.devices()[0], QStringLiteral("/dev/ttyACM0"));
    EXPECT_TRUE(dialog.devices()[5].isEmpty());  // the usual device is not stored
    // Typing a path by hand works too.
    dialog.deviceList().setEditText(QStringLiteral("/dev/serial/by-id/usb-x"));
    EXPECT_EQ(dialog.chosenDevice(), QStringLiteral("/dev/serial/by-id/usb-x"));
}

TEST(PortFailure, KeepsTheExactTextAndAddsTheSystemsReason) {
    QStringList messages;
    QList<QMessageBox::Icon> icons;
    Prompts prompts;
    prompts.message = [&](QMessageBox::Icon icon, const QString&, const QString& text,
                          QMessageBox::StandardButtons) {
        messages.append(text);
        icons.append(icon);
        return QMessageBox::Ok;
    };
    PromptLinkNotifier notifier(prompts);
    CKorvaliserDoc doc;
    UnitLink link(&notifier);
    link.setDevicePath("/nonexistent/korvaliser-port");
    EXPECT_FALSE(link.chooseRs232(4, 5));
    ASSERT_EQ(messages.size(), 1);
    const QStringList lines = messages[0].split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines[0], QStringLiteral("Cannot Open this COM port !"));
    EXPECT_TRUE(messages[0].contains(QStringLiteral("/nonexistent/korvaliser-port")));
    EXPECT_EQ(icons[0], QMessageBox::Warning);
    EXPECT_EQ(link.connectionMode(), ConnectionMode::NoConnection);
}

}  // namespace
}  // namespace kv
