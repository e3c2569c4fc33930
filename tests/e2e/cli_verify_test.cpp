// SPDX-License-Identifier: GPL-3.0-or-later
// vardo-cli's promise that a restore is what the radio holds, against vardo-sim on a
// pseudo-terminal: its end, its read-back, verify, the history's snapshots and restore --from;
// its usage errors, and each program's manual page against its --help.

#include <QRegularExpression>
#include <QtTest>

#include <unistd.h>

#include "filebytes.h"
#include "historyfiles.h"
#include "processrun.h"
#include "simimage.h"
#include "simprocess.h"

using namespace vardo::test;

namespace {

const QString kCli = qEnvironmentVariable("VARDO_BIN") + "/vardo-cli";
ProcessRun RunCli(const QStringList& args) { return RunProcess(kCli, args); }

// P1 as changed on the front panel: 14074.00 kHz USB, as the demo's channel 6 (kDemo6).
const QString kPanelP1Line = "14074.00:USB:2.4K:2.4K:A:OFF:OFF:0.00:OFF:";
const QString kDemoP1 = "00002BF2000000023300000000000000";

QStringList With(QStringList lines, int row, const QString& line) { lines[row - 1] = line; return lines; }

QString Native(const QString& path) { return QDir::toNativeSeparators(path); }
bool IsMemoryRequest(const QString& frame) { return frame.endsWith("04 10"); }

// The saved file of the emulator's demo memory, read through the in-process emulator.
bool SaveDemoFile(const QString& dir, const QString& view)
{
    return RunCli({"--simulate", "--data-dir", dir, "read", view}).status == 0;
}

// Gives field `field` (0 the frequency, 1 the mode .. 7 the offset) of line `row` another value.
bool ChangeField(const QString& path, int row, int field, const QString& value)
{
    QList<QByteArray> lines = FileBytes(path).split('\n');
    QList<QByteArray> fields = lines[row - 1].split(':');
    fields[field] = value.toLatin1();
    lines[row - 1] = fields.join(':');
    return PutFile(path, lines.join('\n'));
}

// Demo records as the emulator holds them, and as it holds them changed.
const QString kDemo6 = "0001579A800000011100000000000000";     // 14074.00 kHz USB
const QString kDemo28 = "00003D09000000030000000000000000";    // 2500.00 kHz AM (env)
const QString kMaskedQ3 = "80005A55000000001100000000000000";  // 3700.00 kHz LSB, masked
const QString kAntB1 = "00002CEC000000011110000000000000";     // channel 1 on antenna B

// The options a text names, "-h" or "--data-dir" at the start of a word, sorted.
QStringList Options(const QString& text)
{
    static const QRegularExpression option(QStringLiteral(R"((?:^|[\s,\[(])(--?[a-z][a-z0-9-]*))"));
    QStringList found;
    for (auto it = option.globalMatch(text); it.hasNext();)
        found << it.next().captured(1);
    found.sort();
    found.removeDuplicates();
    return found;
}

}  // namespace

class TestCliVerify : public QObject {
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

    // At the line's own pace the port takes the whole restore long before the radio has it: the
    // emulator, stopped the moment the program ends, has logged VFO-A set back last. Without the
    // read-back the commands are the same, less the memory requests, and a read right after works.
    void restoreEndsWhenTheRadioHasIt()
    {
        QVERIFY(SaveDemoFile(m_data, "pms"));
        const QByteArray saved = FileBytes(m_data + "/Pms.txt");
        QStringList verified;
        for (const QStringList& options : {QStringList{}, QStringList{"--pacing", "0"}, QStringList{"--no-verify"}}) {
            SimProcess radio({"--log"});
            const QStringList port{"--port", radio.pty(), "--data-dir", m_data};
            QCOMPARE(RunCli(port + QStringList{"restore", "pms"} + options).status, 0);
            const bool plain = options.contains("--no-verify");
            if (plain) {
                QCOMPARE(RunCli(port + QStringList{"read", "pms"}).status, 0);
                QCOMPARE(FileBytes(m_data + "/Pms.txt"), saved);
            }
            radio.stop();
            QStringList frames = radio.unreadLines();
            frames.removeAll(radio.pty());
            if (plain)  // up to the read's search
                frames = frames.mid(0, frames.lastIndexOf("00 00 00 05 0E"));
            QCOMPARE(frames.count("00 00 00 02 10"), 1);
            QCOMPARE(frames.last(), QStringLiteral("00 00 00 00 84"));
            QCOMPARE(std::count_if(frames.begin(), frames.end(), IsMemoryRequest), plain ? 0 : 9);
            frames.removeIf(IsMemoryRequest);
            if (verified.isEmpty())
                verified = frames;
            QCOMPARE(frames.mid(1), verified.mid(1));  // after the pacing asked for at the search
        }
    }

