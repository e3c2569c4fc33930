// The File menu of the views: Export CSV writes the view's table as CHIRP CSV; Import CSV
// fills the view and its mirror rows, names what it left out, refuses what is not such a
// file, and never writes the radio.
#include <QAction>
#include <QMenuBar>

#include "app_harness.h"
#include "chirpcsv.h"
#include "csvcommands.h"
#include "filebytes.h"
#include "messageboxhelper.h"

using namespace vardo;
using namespace vardo::test;

namespace {

// The program with the file dialog answered by the test.
struct CsvApp : AppHarness {
    QString chosen;  // what the dialog answers; empty: Cancel
    QList<bool> asked;

    MemoryView& ready(ViewKind kind)
    {
        MemoryView& v = open(kind);
        v.findChild<CsvCommands*>()->setFileChooser([this](QWidget*, bool saving, const QString&) {
            asked << saving;
            return chosen;
        });
        return v;
    }
    void trigger(MemoryView& v, const char* item) { v.findChild<QAction*>(QString::fromLatin1(item))->trigger(); }
    [[nodiscard]] QList<RowCells> rows(ViewKind kind) const
    {
        const std::vector<RowCells> all = table(kind).rows();
        return QList<RowCells>(all.begin(), all.end());
    }
};

}  // namespace

class CsvMenuTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void menuBeforeHelp();
    void exportThenImportGivesTheTableBack();
    void importNamesWhatItLeftOut();
    void refusedOrCancelledChangesNothing();
};

void CsvMenuTest::menuBeforeHelp()
{
    CsvApp h;
    QVERIFY(h.started());
    for (ViewKind kind : kAllViews) {
        const QList<QAction*> menus = h.view(kind).menuBar()->actions();
        QCOMPARE(menus.size(), 3);
        QCOMPARE(menus.at(0)->text(), QStringLiteral("&File"));
        QCOMPARE(menus.at(1)->text(), QStringLiteral("R&adio"));
        QCOMPARE(menus.at(2)->text(), QStringLiteral("&Help"));
    }
}

// After a read, export; clear the view; import: the same rows, the mirror rows with them,
// and not one frame to the radio.
void CsvMenuTest::exportThenImportGivesTheTableBack()
{
    CsvApp h;
    QVERIFY(h.started());
    MemoryView& pms = h.ready(ViewKind::Pms);
    QVERIFY(h.read(pms));
    h.app->family().setCell(ViewKind::Pms, 2, ColComment, QStringLiteral("band edge, \"40m\""));
    const QList<RowCells> before = h.rows(ViewKind::Pms);
    h.chosen = h.dir.filePath("pms.csv");
    h.trigger(pms, "itmExportCsv");
    QVERIFY(FileBytes(h.chosen).startsWith(CsvLine(ChirpHeader()).toUtf8() + "\r\n1,"));
    h.press(pms, "cmdClear");
    QCOMPARE(DataRows(h.table(ViewKind::Pms)), QString());
    const std::size_t frames = h.radio->frameLog().size();
    const int beeps = h.beeps;
    h.trigger(pms, "itmImportCsv");
    QCOMPARE(h.asked, QList<bool>({true, false}));
    QCOMPARE(h.beeps, beeps + 1);
    QCOMPARE(h.radio->frameLog().size(), frames);
    const QList<RowCells> after = h.rows(ViewKind::Pms);
    for (int row = 0; row < 9; ++row) {
        // The CSV carries frequency, mode, mask, repeater direction and comment.
        for (Column c : {ColFreq, ColMode, ColRpt, ColComment})
            QCOMPARE(after[row][CellIndex(c)], before[row][CellIndex(c)]);
        QCOMPARE(h.table(ViewKind::All).row(100 + row), after[row]);
    }
}

void CsvMenuTest::importNamesWhatItLeftOut()
{
    CsvApp h;
    QVERIFY(h.started());
    MemoryView& qmb = h.ready(ViewKind::Qmb);
    h.chosen = h.dir.filePath("in.csv");
    QVERIFY(PutFile(h.chosen, "Location,Frequency,Mode,Comment\n2,7.074,USB,FT8\n6,7.1,LSB,\n3,145.5,FM,\n"));
    MessageBoxHelper boxes;
    h.trigger(qmb, "itmImportCsv");
    QCOMPARE(boxes.texts(), QStringList{"These rows of in.csv were left out:\r"
                                        "line 3: location \"6\" is outside this view (1-5)\r"
                                        "line 4: the frequency 145.500000 MHz is outside the radio's 0.1-30 MHz"});
    QCOMPARE(DataRows(h.table(ViewKind::Qmb)), QStringLiteral("2"));
    QCOMPARE(h.table(ViewKind::Qmb).cell(2, ColComment), QStringLiteral("FT8"));
    QCOMPARE(h.table(ViewKind::All).cell(110, ColFreq), h.table(ViewKind::Qmb).cell(2, ColFreq));
}

void CsvMenuTest::refusedOrCancelledChangesNothing()
{
    CsvApp h;
    QVERIFY(h.started());
    MemoryView& ch99 = h.ready(ViewKind::Ch99);
    QVERIFY(h.read(ch99));
    const QList<RowCells> before = h.rows(ViewKind::Ch99);
    h.chosen = h.dir.filePath("99Mem.txt");
    QVERIFY(PutFile(h.chosen, "14074.00:USB:2.4K:2.4K:A:OFF:OFF:0.00:OFF:\r\n"));
    MessageBoxHelper boxes;
    h.trigger(ch99, "itmImportCsv");
    QCOMPARE(boxes.texts(), QStringList{"99Mem.txt is not a CHIRP CSV file: its first line is not a CHIRP header with "
                                        "Location, Frequency and Mode columns.\rNothing was changed."});
    h.chosen.clear();
    h.trigger(ch99, "itmImportCsv");
    h.trigger(ch99, "itmExportCsv");
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(h.rows(ViewKind::Ch99), before);
}

QTEST_MAIN(CsvMenuTest)
#include "csv_menu_test.moc"
