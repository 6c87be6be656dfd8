#include "app/AppSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

namespace kv {

std::string AppSettings::deviceOf(int comEntry) const {
    if (comEntry < 0 || comEntry >= kComPortCount) return {};
    return QFile::encodeName(comDevices[static_cast<std::size_t>(comEntry)]).toStdString();
}

namespace {

constexpr auto kRemote = "Remote";
constexpr auto kOptions = "Options";
constexpr auto kRecent = "Recent File List";

int readInt(QSettings& store, const char* key, int fallback) {
    bool ok = false;
    const int value = store.value(QString::fromLatin1(key), fallback).toInt(&ok);
    return ok ? value : fallback;  // a damaged value reads as its default
}

QString deviceKey(int comIndex) { return QStringLiteral("Device %1").arg(comIndex + 1); }

}  // namespace

std::array<int, kExpandFlagCount> expandFlagsFromBits(int bits) {
    std::array<int, kExpandFlagCount> flags{};
    for (int k = 0; k < kExpandFlagCount; ++k) flags[static_cast<std::size_t>(k)] = (bits >> k) & 1 ? 2 : 1;
    return flags;
}

int expandBitsFromFlags(const std::array<int, kExpandFlagCount>& flags) {
    int bits = 0;
    for (int k = 0; k < kExpandFlagCount; ++k)
        if (flags[static_cast<std::size_t>(k)] == 2) bits |= 1 << k;
    return bits;
}

AppSettings readAppSettings(QSettings& store) {
    AppSettings s;
    store.beginGroup(QString::fromLatin1(kRemote));
    s.linkMode = readInt(store, "Type", s.linkMode);
    s.comNumber = readInt(store, "COM No", s.comNumber);
    s.speedIndex = readInt(store, "Speed", s.speedIndex);
    for (int i = 0; i < kComPortCount; ++i) {
        s.comDevices[static_cast<std::size_t>(i)] = store.value(deviceKey(i)).toString().trimmed();
    }
    store.endGroup();

    store.beginGroup(QString::fromLatin1(kOptions));
    s.showQ = readInt(store, "Q / BW", s.showQ);
    s.splitPos = readInt(store, "Split Pos", s.splitPos);
    s.globalGain = readInt(store, "Global Gain", s.globalGain);
    s.globalPeq = readInt(store, "Global Peq", s.globalPeq);
    s.reportDsp = readInt(store, "Report DSP", s.reportDsp);
    s.expandFlags = expandFlagsFromBits(readInt(store, "Expand", 255));
    store.endGroup();

    store.beginGroup(QString::fromLatin1(kRecent));
    for (int i = 1; i <= kRecentFileCount; ++i) {
        const QString path = store.value(QStringLiteral("File%1").arg(i)).toString();
        if (!path.isEmpty()) s.recentFiles.append(path);
    }
    store.endGroup();
    return s;
}

void writeAppSettings(QSettings& store, const AppSettings& s) {
    store.beginGroup(QString::fromLatin1(kRemote));
    store.setValue(QStringLiteral("Type"), s.linkMode);
    store.setValue(QStringLiteral("COM No"), s.comNumber);
    store.setValue(QStringLiteral("Speed"), s.speedIndex);
    for (int i = 0; i < kComPortCount; ++i) {
        const QString& device = s.comDevices[static_cast<std::size_t>(i)];
        if (device.isEmpty())
            store.remove(deviceKey(i));
        else
            store.setValue(deviceKey(i), device);
    }
    store.endGroup();

    store.beginGroup(QString::fromLatin1(kOptions));
    store.setValue(QStringLiteral("Q / BW"), s.showQ);
    store.setValue(QStringLiteral("Split Pos"), s.splitPos);
    store.setValue(QStringLiteral("Global Gain"), s.globalGain);
    store.setValue(QStringLiteral("Global Peq"), s.globalPeq);
    store.setValue(QStringLiteral("Expand"), expandBitsFromFlags(s.expandFlags));
    // Our own option: written only while it is on, so a user who never chose it keeps
    // exactly the keys the program always wrote.
    if (s.reportDsp != 0)
        store.setValue(QStringLiteral("Report DSP"), s.reportDsp);
    else
        store.remove(QStringLiteral("Report DSP"));
    store.endGroup();

    store.beginGroup(QString::fromLatin1(kRecent));
    for (int i = 1; i <= kRecentFileCount; ++i) {
        const QString key = QStringLiteral("File%1").arg(i);
        if (i <= s.recentFiles.size())
            store.setValue(key, s.recentFiles.at(i - 1));
        else
            store.remove(key);
    }
    store.endGroup();
    store.sync();
}

void nameTheApplication() {
    QCoreApplication::setOrganizationName(QStringLiteral("OVN Electronics Applications"));
    QCoreApplication::setApplicationName(QStringLiteral("Korvaliser"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.10"));
    QGuiApplication::setDesktopFileName(QStringLiteral("korvaliser"));
}

std::unique_ptr<QSettings> openUserSettings() {
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("OVN Electronics Applications"),
                                       QStringLiteral("Korvaliser"));
}

QStringList withRecentFile(QStringList list, const QString& path) {
    if (path.isEmpty()) return list;
    const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    list.removeAll(clean);
    list.prepend(clean);
    while (list.size() > kRecentFileCount) list.removeLast();
    return list;
}

}  // namespace kv