    // A radio that silently keeps channel 42, and offsets no command can send (6 in USB, 28 in AM):
    // the restore leaves 6 and 28 as they were and names 42; verify names all three.
    void restoreNamesWhatTheRadioDoesNotHold()
    {
        QVERIFY(SaveDemoFile(m_data, "99"));
        const QString file = m_data + "/99Mem.txt";
        QVERIFY(ChangeField(file, 6, 0, "14080.00") && ChangeField(file, 6, 7, "+12.50"));
        QVERIFY(ChangeField(file, 28, 1, "AM (sync)") && ChangeField(file, 28, 7, "+12.50"));
        QVERIFY(ChangeField(file, 5, 0, "14074.00") && ChangeField(file, 42, 0, "14074.00"));
        const QString image = m_tmp->filePath("image.txt");
        QVERIFY(PutDemoImageWith(image, {}));
        SimProcess radio({"--fast", "--drop-store", "42", "--memory", image, "--save-on-exit"});
        const QStringList port{"--port", radio.pty(), "--data-dir", m_data};
        const auto restore = RunCli(port + QStringList{"restore", "99"});
        // The demo's channels 78-99 are blank.
        QCOMPARE(restore.out, "75 channels written into the radio from " + Native(file) + "\n");
        const QString line42 = "42: frequency radio 3560.50, file 14074.00\n";
        QCOMPARE(restore.err, "vardo-cli: the radio does not hold 1 of them as written:\n" + line42
                                  + "vardo-cli: 24 channels were not written (the radio keeps what they held):\n"
                                    "6, 28: offset +12.50 cannot be sent to the radio\n"
                                    "78, 79, 80, 81, 82, 83, 84, 85, 86, 87, 88, 89, 90, 91, 92, 93, 94, 95, 96, 97, "
                                    "98, 99: frequency 0.00 cannot be sent to the radio\n");
        QCOMPARE(restore.status, 3);
        const auto verify = RunCli(port + QStringList{"verify", "99"});
        QVERIFY2(verify.out.startsWith("6: frequency radio 14074.00, file 14080.00; offset")
                     && verify.out.contains("\n28: mode radio AM (env), file AM (sync); offset") && verify.out.endsWith("\n" + line42),
                 qPrintable(verify.out));
        // A written channel takes VFO-A's antenna: 8 of the file's are another.
        QCOMPARE(verify.err, "vardo-cli: 3 of 99 channels differ from " + Native(file) + "\nvardo-cli: 8 channels hold "
                             "another antenna than the file (no command can set the antenna)\n");
        QCOMPARE(verify.status, 3);
        QCOMPARE(radio.stop(), 0);
        const QMap<QString, QString> held = Records(image);
        QCOMPARE(held.value("6"), kDemo6);
        QCOMPARE(held.value("28"), kDemo28);
        QCOMPARE(held.value("5"), kDemo6);  // written: 14074.00 USB, as channel 6 holds it
    }

    void verifyTellsTheWholeTruth_data()
    {
        QTest::addColumn<QString>("view");
        QTest::addColumn<QStringList>("read");    // records of the radio read: "name=hex"
        QTest::addColumn<QStringList>("verify");  // records of the radio verified
        QTest::addColumn<QString>("out");         // FILE stands for the saved file
        QTest::addColumn<QString>("err");
        QTest::addColumn<int>("status");
        const QString q3 = "Q3=" + kMaskedQ3;
        QTest::newRow("qmb: a masked channel, whose file holds no mask")
            << "qmb" << QStringList{q3} << QStringList{q3} << "5 channels match FILE\n" << "" << 0;
        QTest::newRow("99: the antenna alone changes no status")
            << "99" << QStringList{} << QStringList{"1=" + kAntB1} << "99 channels match FILE\n"
            << "vardo-cli: 1 channel holds another antenna than the file (no command can set the antenna)\n" << 0;
    }
    // Verify names every difference a restore would mend on standard output, and the antennas,
    // which no command sets, apart on standard error. The QMB file never holds the mask.
    void verifyTellsTheWholeTruth()
    {
        QFETCH(QString, view);
        QFETCH(QStringList, read);
        QFETCH(QStringList, verify);
        QFETCH(QString, out);
        QFETCH(QString, err);
        ProcessRun run;
        for (const auto& [command, records] : {std::pair{"read", read}, std::pair{"verify", verify}}) {
            QMap<QString, QString> replaced;
            for (const QString& r : records)
                replaced[r.section('=', 0, 0)] = r.section('=', 1);
            const QString image = m_tmp->filePath(command);
            QVERIFY(PutDemoImageWith(image, replaced));
            SimProcess radio({"--fast", "--memory", image});
            run = RunCli({"--port", radio.pty(), "--data-dir", m_data, command, view});
            QVERIFY(run.status == 0 || command != std::string_view("read"));
        }
        const QString file = Native(QDir(m_data).filePath(view == "99" ? "99Mem.txt" : "Qmb.txt"));
        QCOMPARE(run.out, out.replace("FILE", file));
        QCOMPARE(run.err, err.replace("FILE", file));
        QTEST(run.status, "status");
    }

