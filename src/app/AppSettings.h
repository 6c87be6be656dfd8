#pragma once
// The settings kept between runs: read once at start-up, written once at exit, under
// organisation "OVN Electronics Applications", application "Korvaliser". Tests hand in a
// QSettings on a temporary file instead of the user's own.

#include <QSettings>
#include <QString>
#include <QStringList>
#include <array>
#include <memory>
#include <string>

namespace kv {

inline constexpr int kComPortCount = 12;
inline constexpr int kExpandFlagCount = 8;
inline constexpr int kRecentFileCount = 4;

struct AppSettings {
    int linkMode = 0;    // "Remote" "Type": 0 = no connection, 1 = RS-232
    int comNumber = 1;   // "Remote" "COM No": zero-based port index (1 = COM 2)
    int speedIndex = 6;  // "Remote" "Speed": row of the baud-rate list
    int showQ = 1;       // "Options" "Q / BW"
    int splitPos = 180;  // "Options" "Split Pos": width of the preset tree pane
    int globalGain = 0;  // "Options" "Global Gain": kept as read
    int globalPeq = 1;   // "Options" "Global Peq": kept as read
    int reportDsp = 0;   // "Options" "Report DSP": non-zero adds the DSP totals to the report graph
    std::array<int, kExpandFlagCount> expandFlags{2, 2, 2, 2, 2, 2, 2, 2};  // "Options" "Expand"
    // The device each "COM n" entry opens ("Remote" "Device n"); empty means the usual
    // device of that entry.
    std::array<QString, kComPortCount> comDevices{};
    QStringList recentFiles;  // "Recent File List" "File1".."File4", most recent first

    // The device a COM entry opens, as the link takes it ("" = the entry's usual device).
    std::string deviceOf(int comEntry) const;
};

// "Expand" packs eight flags valued 1 or 2 into bits 0..7; other bits are dropped.
std::array<int, kExpandFlagCount> expandFlagsFromBits(int bits);
int expandBitsFromFlags(const std::array<int, kExpandFlagCount>& flags);

AppSettings readAppSettings(QSettings& store);
void writeAppSettings(QSettings& store, const AppSettings& settings);

// The user's own settings store.
std::unique_ptr<QSettings> openUserSettings();

// Names the program to Qt: organisation and application (where the settings live),
// version and desktop entry. No display name: Qt would append it to the title of every
// dialog and message box, whose titles are exactly their own texts.
void nameTheApplication();

// Puts a path at the top of a recent-file list (moving it up when already listed) and
// keeps at most kRecentFileCount entries.
QStringList withRecentFile(QStringList list, const QString& path);

}  // namespace kv
