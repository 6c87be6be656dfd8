// The import preview over a document that is online with the simulated unit: Cancel
// changes nothing and sends nothing; OK writes exactly the chosen bands, sends exactly
// their band frames and is one undo step. What the dialog offers follows the file. The
// context-menu items work on the output they were made for.

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <map>

#include "PageTestSupport.h"
#include "link/SimulatedLink.h"
#include "response/analog/FilterCurve.h"
#include "ui/exchange/FilterExchange.h"
#include "ui/exchange/FilterImportDialog.h"
#include "ui/exchange/MappingTable.h"

namespace kv::test {
namespace {

// Eight peaking filters with peak effects from 1 to 8 dB, a shelf the unit cannot make
// and a command the import does not use.
const std::string kEightFilters =
    "Filter 1: ON PK Fc 100 Hz Gain -2.0 dB Q 1.00\n"
    "Filter 2: ON PK Fc 200 Hz Gain 5.0 dB Q 1.00\n"
    "Filter 3: ON PK Fc 400 Hz Gain -1.0 dB Q 1.00\n"
    "Filter 4: ON PK Fc 800 Hz Gain 7.0 dB Q 1.00\n"
    "Filter 5: ON LS 6dB Fc 100 Hz Gain 3.0 dB\n"
    "Filter 6: ON PK Fc 1600 Hz Gain -4.0 dB Q 1.00\n"
    "Filter 7: ON PK Fc 3200 Hz Gain 3.0 dB Q 1.00\n"
    "Filter 8: ON PK Fc 6400 Hz Gain -6.0 dB Q 1.00\n"
    "Filter 9: ON PK Fc 12800 Hz Gain 8.0 dB Q 1.00\n"
    "Include: more.txt\n";

class FilterImportDialogTest : public SimulatedLinkTest {
protected:
    FilterImportDialogTest() {
        // Bands 1 and 3 of Output 1 are in use; the other six are free.
        doc.setBandFrequencyAndGain(0, 0, 180, 30);
        doc.setBandFrequencyAndGain(0, 2, 300, -40);
        doc.setModified(false);
    }

    void open(const std::string& text) {
        dialog = std::make_unique<FilterImportDialog>(doc, text, QStringLiteral("eq.txt"), 0);
        dialog->show();
    }

    template <typename T>
    T* control(const char* name) const {
        return findIn<T>(dialog.get(), QString::fromLatin1(name));
    }

    // The keep list's entries as file lines, top to bottom, and which are ticked.
    std::vector<std::pair<int, bool>> keepEntries() const {
        std::vector<std::pair<int, bool>> entries;
        const QListWidget& list = dialog->keepList();
        for (int i = 0; i < list.count(); ++i) {
            const QString text = list.item(i)->text();
            const int line = text.section(QStringLiteral("(line "), 1).chopped(1).toInt();
            entries.emplace_back(line, list.item(i)->checkState() == Qt::Checked);
        }
        return entries;
    }

    void tick(int line, bool ticked) {
        QListWidget& list = dialog->keepList();
        for (int i = 0; i < list.count(); ++i)
            if (list.item(i)->text().endsWith(QStringLiteral("(line %1)").arg(line)))
                list.item(i)->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
    }

