// SPDX-License-Identifier: GPL-3.0-or-later
// The history's rules on disk: which names are snapshots, the order by sequence and never by
// the clock, at most 200 per view with only the oldest of that view removed, a snapshot that
// cannot be written told without touching anything, and what a write's snapshot holds.

#include <QtTest>

#include "filebytes.h"
#include "history.h"

using namespace vardo;
using namespace vardo::test;

Q_DECLARE_METATYPE(vardo::WriteEnd)

namespace {

const QString kP1 = QStringLiteral("1800.00:CW (usb):500:500:A:OFF:OFF:0.00:OFF:edge");
const QString kP2 = QStringLiteral("2000.00:LSB:2.4K:2.4K:A:OFF:OFF:0.00:OFF:");

// A PMS file of these lines and then empty rows to its nine.
QByteArray PmsFile(const QStringList& lines)
{
    QByteArray bytes;
    for (int i = 0; i < 9; ++i)
        bytes += lines.value(i, ":::::::::").toLatin1() + "\r\n";
    return bytes;
}

QDateTime At(const char* text) { return QDateTime::fromString(QString::fromLatin1(text), Qt::ISODate); }

}  // namespace

class TestHistory : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_tmp;
    QString m_history;

    void put(const QString& name, const QByteArray& bytes = "x") { QVERIFY(PutFile(m_history + "/" + name, bytes)); }

