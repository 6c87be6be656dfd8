#include "ui/tuning/TuningFile.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <cmath>
#include <span>

#include "document/file/AtomicFile.h"

namespace kv {

namespace {

constexpr int kFormatVersion = 1;

QJsonArray pointsJson(const std::vector<FrequencyPoint>& points) {
    QJsonArray array;
    for (const FrequencyPoint& p : points) array.append(QJsonArray{p.hz, p.db});
    return array;
}

QJsonObject targetJson(const TuningTarget& target) {
    return {{"kind", QString::fromUtf8(targetKindName(target.kind))},
            {"tiltDbPerOctave", target.tiltDbPerOctave},
            {"lowShelf", target.lowShelf},
            {"shelfHz", target.shelfHz},
            {"shelfDb", target.shelfDb},
            {"fileName", QString::fromStdString(target.fileName)},
            {"points", pointsJson(target.filePoints)}};
}

QJsonObject outputJson(int slot, int output, const OutputTuning& tuning) {
    return {{"slot", slot},
            {"output", output},
            {"measurementName", QString::fromStdString(tuning.measurementName)},
            {"measurement", pointsJson(tuning.measurement)},
            {"smoothing", QString::fromUtf8(smoothingName(tuning.smoothing))},
            {"automaticOffset", tuning.automaticOffset},
            {"typedOffsetDb", tuning.typedOffsetDb},
            {"target", targetJson(tuning.target)}};
}

// A number too large for a double reads as infinite, and no setting can use that.
bool isNumber(const QJsonValue& value) { return value.isDouble() && std::isfinite(value.toDouble()); }

// Reads the fields of one JSON object. A missing field keeps its default; a field of the
// wrong kind stops the reading with a reason, kept in error().
class FieldReader {
public:
    explicit FieldReader(QJsonObject object) : object_(std::move(object)) {}

    const QString& error() const { return error_; }

    bool number(const char* key, double& value) {
        const QJsonValue field = object_.value(QLatin1String(key));
        if (field.isUndefined()) return true;
        if (!isNumber(field)) return wrong(key, "a number");
        value = field.toDouble();
        return true;
    }

    bool index(const char* key, int count, int& value) {
        const QJsonValue field = object_.value(QLatin1String(key));
        const double number = field.toDouble(-1.0);
        if (!field.isDouble() || number != std::floor(number) || number < 0 || number >= count)
            return wrong(key, QStringLiteral("a whole number from 0 to %1").arg(count - 1));
        value = static_cast<int>(number);
        return true;
    }

    bool flag(const char* key, bool& value) {
        const QJsonValue field = object_.value(QLatin1String(key));
        if (field.isUndefined()) return true;
        if (!field.isBool()) return wrong(key, "true or false");
        value = field.toBool();
        return true;
    }

    bool text(const char* key, std::string& value) {
        const QJsonValue field = object_.value(QLatin1String(key));
        if (field.isUndefined()) return true;
        if (!field.isString()) return wrong(key, "a text");
        value = field.toString().toStdString();
        return true;
    }

    bool object(const char* key, QJsonObject& value) {
        const QJsonValue field = object_.value(QLatin1String(key));
        if (field.isUndefined()) return true;
        if (!field.isObject()) return wrong(key, "an object");
        value = field.toObject();
        return true;
    }

    // A list of [frequency, level] pairs.
    bool points(const char* key, std::vector<FrequencyPoint>& value) {
        const QJsonValue field = object_.value(QLatin1String(key));
        if (field.isUndefined()) return true;
        if (!field.isArray()) return wrong(key, "a list of [Hz, dB] pairs");
        std::vector<FrequencyPoint> read;
        for (const QJsonValue& item : field.toArray()) {
            const QJsonArray pair = item.toArray();
            if (pair.size() != 2 || !isNumber(pair[0]) || !isNumber(pair[1]))
                return wrong(key, "a list of [Hz, dB] pairs");
            read.push_back({pair[0].toDouble(), pair[1].toDouble()});
        }
        value = std::move(read);
        return true;
    }

    bool fail(const QString& reason) {
        error_ = reason;
        return false;
    }

private:
    bool wrong(const char* key, const QString& what) {
        return fail(QStringLiteral("\"%1\" is not %2").arg(QLatin1String(key), what));
    }

