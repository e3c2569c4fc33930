// SPDX-License-Identifier: GPL-3.0-or-later
// The File menu: Export and Import CSV (never a write to the radio) and the History snapshots.

#include <QListWidget>
#include <QStatusBar>

#include "csvcommands.h"
#include "filebytes.h"
#include "historyfiles.h"
#include "messageboxhelper.h"
#include "tablesteps.h"
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

// Two snapshots of the PMS view as the program names them; the older one has P1 off the
// demo radio's 1800.00 kHz.
const QString kOlder = QStringLiteral("Pms 000001 2026-12-09 21-00-00 read.txt");
const QString kNewer = QStringLiteral("Pms 000002 2026-12-10 05-12-03 load verified.txt");
const QByteArray kOlderBytes = "1810.00:CW (usb):500:500:A:OFF:OFF:0.00:OFF:top band\r\n"
                               "2000.00*:LSB:2.4K:2.4K:A:OFF:OFF:0.00:OFF:\r\n"
                               + QByteArray(":::::::::\r\n").repeated(7);
const QByteArray kNewerBytes = QByteArray("3500.00:CW (usb):500:500:A:OFF:OFF:0.00:OFF:\r\n").repeated(9);

struct HistoryApp : AppHarness {
    MemoryView* pms = nullptr;

    [[nodiscard]] bool ready()
    {
        const QString folder = dir.filePath(QStringLiteral("history"));
        if (!started() || !QDir().mkpath(folder) || !PutFile(folder + "/" + kOlder, kOlderBytes)
            || !PutFile(folder + "/" + kNewer, kNewerBytes))
            return false;
        pms = &open(ViewKind::Pms);
        return QTest::qWaitForWindowActive(pms);
    }
    // The history dialog, shown, with the snapshot of file `name` chosen (a Read adds one).
    QListWidget* choose(const QString& name) const
    {
        Action(*pms, "itmHistory")->trigger();
        auto* list = pms->findChild<QListWidget*>(QStringLiteral("lstHistory"));
        if (!list || !QTest::qWaitFor([&] { return list->isVisible(); }, kWaitMs))
            return nullptr;
        for (int i = 0; i < list->count(); ++i)
            if (list->item(i)->text().endsWith(name))
                list->setCurrentRow(i);
        return list;
    }
    [[nodiscard]] QStringList row(ViewKind kind, int r) const
    {
        const RowCells cells = table(kind).row(r);
        return QStringList(cells.begin(), cells.end());
    }
};

}  // namespace

class FileMenuTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Export (refusing the view's own file, naming the comment without a channel), Clear, Import:
    // the same rows and mirror rows, and not one frame to the radio.
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
        const std::size_t frames = h.radio->frameLog().size();
        const int beeps = h.beeps;
        boxes.clear();
        h.trigger(pms, "itmImportCsv");
        QCOMPARE(boxes.texts(), QStringList{"Import 8 rows of pms.csv into PMS Memories? The channels at those locations are "
                                            "replaced; the others are kept."});
        QVERIFY(h.asked == QList<bool>({true, true, false}) && h.beeps == beeps + 1 && h.radio->frameLog().size() == frames);
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
        QCOMPARE(pms.statusBar()->currentMessage(), QStringLiteral("1 channel imported from in.csv"));
        QCOMPARE(boxes.texts().value(1),
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

    void readAndLoadKeepTheirSnapshots()
    {
        AppHarness h;
        MemoryView* v = OpenAndRead(h, ViewKind::Pms);
        QVERIFY(v);
        const QDir history(h.dir.filePath("history"));
        QCOMPARE(WithoutTimes(history.entryList(QDir::Files).join('|')), "Pms 000001 WHEN read.txt");
        QCOMPARE(FileBytes(history.filePath(history.entryList(QDir::Files)[0])), CrLfLines(kDemoPmsLines));
        // The file's P2 differs, and the radio ignores a store into P2.
        QStringList file = kDemoPmsLines;
        file[1] = "2010.00:LSB:2.4K:2.4K:A:OFF:OFF:0.00:OFF:edge";
        QVERIFY(PutFile(h.dir.filePath("Pms.txt"), CrLfLines(file)));
        sim::Faults dropping;
        dropping.dropStore = 101;
        h.radio->setFaults(dropping);
        MessageBoxHelper boxes;
        h.press(*v, "cmdLoad");
        QVERIFY(boxes.waitForCount(1) && h.idle() && boxes.count() == 1);  // the Load's own message, no other
        const QStringList names = history.entryList(QDir::Files, QDir::Name);
        QCOMPARE(WithoutTimes(names.join('|')), "Pms 000001 WHEN read.txt|Pms 000002 WHEN load differs P2.txt");
        QCOMPARE(FileBytes(history.filePath(names[1])), CrLfLines(file));
    }

    // The list, newest first; Compare names what the radio holds otherwise and leaves the table
    // alone; Open fills the rows without a frame to the radio, and Undo takes them back.
    void compareThenOpenThenUndo()
    {
        HistoryApp h;
        QVERIFY(h.ready());
        MessageBoxHelper boxes;
        QListWidget* list = h.choose(kOlder);
        QVERIFY(list && list->count() == 2);
        QVERIFY2(list->item(0)->text().startsWith("1  2026-12-10 05:12:03  load") && list->item(0)->text().endsWith(kNewer),
                 qPrintable(list->item(0)->text()));
        QVERIFY2(list->item(1)->text().startsWith("2  2026-12-09 21:00:00  read") && list->item(1)->text().endsWith(kOlder),
                 qPrintable(list->item(1)->text()));
        QTest::mouseClick(h.pms->findChild<QPushButton*>(QStringLiteral("cmdCompareSnapshot")), Qt::LeftButton);
        QVERIFY(QTest::qWaitFor([&] { return !boxes.seen().isEmpty() && h.idle(); }, kWaitMs));
        QCOMPARE(boxes.seen().constFirst().text, QStringLiteral("2 of 2 channels differ from the radio.\r"
                                                                "P1: frequency radio 1800.00, snapshot 1810.00\r"
                                                                "P2: mask radio off, snapshot on"));
        QVERIFY(h.table(ViewKind::Pms).markCount() == 0 && h.row(ViewKind::Pms, 1)[CellIndex(ColFreq)].isEmpty());
        const QStringList emptyP1 = h.row(ViewKind::Pms, 1);
        const qsizetype framesBefore = h.radio->frameLog().size();
        QTest::mouseClick(h.pms->findChild<QPushButton*>(QStringLiteral("cmdOpenSnapshot")), Qt::LeftButton);
        const QStringList p1{"1810.00  ", "CW (usb)", "500", "500", "A", "OFF", "OFF", "0.00", "OFF", "top band"};
        const QStringList p2{"2000.00* ", "LSB", "2.4K", "2.4K", "A", "OFF", "OFF", "0.00", "OFF", ""};
        QVERIFY(h.row(ViewKind::Pms, 1) == p1 && h.row(ViewKind::All, 100) == p1 && h.row(ViewKind::Pms, 2) == p2);
        QVERIFY(h.row(ViewKind::Pms, 3)[CellIndex(ColFreq)].isEmpty());
        QCOMPARE(h.radio->frameLog().size(), framesBefore);
        h.app->tableSteps().undo();
        QVERIFY(h.row(ViewKind::Pms, 1) == emptyP1 && h.row(ViewKind::All, 100) == emptyP1);
    }

    // Off by default; on, a Load first reads the channels it overwrites into a snapshot of their
    // own, then writes, and the Load's snapshot follows.
    void readBeforeLoadKeepsWhatTheRadioHeld()
    {
        HistoryApp h;
        QVERIFY(h.ready());
        QVERIFY(PutFile(h.dir.filePath("Pms.txt"), kOlderBytes));
        auto* readFirst = h.pms->findChild<QAction*>(QStringLiteral("actReadBeforeLoad"));
        QVERIFY(readFirst && readFirst->isCheckable() && !readFirst->isChecked());
        QVERIFY(!h.view(ViewKind::Qmb).findChild<QAction*>(QStringLiteral("actReadBeforeLoad")));
        readFirst->trigger();
        MessageBoxHelper boxes;
        const int before = h.beeps;
        h.press(*h.pms, "cmdLoad");
        QVERIFY(QTest::qWaitFor([&] { return h.beeps > before && h.idle(); }, kWaitMs));
        QVERIFY2(boxes.seen().isEmpty(), qPrintable(boxes.seen().value(0).text));
        const QStringList kept = QDir(h.dir.filePath("history")).entryList({"Pms 00000[34] *"}, QDir::Files, QDir::Name);
        QVERIFY2(kept.size() == 2 && kept[0].endsWith(" read.txt") && kept[1].endsWith(" load verified.txt"), qPrintable(kept.join(" | ")));
        const QList<QByteArray> held = FileBytes(h.dir.filePath("history/" + kept[0])).split('\n');
        QVERIFY2(held.value(0).startsWith("1800.00:CW (usb):500:500:") && held.value(1).startsWith("2000.00:LSB:"),
                 held.value(0).constData());
        QCOMPARE(h.row(ViewKind::Pms, 1)[CellIndex(ColFreq)], QStringLiteral("1810.00  "));
    }
};

QTEST_MAIN(FileMenuTest)
#include "file_menu_test.moc"