private slots:
    void init()
    {
        m_tmp = std::make_unique<QTemporaryDir>();
        m_history = m_tmp->filePath("history");
        QVERIFY(QDir().mkpath(m_history));
    }

    // Only names the program gives its snapshots are ever listed, restored or removed.
    void names_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("read");  // view, sequence, operation, result; empty: not a snapshot
        QTest::newRow("read") << "AllMem 000123 2026-12-10 05-12-03 read.txt" << "0|123|read|";
        QTest::newRow("restore with channels") << "99Mem 000007 2026-01-31 23-59-59 restore differs 42, Q3.txt"
                                               << "1|7|restore|differs 42, Q3";
        QTest::newRow("seven digits") << "Qmb 1000000 2026-12-10 05-12-03 load verified.txt" << "3|1000000|load|verified";
        QTest::newRow("the saved file") << "Pms.txt" << "";
        QTest::newRow("another operation") << "Pms 000001 2026-12-10 05-12-03 write.txt" << "";
        QTest::newRow("another view") << "Vfo 000001 2026-12-10 05-12-03 read.txt" << "";
        QTest::newRow("no such day") << "Pms 000001 2026-02-30 05-12-03 read.txt" << "";
        QTest::newRow("a save's scratch file") << "Pms 000001 2026-12-10 05-12-03 read.txt.vardo-partial" << "";
    }
    void names()
    {
        QFETCH(QString, name);
        const std::optional<Snapshot> s = SnapshotFromFileName(name);
        QTEST(s ? QStringLiteral("%1|%2|%3|%4").arg(int(s->view)).arg(s->sequence).arg(OperationName(s->operation), s->result)
                : QString(), "read");
        if (s)
            QCOMPARE(SnapshotFileName(s->view, s->sequence, s->taken, s->operation, s->result), name);
    }

    void writeResults_data()
    {
        QTest::addColumn<WriteEnd>("outcome");  // ok, cancelled, every, read back, channels differing
        QTest::addColumn<QString>("result");
        const auto differing = [](int count) {
            QList<ChannelMismatch> mismatches;
            for (int c = 1; c <= count; ++c)
                mismatches << ChannelMismatch{c, {}};
            return mismatches;
        };
        QTest::newRow("verified") << WriteEnd{true, false, true, true, {}} << "verified";
        QTest::newRow("no read-back") << WriteEnd{true, false, true, false, {}} << "not read back";
        QTest::newRow("two differ") << WriteEnd{false, false, true, true, differing(2)} << "differs 1, 2";
        QTest::newRow("stopped") << WriteEnd{false, true, false, true, {}} << "stopped";
        QTest::newRow("link lost after a difference") << WriteEnd{false, false, false, true, differing(1)} << "failed";
        QTest::newRow("22 differ") << WriteEnd{false, false, true, true, differing(22)}
                                   << "differs 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20 and 2 more";
    }
    void writeResults()
    {
        QFETCH(WriteEnd, outcome);
        QTEST(WriteResult(outcome), "result");
    }

    void keepsTheRowsUnderTheNextNumber()
    {
        put("AllMem 000041 2026-12-10 05-00-00 read.txt");
        put("notes.txt");
        std::vector<RowCells> rows(9);
        rows[0] = {"1800.00  ", "CW (usb)", "500", "500", "A", "OFF", "OFF", "0.00", "OFF", "edge"};
        const KeptSnapshot kept = KeepSnapshot(m_tmp->path(), ViewKind::Pms, SnapshotOperation::Load,
                                               SavedFileBytes(ViewKind::Pms, rows), "verified", At("2026-12-10T06:07:08"));
        QCOMPARE(kept.problems, QStringList());
        QCOMPARE(kept.path, m_history + "/Pms 000042 2026-12-10 06-07-08 load verified.txt");
        QCOMPARE(FileBytes(kept.path), PmsFile({kP1}));
    }

    // The clock runs backwards here; the numbers decide. The 201st snapshot of the view removes
    // its lowest number alone: not another view's, not a file the program did not name.
    void the201stRemovesOnlyTheOldestOfItsView()
    {
        for (int n = 1; n <= 200; ++n)
            put(SnapshotFileName(ViewKind::Pms, n + 10, At("2026-12-10T12:00:00").addSecs(-n), SnapshotOperation::Read, {}));
        put("99Mem 000001 2020-01-01 00-00-00 read.txt");
        put("Pms 000003 2026-12-10 05-00-00 read.txt.vardo-partial");
        put("Pms.txt");
        QStringList before = FileListing(m_history);
        const KeptSnapshot kept = KeepSnapshot(m_tmp->path(), ViewKind::Pms, SnapshotOperation::Read, "new", {},
                                               At("2026-12-10T00:00:00"));
        QCOMPARE(kept.problems, QStringList());
        QVERIFY(before.removeOne("Pms 000011 2026-12-10 11-59-59 read.txt"));
        before << "Pms 000211 2026-12-10 00-00-00 read.txt";
        before.sort();
        QCOMPARE(FileListing(m_history), before);

        const std::vector<Snapshot> listed = ListSnapshots(m_tmp->path(), ViewKind::Pms);
        QCOMPARE(listed.size(), std::size_t(200));
        QCOMPARE(listed.front().fileName, "Pms 000211 2026-12-10 00-00-00 read.txt");
        QCOMPARE(listed.back().fileName, "Pms 000012 2026-12-10 11-59-58 read.txt");
    }

    // Nothing is written over another thing of the very name, nor counted from a scratch file.
    void neverOverAnotherFile()
    {
        put("Qmb 000005 2026-12-10 05-00-00 read.txt", "older");
        put("Qmb 000009 2026-12-10 05-00-00 read.txt.vardo-partial", "kept");
        QVERIFY(QDir(m_history).mkdir("Qmb 000006 2026-12-10 05-00-00 read.txt"));
        const KeptSnapshot kept = KeepSnapshot(m_tmp->path(), ViewKind::Qmb, SnapshotOperation::Read, "new", {},
                                               At("2026-12-10T05:00:00"));
        QCOMPARE(kept.path, m_history + "/Qmb 000007 2026-12-10 05-00-00 read.txt");
        QCOMPARE(FileBytes(kept.path), QByteArray("new"));
        QCOMPARE(FileBytes(m_history + "/Qmb 000005 2026-12-10 05-00-00 read.txt"), QByteArray("older"));
    }

    // A file named "history" where the folder belongs: nothing is written, the file stays, and
    // the problem names it.
    void aFileInPlaceOfTheFolder()
    {
        QVERIFY(QDir(m_history).removeRecursively());
        QVERIFY(PutFile(m_history, "mine"));
        const KeptSnapshot kept = KeepSnapshot(m_tmp->path(), ViewKind::All, SnapshotOperation::Read, "new", {},
                                               At("2026-12-10T05:00:00"));
        QCOMPARE(kept.path, QString());
        QCOMPARE(kept.problems, QStringList{"No snapshot was kept in the history: Could not write \"" + m_history
                                            + "\": it is a file, not a folder."});
        QCOMPARE(FileBytes(m_history), QByteArray("mine"));
    }

    // A write's snapshot holds what the radio was given: the channels written, in their rows;
    // a row not written (stopped before, blank, a Quick Memory Bank) keeps only its comment.
    void writtenRows_data()
    {
        QTest::addColumn<int>("written");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("both") << 2 << QStringList{kP1, kP2, ":::::::::blank"};
        QTest::newRow("stopped after one") << 1 << QStringList{kP1, ":::::::::", ":::::::::blank"};
    }
    void writtenRows()
    {
        QFETCH(int, written);
        const QString blank = "0.00:LSB:2.4K:2.4K:A:OFF:OFF:0.00:OFF:blank";
        QVERIFY(PutFile(m_tmp->filePath("Pms.txt"), PmsFile({kP1, kP2, blank})));
        const LoadResult loaded = LoadSavedFile(m_tmp->path(), ViewKind::Pms);
        QVERIFY(loaded.ok());
        const RestorePlan plan = PlanRestore(ViewKind::Pms, loaded.rows);
        QFETCH(QStringList, lines);
        QCOMPARE(SavedFileBytes(ViewKind::Pms, WrittenRows(ViewKind::Pms, plan, written)), PmsFile(lines));
    }

    void listingAndNumbers()
    {
        put("Pms 000002 2026-12-10 05-12-03 restore differs P2.txt", PmsFile({kP1, kP2}));
        put("Pms 000001 2026-12-10 05-12-09 read.txt", PmsFile({kP1}));
        put("Pms 000003 2026-12-10 05-12-01 load failed.txt", QByteArray("1800.00:LSB\r\n"));
        const std::vector<Snapshot> s = ListSnapshots(m_tmp->path(), ViewKind::Pms);
        QCOMPARE(s.size(), std::size_t(3));
        QCOMPARE(HistoryLine(1, s[0], std::nullopt),
                 "  1  2026-12-10 05:12:01  load       unreadable  failed  Pms 000003 2026-12-10 05-12-01 load failed.txt");
        QCOMPARE(HistoryLine(2, s[1], SnapshotChannelCount(PmsFile({kP1, kP2}), ViewKind::Pms)),
                 "  2  2026-12-10 05:12:03  restore    2 channels  differs P2  Pms 000002 2026-12-10 05-12-03 restore "
                 "differs P2.txt");
        QCOMPARE(HistoryLine(3, s[2], 1), "  3  2026-12-10 05:12:09  read        1 channel  -  Pms 000001 2026-12-10 "
                                          "05-12-09 read.txt");
        QCOMPARE(SnapshotChannelCount("1800.00:LSB\r\n", ViewKind::Pms), std::nullopt);

        const LoadedSnapshot second = LoadSnapshot(m_tmp->path(), ViewKind::Pms, 2);
        QCOMPARE(second.path, m_history + "/Pms 000002 2026-12-10 05-12-03 restore differs P2.txt");
        QCOMPARE(second.load.rows[1]->channel.Freq, 2000.0f);
    }
};

QTEST_GUILESS_MAIN(TestHistory)
#include "history_test.moc"