    // After OK: every band of both outputs is as before except `gains` (band -> tenths
    // of a dB), and the unit got exactly one band frame for each of those, in band order.
    void expectOnlyTheseBands(const OutputChannel& before, const OutputChannel& other,
                              const std::map<int, int>& gains) {
        framesAfter(gains.size());
        const std::vector<SimFrame> frames = dataFrames();
        ASSERT_EQ(frames.size(), gains.size());
        auto frame = frames.begin();
        for (int b = 0; b < kBandSlots; ++b) {
            const PeqBand& band = doc.outputChannel(0).bands[static_cast<std::size_t>(b)];
            const auto changed = gains.find(b);
            if (changed == gains.end()) {
                EXPECT_EQ(band, before.bands[static_cast<std::size_t>(b)]) << "band " << b + 1;
                continue;
            }
            EXPECT_EQ(band.gain, changed->second) << "band " << b + 1;
            EXPECT_EQ(band.type, PeqPeaking);
            EXPECT_EQ(frame->code, MsgPeqBand);
            EXPECT_EQ(frame->output, 1);
            EXPECT_EQ(frame->band, b + 1);
            ++frame;
        }
        EXPECT_EQ(doc.outputChannel(0).highPass, before.highPass);
        EXPECT_EQ(doc.outputChannel(0).gain, before.gain);
        EXPECT_EQ(doc.outputChannel(1), other);
        EXPECT_TRUE(doc.isModified());
        EXPECT_EQ(doc.undoName(), "Import Filters");
    }

