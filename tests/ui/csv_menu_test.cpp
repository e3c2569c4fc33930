// SPDX-License-Identifier: GPL-3.0-or-later
// The File menu of the views: Export CSV writes the view's table as CHIRP CSV (never into
// something that is not a plain file, nor over the program's own files) and names the
// channels it could not carry; Import CSV asks first, replaces only the rows the CSV names
// (and their mirror rows), names what it left out or changed, and never writes the radio.

#include "csvcommands.h"
#include "filebytes.h"
#include "messageboxhelper.h"
#include "ui_steps.h"

using namespace vardo;
using namespace vardo::test;

namespace {

const QByteArray kHeader = "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,"
                           "RxDtcsCode,CrossMode,Mode,TStep,Skip,Power,Comment,URCALL,RPT1CALL,RPT2CALL,DVCODE";

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
    void trigger(MemoryView& v, const char* item) { Action(v, item)->trigger(); }
};

}  // namespace

class CsvMenuTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // After a read, export (refusing the view's own file, naming the comment without a channel);
    // clear the view; import: the same rows, the mirror rows with them, and not one frame to the
    // radio.
    void exportThenImportGivesTheTableBack()
    {
        CsvApp h;
        QVERIFY(h.started());
        MemoryView& pms = h.ready(ViewKind::Pms);
        QVERIFY(h.read(pms));
        h.app->family().setCell(ViewKind::Pms, 2, ColComment, QStringLiteral("band edge, \"40m\""));
        h.app->family().setRow(ViewKind::Pms, 9, RowCells{"", "", "", "", "", "", "", "", "", "spare"});
        const std::vector<RowCells> before = h.table(ViewKind::Pms).rows();
        MessageBoxHelper boxes(QMessageBox::Yes);
        // The view's own saved file under another spelling is refused, and left as it was.
        QVERIFY(PutFile(h.dir.filePath("Pms.txt"), "saved"));
        h.chosen = h.dir.filePath("./Pms.txt");
        h.trigger(pms, "itmExportCsv");
        QCOMPARE(FileBytes(h.dir.filePath("Pms.txt")), QByteArray("saved"));
        h.chosen = h.dir.filePath("pms.csv");
        h.trigger(pms, "itmExportCsv");
        QVERIFY(FileBytes(h.chosen).startsWith(kHeader + "\r\n1,"));
        QCOMPARE(boxes.texts(), QStringList({QStringLiteral("Could not write \"%1\": it is the program's own saved file "
                                                            "\"Pms.txt\"; choose another name.").arg(h.dir.filePath("./Pms.txt")),
                                             "These channels are not in pms.csv:\rP9 \"spare\": it has a comment but no frequency"}));
        h.press(pms, "cmdClear");
        QCOMPARE(DataRows(h.table(ViewKind::Pms)), QString());
        const std::size_t frames = h.radio->frameLog().size();
        const int beeps = h.beeps;
        boxes.clear();
        h.trigger(pms, "itmImportCsv");
        QCOMPARE(boxes.texts(), QStringList{"Import 8 rows of pms.csv into PMS Memories? The channels at those locations are "
                                            "replaced; the others are kept."});
        QCOMPARE(h.asked, QList<bool>({true, true, false}));
        QCOMPARE(h.beeps, beeps + 1);
        QCOMPARE(h.radio->frameLog().size(), frames);
        const std::vector<RowCells> after = h.table(ViewKind::Pms).rows();
        for (int row = 0; row < 8; ++row) {
            // The CSV carries frequency, mode, mask, repeater direction and comment.
            for (Column c : {ColFreq, ColMode, ColRpt, ColComment})
                QCOMPARE(after[row][CellIndex(c)], before[row][CellIndex(c)]);
            QCOMPARE(h.table(ViewKind::All).row(100 + row), after[row]);
        }
        QCOMPARE(after[8], RowCells{});
    }

    // No changes nothing; Yes replaces the rows the CSV takes and their mirror rows, every other
    // row of every table stays, and one message names what was left out and what was changed.
    void importAsksAndReplacesOnlyItsRows()
    {
        CsvApp h;
        QVERIFY(h.openFilled(ViewKind::Pms));
        MemoryView& pms = h.ready(ViewKind::Pms);
        const Tables before = AllTables(h);
        h.chosen = h.dir.filePath("in.csv");
        QVERIFY(PutFile(h.chosen, "Location,Name,Frequency,Duplex,Offset,Mode,Skip,Comment\n"
                                  "2,Net,29.6,+,0.6,NFM,,Sunday\n3,APRS,144.39,,,FM,,\n"));
        MessageBoxHelper boxes(QMessageBox::No);
        h.trigger(pms, "itmImportCsv");
        QCOMPARE(boxes.texts(), QStringList{"Import 1 row of in.csv into PMS Memories? The channels at those locations are "
                                            "replaced; the others are kept."});
        QCOMPARE(AllTables(h), before);

        boxes.clear();
        boxes.setAnswer(QMessageBox::Yes);
        h.trigger(pms, "itmImportCsv");
        QCOMPARE(boxes.count(), 2);
        QCOMPARE(boxes.texts().at(1),
                 "These rows of in.csv were left out:\r"
                 "line 3: the frequency 144.390000 MHz is outside what the radio can be set to (0.100000-99.999990 MHz)\r"
                 "These values of in.csv were taken otherwise:\r"
                 "line 2: the mode \"NFM\" was taken as FM\r"
                 "line 2: the duplex offset 0.6 MHz was taken as the radio's repeater shift, 0.100000 MHz");
        Tables expected = before;
        const RowCells net{"29600.00  ", "FM", "Thru", "6.0K", "A", "OFF", "OFF", "0.00", "+RPT", "Net - Sunday"};
        expected[int(ViewKind::Pms)][1] = net;
        expected[int(ViewKind::All)][100] = net;
        QCOMPARE(AllTables(h), expected);
    }

    // A file with no row to take shows why and asks nothing; a file that is not CHIRP CSV, or a
    // Cancel, changes nothing either.
    void nothingChangesWithoutARow()
    {
        CsvApp h;
        QVERIFY(h.started());
        MemoryView& ch99 = h.ready(ViewKind::Ch99);
        QVERIFY(h.read(ch99));
        const Tables before = AllTables(h);
        MessageBoxHelper boxes(QMessageBox::Yes);
        h.chosen = h.dir.filePath("in.csv");
        QVERIFY(PutFile(h.chosen, kHeader + "\r\n"));
        h.trigger(ch99, "itmImportCsv");
        QVERIFY(PutFile(h.chosen, "# CHIRP\r" + kHeader + "\r0,,7.0,,0,,88.5,88.5,023,NN,023,Tone->Tone,USB,5.00,,5W,,,,,\r"));
        h.trigger(ch99, "itmImportCsv");
        QVERIFY(PutFile(h.chosen, "14074.00:USB:2.4K:2.4K:A:OFF:OFF:0.00:OFF:\r\n"));
        h.trigger(ch99, "itmImportCsv");
        h.chosen.clear();
        h.trigger(ch99, "itmImportCsv");
        h.trigger(ch99, "itmExportCsv");
        QCOMPARE(boxes.texts(), QStringList({"No row of in.csv could be imported; nothing was changed.",
                                             "No row of in.csv could be imported; nothing was changed.\r"
                                             "These rows were left out:\r"
                                             "line 3: location \"0\" is outside this view (1-99)",
                                             "in.csv is not a CHIRP CSV file: its first line is not a CHIRP header with "
                                             "Location, Frequency and Mode columns.\rNothing was changed."}));
        QCOMPARE(AllTables(h), before);
    }
};

QTEST_MAIN(CsvMenuTest)
#include "csv_menu_test.moc"