    // A read keeps what it read (with the file's comments), a restore what it wrote and how
    // that ended; the listing shows them newest first.
    void eachOperationLeavesItsSnapshot()
    {
        SimProcess radio({"--fast", "--drop-store", "101"});
        const QStringList cli{"--port", radio.pty(), "--data-dir", m_data};
        const QStringList read = With(kDemoPmsLines, 1, kDemoPmsLines[0] + "low edge");
        QVERIFY(PutFile(m_data + "/Pms.txt", CrLfLines(read)));
        QCOMPARE(RunCli(cli + QStringList{"read", "pms"}).status, 0);
        QCOMPARE(snapshot(snapshotNames()[0]), CrLfLines(read));

        // P2 changed in the file; the radio keeps its old P2.
        const QStringList changed = With(read, 2, "2010.00:LSB:2.4K:2.4K:A:OFF:OFF:0.00:OFF:");
        QVERIFY(PutFile(m_data + "/Pms.txt", CrLfLines(changed)));
        QCOMPARE(RunCli(cli + QStringList{"restore", "pms"}).status, 3);
        QCOMPARE(RunCli(cli + QStringList{"restore", "pms", "--no-verify"}).status, 0);
        QCOMPARE(snapshot(snapshotNames()[1]) + snapshot(snapshotNames()[2]), CrLfLines(changed).repeated(2));

        QCOMPARE(WithoutTimes(RunCli({"--data-dir", m_data, "history", "pms"}).out),
                 "  1  WHEN  restore    9 channels  not read back  Pms 000003 WHEN restore not read back.txt\n"
                 "  2  WHEN  restore    9 channels  differs P2  Pms 000002 WHEN restore differs P2.txt\n"
                 "  3  WHEN  read       9 channels  -  Pms 000001 WHEN read.txt\n");
        QCOMPARE(RunCli({"--data-dir", m_data, "history", "99"}).out,
                 "No snapshot of these channels in " + Native(m_history) + "\n");
        // The Quick Memory Banks are never written: a restore of them leaves no snapshot.
        QVERIFY(RunCli(cli + QStringList{"read", "qmb"}).status == 0 && RunCli(cli + QStringList{"restore", "qmb"}).status == 0);
        const QStringList qmb = snapshotNames().filter("Qmb ");
        QVERIFY2(qmb.size() == 1 && qmb[0].endsWith(" read.txt"), qPrintable(qmb.join('|')));
    }

