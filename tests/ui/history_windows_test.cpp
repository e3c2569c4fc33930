// SPDX-License-Identifier: GPL-3.0-or-later
// The windows' part of the history: a Read keeps what it read, a Load what it wrote and how
// that ended, and a snapshot that cannot be written is told while the Read stands.

#include <QtTest>

#include "app_harness.h"
#include "filebytes.h"
#include "historyfiles.h"

using namespace vardo;
using namespace vardo::test;

class HistoryWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void readAndLoadKeepTheirSnapshots()
    {
        AppHarness h;
        QVERIFY(h.started());
        MemoryView& v = h.open(ViewKind::Pms);
        QVERIFY(h.read(v));
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
        h.press(v, "cmdLoad");
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
};

QTEST_MAIN(HistoryWindowsTest)
#include "history_windows_test.moc"
