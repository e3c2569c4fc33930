// SPDX-License-Identifier: GPL-3.0-or-later
// The history in the windows: a Read keeps what it read, a Load what it wrote and how that
// ended, and a snapshot that cannot be written is told while the Read stands. File > History
// of a view: its snapshots newest first; Open puts the chosen one into the view's rows (mirror
// rows too) as a step Undo takes back, and writes nothing to the radio; Compare with Radio
// names each channel the radio holds otherwise and leaves the table alone.

#include <QListWidget>

#include "filebytes.h"
#include "historyfiles.h"
#include "messageboxhelper.h"
#include "tablesteps.h"
#include "ui_steps.h"

using namespace vardo;
using namespace vardo::test;

namespace {

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

class HistoryMenuTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
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
        QVERIFY(boxes.waitForCount(1) && h.idle());
        const QStringList names = history.entryList(QDir::Files, QDir::Name);
        QCOMPARE(WithoutTimes(names.join('|')), "Pms 000001 WHEN read.txt|Pms 000002 WHEN load differs P2.txt");
        QCOMPARE(FileBytes(history.filePath(names[1])), CrLfLines(file));
        QCOMPARE(boxes.count(), 1);  // the Load's own message, no other
    }

    // A file named "history" where the folder belongs: the Read fills the table, beeps, and the
    // message says the snapshot was not kept.
    void aSnapshotThatCannotBeWrittenIsTold()
    {
        AppHarness h;
        QVERIFY(PutFile(h.dir.filePath("history"), "mine"));
        QVERIFY(h.started());
        MemoryView& v = h.open(ViewKind::Pms);
        MessageBoxHelper boxes;
        QVERIFY(h.read(v));
        QCOMPARE(boxes.texts(), QStringList{"No snapshot was kept in the history: Could not write \""
                                            + QDir::toNativeSeparators(h.dir.filePath("history"))
                                            + "\": it is a file, not a folder."});
        QCOMPARE(DataRows(h.table(ViewKind::Pms)), "1-9");
        QCOMPARE(FileBytes(h.dir.filePath("history")), QByteArray("mine"));
    }

    void openFillsTheRowsAndUndoTakesThemBack()
    {
        HistoryApp h;
        QVERIFY(h.ready());
        QVERIFY(h.read(*h.pms));
        const QStringList readP1 = h.row(ViewKind::Pms, 1);
        const qsizetype framesBefore = h.radio->frameLog().size();
        QVERIFY(h.choose(kOlder));
        QTest::mouseClick(h.pms->findChild<QPushButton*>(QStringLiteral("cmdOpenSnapshot")), Qt::LeftButton);
        const QStringList p1{"1810.00  ", "CW (usb)", "500", "500", "A", "OFF", "OFF", "0.00", "OFF", "top band"};
        const QStringList p2{"2000.00* ", "LSB", "2.4K", "2.4K", "A", "OFF", "OFF", "0.00", "OFF", ""};
        QCOMPARE(h.row(ViewKind::Pms, 1), p1);
        QCOMPARE(h.row(ViewKind::All, 100), p1);
        QCOMPARE(h.row(ViewKind::Pms, 2), p2);
        QCOMPARE(h.row(ViewKind::Pms, 3)[CellIndex(ColFreq)], QString());
        QCOMPARE(h.radio->frameLog().size(), framesBefore);  // nothing went to the radio
        h.app->tableSteps().undo();
        QCOMPARE(h.row(ViewKind::Pms, 1), readP1);
        QCOMPARE(h.row(ViewKind::All, 100), readP1);
    }

    void compareNamesWhatTheRadioHoldsOtherwise()
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
        QCOMPARE(h.table(ViewKind::Pms).markCount(), 0);
        QCOMPARE(h.row(ViewKind::Pms, 1)[CellIndex(ColFreq)], QString());  // the table was not touched
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
        QCOMPARE(kept.size(), 2);
        QVERIFY2(kept[0].endsWith(" read.txt") && kept[1].endsWith(" load verified.txt"), qPrintable(kept.join(" | ")));
        const QList<QByteArray> held = FileBytes(h.dir.filePath("history/" + kept[0])).split('\n');
        QVERIFY2(held.value(0).startsWith("1800.00:CW (usb):500:500:") && held.value(1).startsWith("2000.00:LSB:"),
                 held.value(0).constData());
        QCOMPARE(h.row(ViewKind::Pms, 1)[CellIndex(ColFreq)], QStringLiteral("1810.00  "));
    }
};

QTEST_MAIN(HistoryMenuTest)
#include "history_menu_test.moc"
