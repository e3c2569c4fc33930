// SPDX-License-Identifier: GPL-3.0-or-later
// vardo-cli's history against vardo-sim: every read and restore leaves its snapshot with the
// rows it read or wrote and how it ended; a snapshot that cannot be written (a file in place of
// the folder, a read-only folder, a full disk) is told and takes nothing from the read; and
// restore --read-first followed by restore --from puts the radio back as it was, checked in the
// emulator's own memory, at the real line speed too.

#include <QtTest>

#include <unistd.h>

#include "filebytes.h"
#include "historyfiles.h"
#include "processrun.h"
#include "simimage.h"
#include "simprocess.h"

using namespace vardo::test;

namespace {

QString Cli() { return qEnvironmentVariable("VARDO_BIN") + "/vardo-cli"; }
ProcessRun RunCli(const QStringList& args) { return RunProcess(Cli(), args); }

// P1 as changed on the front panel: 14074.00 kHz USB.
const QString kPanelP1 = "0001579A800000011100000000000000";
const QString kPanelP1Line = "14074.00:USB:2.4K:2.4K:A:OFF:OFF:0.00:OFF:";
const QString kDemoP1 = "00002BF2000000023300000000000000";

QStringList With(QStringList lines, int row, const QString& line)
{
    lines[row - 1] = line;
    return lines;
}

QString Native(const QString& path) { return QDir::toNativeSeparators(path); }

}  // namespace

class TestHistoryCli : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_tmp;
    QString m_data;
    QString m_history;

    [[nodiscard]] QStringList snapshotNames() const { return QDir(m_history).entryList(QDir::Files, QDir::Name); }
    [[nodiscard]] QByteArray snapshot(const QString& name) const { return FileBytes(m_history + "/" + name); }

