#pragma once
// The side file that keeps a bank's tuning settings beside it: "BANK.ovk.tuning.json".
// The .ovk file stays exactly as the unit's software knows it; the side file holds, per
// preset slot and output, the measurement, its smoothing and level offset and the target.
// Only Qt Core is used here, so the fuzz target can build the reader on its own.

#include <QByteArray>
#include <QString>

#include "measurement/tuning/BankTuning.h"

namespace kv {

// At most this many bytes are read: a side file holds a few measurements.
inline constexpr qint64 kMaxTuningFileBytes = 64ll << 20;

QString tuningFilePath(const QString& bankPath);

// The side file's text: only outputs that have something set up are written.
QByteArray tuningJson(const BankTuning& tuning);

// Reads the text into tuning (replaced whole) and returns an empty string, or returns
// what is wrong first and leaves tuning as it was: nothing of a broken file is used.
QString parseTuningJson(const QByteArray& text, BankTuning& tuning);

struct TuningFileRead {
    BankTuning tuning;
    QString error;  // empty when the file was read or is missing
};

// A missing side file is no tuning at all.
TuningFileRead readTuningFile(const QString& bankPath);

// Replaces the side file of the bank (written atomically, as the bank is), or removes it
// when there is nothing to keep. Returns an empty string, or why it failed.
QString writeTuningFile(const QString& bankPath, const BankTuning& tuning);

}  // namespace kv
