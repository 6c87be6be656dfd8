#include <gtest/gtest.h>

#include <QGuiApplication>

#include "AppTestSupport.h"
#include "app/AppSettings.h"
#include "app/CommandLine.h"

namespace kv {
namespace {

TEST(AppSettings, MissingKeysReadAsDefaults) {
    test::TempSettings temp;
    auto store = temp.open();
    const AppSettings s = readAppSettings(*store);
    EXPECT_EQ(s.linkMode, 0);
    EXPECT_EQ(s.comNumber, 1);
    EXPECT_EQ(s.speedIndex, 6);
    EXPECT_EQ(s.showQ, 1);
    EXPECT_EQ(s.splitPos, 180);
    EXPECT_EQ(s.globalGain, 0);
    EXPECT_EQ(s.globalPeq, 1);
    EXPECT_EQ(s.reportDsp, 0);
    EXPECT_EQ(expandBitsFromFlags(s.expandFlags), 255);
    EXPECT_TRUE(s.recentFiles.isEmpty());
}

TEST(AppSettings, RoundTripKeepsEveryKey) {
    test::TempSettings temp;
    AppSettings written;
    written.linkMode = 1;
    written.comNumber = 4;
    written.speedIndex = 2;
    written.showQ = 0;
    written.splitPos = 233;
    written.globalGain = 7;
    written.globalPeq = 0;
    written.reportDsp = 1;
    written.expandFlags = expandFlagsFromBits(0xA5);
    written.comDevices[4] = QStringLiteral("/dev/ttyUSB0");
    written.recentFiles = {QStringLiteral("/tmp/a.ovk"), QStringLiteral("/tmp/b.ovk")};
    writeAppSettings(*temp.open(), written);

    const AppSettings read = readAppSettings(*temp.open());
    EXPECT_EQ(read.linkMode, 1);
    EXPECT_EQ(read.comNumber, 4);
    EXPECT_EQ(read.speedIndex, 2);
    EXPECT_EQ(read.showQ, 0);
    EXPECT_EQ(read.splitPos, 233);
    EXPECT_EQ(read.globalGain, 7);
    EXPECT_EQ(read.globalPeq, 0);
    EXPECT_EQ(read.reportDsp, 1);
    EXPECT_EQ(expandBitsFromFlags(read.expandFlags), 0xA5);
    EXPECT_EQ(read.comDevices[4], QStringLiteral("/dev/ttyUSB0"));
    EXPECT_TRUE(read.comDevices[0].isEmpty());
    EXPECT_EQ(read.recentFiles, written.recentFiles);

    // The keys are the ones earlier releases used.
    QSettings raw(temp.path(), QSettings::IniFormat);
    EXPECT_EQ(raw.value(QStringLiteral("Remote/COM No")).toInt(), 4);
    EXPECT_EQ(raw.value(QStringLiteral("Options/Split Pos")).toInt(), 233);
    EXPECT_EQ(raw.value(QStringLiteral("Recent File List/File2")).toString(), QStringLiteral("/tmp/b.ovk"));
}

// A user who never turns the report's DSP curves on keeps the Options keys as they were.
TEST(AppSettings, TheReportOptionIsWrittenOnlyWhileOn) {
    test::TempSettings temp;
    AppSettings s;
    for (const int on : {1, 0}) {
        s.reportDsp = on;
        writeAppSettings(*temp.open(), s);
        QSettings raw(temp.path(), QSettings::IniFormat);
        EXPECT_EQ(raw.contains(QStringLiteral("Options/Report DSP")), on == 1);
    }
}

TEST(AppSettings, DamagedValueReadsAsDefault) {
    test::TempSettings temp;
    {
        QSettings raw(temp.path(), QSettings::IniFormat);
        raw.setValue(QStringLiteral("Options/Split Pos"), QStringLiteral("wide"));
        raw.setValue(QStringLiteral("Remote/Speed"), QStringLiteral("3"));
    }
    const AppSettings s = readAppSettings(*temp.open());
    EXPECT_EQ(s.splitPos, 180);
    EXPECT_EQ(s.speedIndex, 3);
}

struct ExpandCase {
    int stored;
    int written;
};

class ExpandBitsTest : public ::testing::TestWithParam<ExpandCase> {};

TEST_P(ExpandBitsTest, OnlyEightFlagsSurvive) {
    const auto flags = expandFlagsFromBits(GetParam().stored);
    for (const int f : flags) EXPECT_TRUE(f == 1 || f == 2);
    EXPECT_EQ(expandBitsFromFlags(flags), GetParam().written);
}

INSTANTIATE_TEST_SUITE_P(Table, ExpandBitsTest,
                         ::testing::Values(ExpandCase{0, 0}, ExpandCase{255, 255}, ExpandCase{256, 0},
                                           ExpandCase{257, 1}, ExpandCase{0x80, 0x80}, ExpandCase{-1, 255}));

// Qt appends a display name, when one is set, to every window title that does not already
// end with it ("About Korvaliser — ..."): the program sets none, so titles stay its own.
TEST(AppSettings, TheProgramsNamesAddNothingToWindowTitles) {
    nameTheApplication();
    EXPECT_EQ(QCoreApplication::organizationName(), QStringLiteral("OVN Electronics Applications"));
    EXPECT_EQ(QCoreApplication::applicationName(), QStringLiteral("Korvaliser"));
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
}

TEST(RecentFiles, MostRecentFirstAtMostFour) {
    QStringList list;
    for (const char* p : {"/a.ovk", "/b.ovk", "/c.ovk", "/d.ovk", "/e.ovk"})
        list = withRecentFile(list, QString::fromLatin1(p));
    EXPECT_EQ(list, (QStringList{"/e.ovk", "/d.ovk", "/c.ovk", "/b.ovk"}));
    list = withRecentFile(list, QStringLiteral("/c.ovk"));
    EXPECT_EQ(list, (QStringList{"/c.ovk", "/e.ovk", "/d.ovk", "/b.ovk"}));
    list = withRecentFile(list, QStringLiteral("/x/../e.ovk"));
    EXPECT_EQ(list.first(), QStringLiteral("/e.ovk"));
    EXPECT_EQ(list.size(), 4);
}

struct CommandCase {
    QStringList args;
    StartupOptions::Action action;
    QString file;
    QString extra;  // printer or PDF path
    int preset;
    bool ok;
};

class CommandLineTest : public ::testing::TestWithParam<CommandCase> {};

TEST_P(CommandLineTest, Parses) {
    const CommandCase& c = GetParam();
    const StartupOptions o = parseCommandLine(c.args);
    EXPECT_EQ(o.error.isEmpty(), c.ok) << qPrintable(o.error);
    if (!c.ok) return;
    EXPECT_EQ(o.action, c.action);
    EXPECT_EQ(o.file, c.file);
    EXPECT_EQ(o.action == StartupOptions::Action::Pdf ? o.pdfPath : o.printerName, c.extra);
    EXPECT_EQ(o.preset, c.preset);
}

using A = StartupOptions::Action;
INSTANTIATE_TEST_SUITE_P(
    Table, CommandLineTest,
    ::testing::Values(
        CommandCase{{}, A::Run, "", "", 0, true}, CommandCase{{"show.ovk"}, A::Run, "show.ovk", "", 0, true},
        CommandCase{{"-p", "show.ovk"}, A::Print, "show.ovk", "", 0, true},
        CommandCase{{"-p", "show.ovk", "--printer", "Office"}, A::Print, "show.ovk", "Office", 0, true},
        CommandCase{{"-pt", "show.ovk", "Office"}, A::Print, "show.ovk", "Office", 0, true},
        CommandCase{{"--pdf", "out.pdf", "show.ovk"}, A::Pdf, "show.ovk", "out.pdf", 0, true},
        CommandCase{
            {"--pdf", "out.pdf", "show.ovk", "--preset", "3"}, A::Pdf, "show.ovk", "out.pdf", 3, true},
        CommandCase{{"--edit", "show.ovk", "--preset", "10"}, A::Edit, "show.ovk", "", 10, true},
        CommandCase{{"--edit", "show.ovk"}, A::Edit, "", "", 0, false},
        CommandCase{{"--edit", "show.ovk", "--preset", "11"}, A::Edit, "", "", 0, false},
        CommandCase{{"--pdf", "out.pdf"}, A::Pdf, "", "", 0, false},
        CommandCase{{"-p"}, A::Print, "", "", 0, false},
        CommandCase{{"--printer", "Office", "a.ovk"}, A::Run, "", "", 0, false},
        CommandCase{{"a.ovk", "b.ovk"}, A::Run, "", "", 0, false},
        CommandCase{{"--frobnicate"}, A::Run, "", "", 0, false},
        CommandCase{{"-p", "a.ovk", "--pdf", "o.pdf", "a.ovk"}, A::Run, "", "", 0, false}));

TEST(CommandLine, AMissingArgumentIsNamed) {
    const struct {
        QStringList args;
        const char* error;
    } cases[] = {
        {{"--pdf", "out.pdf"}, "--pdf OUT needs FILE, the bank file whose report it writes"},
        {{"--pdf"}, "--pdf needs OUT, the PDF file to write, and FILE, the bank file"},
        {{"-p"}, "-p needs FILE, the bank file to print"},
        {{"-pt", "a.ovk"}, "-pt FILE needs PRINTER, the printer to print on"},
        {{"--edit", "--preset", "2"}, "--edit needs FILE, the bank file to edit"},
        {{"--edit", "a.ovk", "--preset"}, "--preset needs N, a preset number from 1 to 10"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseCommandLine(c.args).error, QString::fromLatin1(c.error)) << c.error;
    // FILE of --pdf may also come after other options.
    const StartupOptions later = parseCommandLine({"--pdf", "out.pdf", "--preset", "2", "show.ovk"});
    EXPECT_TRUE(later.error.isEmpty()) << qPrintable(later.error);
    EXPECT_EQ(later.file, QStringLiteral("show.ovk"));
}

TEST(CommandLine, SwitchesAndHeadless) {
    const StartupOptions o = parseCommandLine({"--no-splash", "--simulate", "bank.ovk"});
    EXPECT_FALSE(o.splash);
    EXPECT_TRUE(o.simulate);
    EXPECT_FALSE(o.headless());
    EXPECT_TRUE(parseCommandLine({"--pdf", "o.pdf", "a.ovk"}).headless());
    EXPECT_TRUE(parseCommandLine({"-p", "a.ovk"}).headless());
    // The start-up benchmark's switch runs the window as usual and stays out of --help.
    const StartupOptions timed = parseCommandLine({"--quit-after-first-paint", "bank.ovk"});
    EXPECT_TRUE(timed.quitAfterFirstPaint);
    EXPECT_EQ(timed.action, StartupOptions::Action::Run);
    EXPECT_FALSE(o.quitAfterFirstPaint);
    EXPECT_FALSE(commandLineUsage().contains(QStringLiteral("first-paint")));
}

}  // namespace
}  // namespace kv