    std::unique_ptr<FilterImportDialog> dialog;
};

TEST_F(FilterImportDialogTest, CancelChangesAndSendsNothing) {
    goOnline();
    const DocumentSnapshot before = DocumentSnapshot::of(doc);
    const std::string lastStep = doc.undoName();
    open(kEightFilters);
    control<QRadioButton>("replaceChoice")->click();
    control<QComboBox>("outputChoice")->setCurrentIndex(1);
    ASSERT_TRUE(dialog->okButton().isEnabled());
    QTest::mouseClick(control<QPushButton>("cancelButton"), Qt::LeftButton);
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(DocumentSnapshot::of(doc), before);
    EXPECT_TRUE(dataFrames().empty());
    EXPECT_EQ(doc.undoName(), lastStep);
}

TEST_F(FilterImportDialogTest, OkWritesTheChosenFiltersIntoTheFreeBands) {
    goOnline();
    const OutputChannel before = doc.outputChannel(0);
    const OutputChannel other = doc.outputChannel(1);
    open(kEightFilters);
    // Largest effect first; the six that fit the six free bands are ticked.
    const std::vector<std::pair<int, bool>> offered{{9, true}, {4, true}, {8, true},  {2, true},
                                                    {6, true}, {7, true}, {1, false}, {3, false}};
    EXPECT_EQ(keepEntries(), offered);
    EXPECT_TRUE(control<QLabel>("keepLabel")->isVisible());
    // The user swaps the 3 dB filter of line 7 for the -2 dB one of line 1.
    tick(7, false);
    tick(1, true);
    const MappingTable& table = dialog->table();
    const int refused = table.rowOfLine(5), ignored = table.rowOfLine(10);
    ASSERT_GE(refused, 0);
    ASSERT_GE(ignored, 0);
    EXPECT_TRUE(
        table.item(refused, MappingTable::NoteColumn)->text().startsWith(QStringLiteral("refused: ")));
    EXPECT_TRUE(table.item(ignored, MappingTable::NoteColumn)->text().contains(QStringLiteral("ignored")));
    EXPECT_EQ(table.item(ignored, MappingTable::RequestedColumn)->text(),
              QStringLiteral("Include: more.txt"));

    QTest::mouseClick(&dialog->okButton(), Qt::LeftButton);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    // The kept filters in file order (lines 1, 2, 4, 6, 8, 9) fill the free bands.
    expectOnlyTheseBands(before, other, {{1, -20}, {3, 50}, {4, 70}, {5, -40}, {6, -60}, {7, 80}});
}

TEST_F(FilterImportDialogTest, OkReplacesTheBandsFromTheChosenOne) {
    goOnline();
    const OutputChannel before = doc.outputChannel(0);
    const OutputChannel other = doc.outputChannel(1);
    open(kEightFilters);
    control<QRadioButton>("replaceChoice")->click();
    control<QSpinBox>("firstBandChoice")->setValue(7);
    // Two bands: the two largest filters, in file order (7 dB of line 4, 8 dB of line 9).
    EXPECT_EQ(keepEntries().size(), 8u);
    QTest::mouseClick(&dialog->okButton(), Qt::LeftButton);
    expectOnlyTheseBands(before, other, {{6, 70}, {7, 80}});
}

TEST_F(FilterImportDialogTest, WhatTheDialogOffersFollowsTheFile) {
    struct Case {
        const char* what;
        std::string text;
        bool okEnabled;
        bool channelShown;
        bool keepShown;
        int rows;
    };
    const std::vector<Case> cases{
        {"filters that fit", "Preamp: -3 dB\nFilter: ON PK Fc 1000 Hz Gain -3 dB Q 2\n", true, false, false,
         2},
        {"an unreadable line", "Filter: ON PK Fc 1000 Hz Gain -3 dB Q 2\nFilter: ON PK Fc lots Hz\n", false,
         false, false, 1},
        {"channels",
         "Channel: L\nFilter: ON PK Fc 100 Hz Gain 2 dB Q 1\nChannel: R\nFilter: ON NO Fc 60 Hz Q 8\n", true,
         true, false, 1},
        {"nothing to import", "# just a comment\n", false, false, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        open(c.text);
        EXPECT_EQ(dialog->okButton().isEnabled(), c.okEnabled);
        EXPECT_EQ(control<QLabel>("refusalLabel")->isVisible(), !c.okEnabled);
        EXPECT_EQ(control<QComboBox>("channelChoice")->isVisible(), c.channelShown);
        EXPECT_EQ(dialog->keepList().isVisible(), c.keepShown);
        EXPECT_EQ(dialog->table().rowCount(), c.rows);
    }
    // The unreadable line is in the table with its own text and the reason.
    open(cases[1].text);
    const int bad = dialog->table().rowOfLine(2);
    ASSERT_GE(bad, 0);
    EXPECT_EQ(dialog->table().item(bad, MappingTable::RequestedColumn)->text(),
              QStringLiteral("Filter: ON PK Fc lots Hz"));
    EXPECT_TRUE(dialog->table()
                    .item(bad, MappingTable::NoteColumn)
                    ->text()
                    .startsWith(QStringLiteral("cannot be read: ")));
    // Another channel brings its own filters.
    open(cases[2].text);
    control<QComboBox>("channelChoice")->setCurrentIndex(1);
    ASSERT_EQ(dialog->table().rowCount(), 1);
    EXPECT_EQ(dialog->table().item(0, MappingTable::LineColumn)->text(), QStringLiteral("4"));
    EXPECT_FALSE(doc.isModified());
}

TEST_F(FilterImportDialogTest, ContextMenuItemsWorkOnTheirOutput) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("eq.txt"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Filter 1: ON PK Fc 1000 Hz Gain 4.5 dB Q 2.00\n");
    file.close();
    Prompts prompts;
    prompts.openFile = [&path](const QString&, const QString&, const QString&) { return path; };
    prompts.saveFile = prompts.openFile;
    prompts.message = [](QMessageBox::Icon, const QString&, const QString&, QMessageBox::StandardButtons) {
        return QMessageBox::Ok;
    };
    QWidget owner;
    QMenu menu;
    addFilterExchangeItems(menu, doc, 1, &owner, prompts);

    int offered = -1;
    QTimer::singleShot(0, [&offered] {
        auto* shown = qobject_cast<FilterImportDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(shown, nullptr);
        offered = shown->request().output;
        QTest::mouseClick(&shown->okButton(), Qt::LeftButton);
    });
    const OutputChannel first = doc.outputChannel(0);
    findIn<QAction>(&menu, QStringLiteral("importFilters"))->trigger();
    EXPECT_EQ(offered, 1);
    EXPECT_EQ(doc.outputChannel(1).bands[0].gain, 45);
    EXPECT_EQ(doc.outputChannel(0), first);
}

}  // namespace
}  // namespace kv::test
