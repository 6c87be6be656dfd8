// The tuning settings travel with the bank in "BANK.ovk.tuning.json": saved with the bank,
// read when it opens, cleared by New; a broken side file costs nothing but itself.

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>

#include "AppTestSupport.h"
#include "app/DocumentHost.h"
#include "document/KorvaliserDoc.h"
#include "measurement/tuning/BankTuning.h"
#include "ui/tuning/TuningFile.h"

namespace kv {
namespace {

OutputTuning measuredTuning() {
    OutputTuning t;
    t.measurementName = "/tmp/woofer.txt";
    t.measurement = {{20.0, 81.25}, {1000.0, 84.5}, {20000.0, 79.0 + 1.0 / 3.0}};
    t.smoothing = Smoothing::Octave12;
    t.automaticOffset = false;
    t.typedOffsetDb = -3.7;
    t.target.kind = TargetKind::Tilt;
    t.target.tiltDbPerOctave = -0.8;
    t.target.lowShelf = true;
    t.target.shelfHz = 120.0;
    t.target.shelfDb = 4.5;
    return t;
}

OutputTuning fileTargetTuning() {
    OutputTuning t;
    t.target.kind = TargetKind::File;
    t.target.fileName = "/tmp/house curve.txt";
    t.target.filePoints = {{30.0, 4.0}, {200.0, 1.0}, {16000.0, -3.0}};
    return t;
}

class TuningSideFileTest : public ::testing::Test {
protected:
    QString bankPath(const QString& name = QStringLiteral("show.ovk")) const { return temp.dir(name); }

    static QByteArray contents(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // The side file's one output entry written twice.
    static QByteArray twice(const QByteArray& json) {
        const qsizetype start = json.indexOf("[{") + 1;
        const qsizetype end = json.indexOf("}],\"version\"") + 1;
        return json.left(end) + ',' + json.mid(start, end - start) + json.mid(end);
    }
    static void write(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    // Saves a bank named "Mains" in preset 3 (with the tuning given) as show.ovk.
    void saveBank(const BankTuning& with) {
        tuning.replaceWith(with);
        doc.setPresetName(doc.slotAtPosition(2), u"Mains");
        script.files = {bankPath()};
        ASSERT_TRUE(host.saveAs());
    }

    test::TempSettings temp;
    test::ScriptedPrompts script;
    Prompts prompts = script.prompts();
    CKorvaliserDoc doc;
    BankTuning tuning;
    DocumentHost host{doc, tuning, prompts};
};

TEST_F(TuningSideFileTest, SavedTuningComesBackWithTheBankAndNewClearsIt) {
    BankTuning saved;
    saved.setTuning(2, 0, measuredTuning());
    saved.setTuning(9, 1, fileTargetTuning());
    saveBank(saved);
    ASSERT_TRUE(QFileInfo::exists(bankPath() + QStringLiteral(".tuning.json")));

    CKorvaliserDoc reopened;
    BankTuning reread;
    DocumentHost other(reopened, reread, prompts);
    ASSERT_TRUE(other.openDocumentFile(bankPath()));
    EXPECT_TRUE(reread == saved);
    EXPECT_FALSE(reopened.isModified());

    // Save As takes the tuning to the new name; the old bank keeps its own.
    script.files = {bankPath(QStringLiteral("copy.ovk"))};
    ASSERT_TRUE(other.saveAs());
    EXPECT_EQ(contents(bankPath(QStringLiteral("copy.ovk.tuning.json"))),
              contents(bankPath(QStringLiteral("show.ovk.tuning.json"))));

    ASSERT_TRUE(other.newDocument());
    EXPECT_TRUE(reread.empty());
    EXPECT_TRUE(script.asked.empty()) << script.texts().join('\n').toStdString();
}

TEST_F(TuningSideFileTest, ABrokenSideFileIsReportedOnceAndKeptUntilTheNextSave) {
    const QString sideFile = bankPath() + QStringLiteral(".tuning.json");
    const QByteArray good = tuningJson([] {
        BankTuning t;
        t.setTuning(0, 0, measuredTuning());
        return t;
    }());
    const std::vector<std::pair<const char*, QByteArray>> broken{
        {"not JSON", "{\"version\": 1, \"outputs\": ["},
        {"cut short", good.left(good.size() / 2)},
        {"wrong version", QByteArray(good).replace("\"version\":1", "\"version\":7")},
        {"text for a number",
         QByteArray(good).replace("\"typedOffsetDb\":-3.7", "\"typedOffsetDb\":\"-3.7\"")},
        {"offset out of range", QByteArray(good).replace("\"typedOffsetDb\":-3.7", "\"typedOffsetDb\":900")},
        {"unknown smoothing", QByteArray(good).replace("\"1/12\"", "\"1/7\"")},
        {"slot out of range", QByteArray(good).replace("\"slot\":0", "\"slot\":10")},
        {"point not a pair", QByteArray(good).replace("[20,81.25]", "[20]")},
        {"one output twice", twice(good)},
    };
    BankTuning kept;
    kept.setTuning(4, 1, fileTargetTuning());
    saveBank(kept);
    for (const auto& [what, bytes] : broken) {
        SCOPED_TRACE(what);
        write(sideFile, bytes);
        script.asked.clear();
        tuning.setTuning(4, 1, fileTargetTuning());  // what the bank held before

        CKorvaliserDoc reopened;
        DocumentHost other(reopened, tuning, prompts);
        ASSERT_TRUE(other.openDocumentFile(bankPath()));
        EXPECT_EQ(reopened.presetNameText(reopened.slotAtPosition(2)), u"Mains");
        EXPECT_TRUE(tuning.empty());
        ASSERT_EQ(script.asked.size(), 1u);
        EXPECT_TRUE(script.asked[0].text.contains(QStringLiteral("show.ovk.tuning.json")))
            << script.asked[0].text.toStdString();
        EXPECT_EQ(contents(sideFile), bytes);
    }
    // The next save writes what the bank holds now: no tuning, so no side file.
    ASSERT_TRUE(host.save());
    EXPECT_FALSE(QFileInfo::exists(sideFile));
}

}  // namespace
}  // namespace kv