    QJsonObject object_;
    QString error_;
};

QString readTarget(const QJsonObject& object, TuningTarget& target) {
    FieldReader field(object);
    std::string kind(targetKindName(target.kind));
    const bool read = field.text("kind", kind) && field.number("tiltDbPerOctave", target.tiltDbPerOctave) &&
                      field.flag("lowShelf", target.lowShelf) && field.number("shelfHz", target.shelfHz) &&
                      field.number("shelfDb", target.shelfDb) && field.text("fileName", target.fileName) &&
                      field.points("points", target.filePoints);
    if (!read) return field.error();
    const std::optional<TargetKind> known = targetKindFromName(kind);
    if (!known) return QStringLiteral("the target kind must be flat, tilt or file");
    target.kind = *known;
    return {};
}

struct OutputEntry {
    int slot = 0;
    int output = 0;
    OutputTuning tuning;
};

QString readOutput(const QJsonObject& object, OutputEntry& entry) {
    FieldReader field(object);
    OutputTuning& t = entry.tuning;
    std::string smoothing(smoothingName(t.smoothing));
    QJsonObject target;
    const bool read =
        field.index("slot", kPresetCount, entry.slot) && field.index("output", kOutputsInUse, entry.output) &&
        field.text("measurementName", t.measurementName) && field.points("measurement", t.measurement) &&
        field.text("smoothing", smoothing) && field.flag("automaticOffset", t.automaticOffset) &&
        field.number("typedOffsetDb", t.typedOffsetDb) && field.object("target", target);
    if (!read) return field.error();
    const std::optional<Smoothing> known = smoothingFromName(smoothing);
    if (!known) return QStringLiteral("the smoothing must be none, 1/48, 1/24, 1/12, 1/6 or 1/3");
    t.smoothing = *known;
    if (QString problem = readTarget(target, t.target); !problem.isEmpty()) return problem;
    return QString::fromStdString(tuningProblem(t));
}

// What is wrong with the outputs list, or empty with every entry read into tuning.
QString readOutputs(const QJsonArray& outputs, BankTuning& tuning) {
    QSet<int> seen;
    for (qsizetype i = 0; i < outputs.size(); ++i) {
        const QString where = QStringLiteral("entry %1 of \"outputs\": ").arg(i + 1);
        if (!outputs[i].isObject()) return where + QStringLiteral("not an object");
        OutputEntry entry;
        if (QString problem = readOutput(outputs[i].toObject(), entry); !problem.isEmpty())
            return where + problem;
        if (seen.contains(entry.slot * kOutputsInUse + entry.output))
            return where +
                   QStringLiteral("slot %1, output %2 appears twice").arg(entry.slot).arg(entry.output);
        seen.insert(entry.slot * kOutputsInUse + entry.output);
        tuning.setTuning(entry.slot, entry.output, std::move(entry.tuning));
    }
    return {};
}

}  // namespace

QString tuningFilePath(const QString& bankPath) { return bankPath + QStringLiteral(".tuning.json"); }

QByteArray tuningJson(const BankTuning& tuning) {
    const OutputTuning none;
    QJsonArray outputs;
    for (int slot = 0; slot < kPresetCount; ++slot)
        for (int output = 0; output < kOutputsInUse; ++output)
            if (!(tuning.tuning(slot, output) == none))
                outputs.append(outputJson(slot, output, tuning.tuning(slot, output)));
    const QJsonObject root{{"version", kFormatVersion}, {"outputs", outputs}};
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

QString parseTuningJson(const QByteArray& text, BankTuning& tuning) {
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(text, &parseError);
    if (document.isNull())
        return QStringLiteral("it is not JSON: %1 at byte %2")
            .arg(parseError.errorString())
            .arg(parseError.offset);
    if (!document.isObject()) return QStringLiteral("it holds no object");
    const QJsonObject root = document.object();
    if (root.value(QLatin1String("version")).toDouble() != kFormatVersion)
        return QStringLiteral("its \"version\" is not %1").arg(kFormatVersion);
    if (!root.value(QLatin1String("outputs")).isArray()) return QStringLiteral("\"outputs\" is not a list");
    BankTuning read;
    if (QString problem = readOutputs(root.value(QLatin1String("outputs")).toArray(), read);
        !problem.isEmpty())
        return problem;
    tuning.replaceWith(read);
    return {};
}

TuningFileRead readTuningFile(const QString& bankPath) {
    TuningFileRead result;
    const QString path = tuningFilePath(bankPath);
    if (!QFileInfo::exists(path)) return result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = file.errorString();
        return result;
    }
    const QByteArray text = file.read(kMaxTuningFileBytes + 1);
    if (text.size() > kMaxTuningFileBytes) {
        result.error = QStringLiteral("it is larger than %1 MB").arg(kMaxTuningFileBytes >> 20);
        return result;
    }
    result.error = parseTuningJson(text, result.tuning);
    return result;
}

QString writeTuningFile(const QString& bankPath, const BankTuning& tuning) {
    const QString path = tuningFilePath(bankPath);
    if (tuning.empty()) {
        QFile file(path);
        if (!file.exists() || file.remove()) return {};
        return QStringLiteral("Cannot remove \"%1\": %2.").arg(path, file.errorString());
    }
    const QByteArray text = tuningJson(tuning);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.constData());
    const FileResult written = writeFileAtomically(QFile::encodeName(path).toStdString(),
                                                   std::span(bytes, static_cast<std::size_t>(text.size())));
    return written.ok ? QString() : QString::fromStdString(written.error);
}

}  // namespace kv