private slots:
    void init()
    {
        m_tmp = std::make_unique<QTemporaryDir>();
        m_data = m_tmp->filePath("data");
        m_history = m_data + "/history";
        QVERIFY(QDir().mkpath(m_data));
    }

    // A read keeps what it read (with the file's comments), a restore what it wrote and how
    // that ended; the listing shows them newest first.
    void eachOperationLeavesItsSnapshot()
    {
        SimProcess radio({"--fast", "--drop-store", "101"});
        const QStringList cli{"--port", radio.pty(), "--data-dir", m_data};
        QVERIFY(PutFile(m_data + "/Pms.txt", CrLfLines(With(kDemoPmsLines, 1, kDemoPmsLines[0] + "low edge"))));
        QCOMPARE(RunCli(cli + QStringList{"read", "pms"}).status, 0);
        const QStringList read = With(kDemoPmsLines, 1, kDemoPmsLines[0] + "low edge");
        QCOMPARE(WithoutTimes(snapshotNames().join('|')), "Pms 000001 WHEN read.txt");
        QCOMPARE(snapshot(snapshotNames()[0]), CrLfLines(read));

        // P2 changed in the file; the radio keeps its old P2.
        const QStringList changed = With(read, 2, "2010.00:LSB:2.4K:2.4K:A:OFF:OFF:0.00:OFF:");
        QVERIFY(PutFile(m_data + "/Pms.txt", CrLfLines(changed)));
        const auto restore = RunCli(cli + QStringList{"restore", "pms"});
        QCOMPARE(restore.status, 3);
        QCOMPARE(snapshot(snapshotNames()[1]), CrLfLines(changed));
        QCOMPARE(RunCli(cli + QStringList{"restore", "pms", "--no-verify"}).status, 0);
        QCOMPARE(snapshot(snapshotNames()[2]), CrLfLines(changed));

        const auto listing = RunCli({"--data-dir", m_data, "history", "pms"});
        QCOMPARE(listing.status, 0);
        QCOMPARE(listing.err, QString());
        QCOMPARE(WithoutTimes(listing.out),
                 "  1  WHEN  restore    9 channels  not read back  Pms 000003 WHEN restore not read back.txt\n"
                 "  2  WHEN  restore    9 channels  differs P2  Pms 000002 WHEN restore differs P2.txt\n"
                 "  3  WHEN  read       9 channels  -  Pms 000001 WHEN read.txt\n");
        const auto other = RunCli({"--data-dir", m_data, "history", "99"});
        QCOMPARE(other.out, "No snapshot of these channels in " + Native(m_history) + "\n");
    }

    // The Quick Memory Banks are never written: a restore of them leaves no snapshot.
    void nothingWrittenNothingKept()
    {
        QCOMPARE(RunCli({"--simulate", "--data-dir", m_data, "read", "qmb"}).status, 0);
        QCOMPARE(RunCli({"--simulate", "--data-dir", m_data, "restore", "qmb"}).status, 0);
        QCOMPARE(WithoutTimes(snapshotNames().join('|')), "Qmb 000001 WHEN read.txt");
    }

    void snapshotThatCannotBeWritten_data()
    {
        QTest::addColumn<QString>("setup");   // shell lines; H is the history folder
        QTest::addColumn<QString>("runner");  // what the program runs under
        QTest::addColumn<QString>("reason");  // the end of the message
        QTest::newRow("a file named history") << "echo mine > \"$H\"" << ""
                                              << "history\": it is a file, not a folder.";
        QTest::newRow("read-only folder") << "mkdir \"$H\"; chmod 555 \"$H\"; chmod 777 \"$D\" \"$T\""
                                          << (::getuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups" : "")
                                          << "read.txt\": Permission denied.";
        QTest::newRow("full disk") << "mkdir \"$H\"; mount -t tmpfs -o size=8k tmpfs \"$H\"; "
                                      "head -c 8192 /dev/zero > \"$H/filler\" 2>/dev/null || true"
                                   << "" << "read.txt\": No space left on device.";
    }
    // The read is saved and the command succeeds; the message says the snapshot was not kept.
    void snapshotThatCannotBeWritten()
    {
        QFETCH(QString, setup);
        QFETCH(QString, runner);
        QFETCH(QString, reason);
        const bool mounts = setup.contains("mount");
        if (mounts && RunProcess("unshare", {"-rm", "true"}).status != 0)
            QSKIP("no mount namespace here");
        const QString script = setup + "\n" + runner + " \"$CLI\" --simulate --data-dir \"$D\" read pms";
        const QStringList env{"H=" + m_history, "D=" + m_data, "T=" + m_tmp->path(), "CLI=" + Cli()};
        const auto run = mounts ? RunProcess("unshare", {"-rm", "sh", "-c", script}, env)
                                : RunProcess("sh", {"-c", script}, env);
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out, "9 channels saved to " + Native(m_data + "/Pms.txt") + "\n");
        QVERIFY2(run.err.startsWith("vardo-cli: No snapshot was kept in the history: Could not write \"" + Native(m_history)),
                 qPrintable(run.err));
        QVERIFY2(run.err.endsWith(reason + "\n") && run.err.count('\n') == 1, qPrintable(run.err));
        QCOMPARE(FileBytes(m_data + "/Pms.txt"), CrLfLines(kDemoPmsLines));
    }

    void restoreFromPutsTheEarlierStateBack_data()
    {
        QTest::addColumn<QStringList>("timing");
        QTest::newRow("real line speed") << QStringList{};
        QTest::newRow("fast") << QStringList{"--fast"};
    }
    // P1 changed on the front panel since the file was saved. restore --read-first keeps the
    // radio's channels before writing the file; restore --from puts them back.
    void restoreFromPutsTheEarlierStateBack()
    {
        QFETCH(QStringList, timing);
        const QString image = m_tmp->filePath("image.txt");
        QVERIFY(PutDemoImageWith(image, {{"P1", kPanelP1}}));
        QVERIFY(PutFile(m_data + "/Pms.txt", CrLfLines(kDemoPmsLines)));
        {
            SimProcess radio(timing + QStringList{"--memory", image, "--save-on-exit"});
            const QStringList cli{"--port", radio.pty(), "--data-dir", m_data};
            const auto restore = RunCli(cli + QStringList{"restore", "pms", "--read-first"});
            QCOMPARE(restore.err, QString());
            QCOMPARE(restore.status, 0);
            QCOMPARE(WithoutTimes(snapshotNames().join('|')), "Pms 000001 WHEN read.txt|Pms 000002 WHEN restore verified.txt");
            QCOMPARE(snapshot(snapshotNames()[0]), CrLfLines(With(kDemoPmsLines, 1, kPanelP1Line)));
            radio.stop();
        }
        QCOMPARE(Records(image).value("P1"), kDemoP1);
        {
            SimProcess radio(timing + QStringList{"--memory", image, "--save-on-exit"});
            const QStringList cli{"--port", radio.pty(), "--data-dir", m_data};
            const auto back = RunCli(cli + QStringList{"restore", "pms", "--from", "2"});
            QCOMPARE(back.err, QString());
            QCOMPARE(WithoutTimes(back.out),
                     "9 channels written into the radio from " + Native(m_history + "/Pms 000001 WHEN read.txt") + "\n");
            QCOMPARE(back.status, 0);
            const auto verify = RunCli(cli + QStringList{"verify", "pms", "--from", "1"});
            QCOMPARE(WithoutTimes(verify.out),
                     "9 channels match " + Native(m_history + "/Pms 000003 WHEN restore verified.txt") + "\n");
            QCOMPARE(verify.status, 0);
            radio.stop();
        }
        QCOMPARE(Records(image).value("P1"), kPanelP1);
        QCOMPARE(Records(image).value("P9"), "0000F695000000023300000000000000");
    }

    // Asked before the radio is touched, so --simulate suffices.
    void badRequests_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("err");
        QTest::addColumn<int>("status");
        const QString number = "vardo-cli: --from takes a snapshot number from 1, as vardo-cli history VIEW lists them "
                               "(try --help)\n";
        QTest::newRow("no such snapshot") << QStringList{"restore", "pms", "--from", "2"}
                                          << "vardo-cli: There is no snapshot 2 of these channels: the history holds 1 "
                                             "(1 is the newest).\n"
                                          << 1;
        QTest::newRow("none of the view") << QStringList{"verify", "all", "--from", "1"}
                                          << "vardo-cli: There is no snapshot of these channels in \"HISTORY\".\n" << 1;
        QTest::newRow("zero") << QStringList{"restore", "pms", "--from", "0"} << number << 2;
        QTest::newRow("not a number") << QStringList{"restore", "pms", "--from", "newest"} << number << 2;
        QTest::newRow("from for a read") << QStringList{"read", "pms", "--from", "1"}
                                         << "vardo-cli: --from is only for restore and verify (try --help)\n" << 2;
        QTest::newRow("read-first for verify") << QStringList{"verify", "pms", "--read-first"}
                                               << "vardo-cli: --read-first is only for restore (try --help)\n" << 2;
        QTest::newRow("history without a view") << QStringList{"history"}
                                                << "vardo-cli: history needs one VIEW: all, 99, pms or qmb (try --help)\n"
                                                << 2;
    }
    void badRequests()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, err);
        QCOMPARE(RunCli({"--simulate", "--data-dir", m_data, "read", "pms"}).status, 0);
        const auto run = RunCli(QStringList{"--simulate", "--data-dir", m_data} + args);
        QCOMPARE(run.err, err.replace("HISTORY", Native(m_history)));
        QTEST(run.status, "status");
    }
};

QTEST_GUILESS_MAIN(TestHistoryCli)
#include "history_cli_test.moc"