    void snapshotThatCannotBeWritten_data()
    {
        QTest::addColumn<QString>("setup");   // shell lines; H is the history folder
        QTest::addColumn<QString>("runner");  // what the program runs under
        QTest::addColumn<QString>("reason");  // the end of the message
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
        const QStringList env{"H=" + m_history, "D=" + m_data, "T=" + m_tmp->path(), "CLI=" + kCli};
        const auto run = mounts ? RunProcess("unshare", {"-rm", "sh", "-c", script}, env)
                                : RunProcess("sh", {"-c", script}, env);
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out, "9 channels saved to " + Native(m_data + "/Pms.txt") + "\n");
        QVERIFY2(run.err.startsWith("vardo-cli: No snapshot was kept in the history: Could not write \"" + Native(m_history)),
                 qPrintable(run.err));
        QVERIFY2(run.err.endsWith(reason + "\n") && run.err.count('\n') == 1, qPrintable(run.err));
        QCOMPARE(FileBytes(m_data + "/Pms.txt"), CrLfLines(kDemoPmsLines));
    }

    // P1 changed on the front panel, at the real line speed: restore --read-first keeps the radio's
    // channels before writing the file; restore --from puts them back, as the emulator's memory shows.
    void restoreFromPutsTheEarlierStateBack()
    {
        const QString image = m_tmp->filePath("image.txt");
        QVERIFY(PutDemoImageWith(image, {{"P1", kDemo6}}));
        QVERIFY(PutFile(m_data + "/Pms.txt", CrLfLines(kDemoPmsLines)));
        const auto onRadio = [&](const QList<QStringList>& commands) {
            SimProcess radio({"--memory", image, "--save-on-exit"});
            QList<ProcessRun> runs;
            for (const QStringList& command : commands)
                runs << RunCli(QStringList{"--port", radio.pty(), "--data-dir", m_data} + command);
            radio.stop();
            return runs;
        };
        const auto restore = onRadio({{"restore", "pms", "--read-first"}})[0];
        QCOMPARE(restore.err, QString());
        QCOMPARE(restore.status, 0);
        QCOMPARE(WithoutTimes(snapshotNames().join('|')), "Pms 000001 WHEN read.txt|Pms 000002 WHEN restore verified.txt");
        QCOMPARE(snapshot(snapshotNames()[0]), CrLfLines(With(kDemoPmsLines, 1, kPanelP1Line)));
        QCOMPARE(Records(image).value("P1"), kDemoP1);

        const auto back = onRadio({{"restore", "pms", "--from", "2"}, {"verify", "pms", "--from", "1"}});
        QCOMPARE(back[0].err, QString());
        QCOMPARE(WithoutTimes(back[0].out),
                 "9 channels written into the radio from " + Native(m_history + "/Pms 000001 WHEN read.txt") + "\n");
        QCOMPARE(back[0].status, 0);
        QCOMPARE(WithoutTimes(back[1].out),
                 "9 channels match " + Native(m_history + "/Pms 000003 WHEN restore verified.txt") + "\n");
        QCOMPARE(back[1].status, 0);
        QCOMPARE(Records(image).value("P1"), kDemo6);
        QCOMPARE(Records(image).value("P9"), "0000F695000000023300000000000000");
    }

    // Usage errors and a missing snapshot, asked before the radio is touched, so --simulate suffices.
    void badRequests_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("err");  // a usage error, "(try --help)", ends with status 2, the others with 1
        const auto row = [](const char* name, const QStringList& args, const QString& err) { QTest::newRow(name) << args << err; };
        row("no such snapshot", {"restore", "pms", "--from", "2"},
            "vardo-cli: There is no snapshot 2 of these channels: the history holds 1 (1 is the newest).\n");
        row("none of the view", {"verify", "all", "--from", "1"}, "vardo-cli: There is no snapshot of these channels in \"HISTORY\".\n");
        row("not a number", {"restore", "pms", "--from", "newest"},
            "vardo-cli: --from takes a snapshot number from 1, as vardo-cli history VIEW lists them (try --help)\n");
        row("from for a read", {"read", "pms", "--from", "1"}, "vardo-cli: --from is only for restore and verify (try --help)\n");
        row("pacing too long", {"--pacing", "256", "probe"}, "vardo-cli: --pacing takes a number of milliseconds from 0 to 255 (try --help)\n");
        row("no-verify for a read", {"read", "all", "--no-verify"}, "vardo-cli: --no-verify is only for restore (try --help)\n");
    }
    void badRequests()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, err);
        QCOMPARE(RunCli({"--simulate", "--data-dir", m_data, "read", "pms"}).status, 0);
        const auto run = RunCli(QStringList{"--simulate", "--data-dir", m_data} + args);
        QCOMPARE(run.err, err.replace("HISTORY", Native(m_history)));
        QCOMPARE(run.status, err.endsWith("(try --help)\n") ? 2 : 1);
    }

    void pageNamesTheOptionsOfHelp_data()
    {
        QTest::addColumn<QString>("program");
        for (const char* program : {"vardo", "vardo-cli", "vardo-sim"})
            QTest::newRow(program) << program;
    }
    void pageNamesTheOptionsOfHelp()
    {
        QFETCH(QString, program);
        const ProcessRun help = RunProcess(qEnvironmentVariable("VARDO_BIN") + "/" + program, {"--help"});
        QCOMPARE(help.status, 0);
        QVERIFY2(help.out.contains("--help"), qPrintable(help.out));
        // The page's source as it reads: font changes dropped, escaped hyphens plain.
        QString page = QString::fromUtf8(FileBytes(qEnvironmentVariable("VARDO_SOURCE") + "/dist/" + program + ".1"));
        QCOMPARE(Options(page.remove(QRegularExpression(R"(\\f[BIRP])")).replace("\\-", "-")), Options(help.out));
    }
};

QTEST_GUILESS_MAIN(TestCliVerify)
#include "cli_verify_test.moc"
