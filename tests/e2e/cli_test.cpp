// SPDX-License-Identifier: GPL-3.0-or-later
// vardo-cli against vardo-sim on a pseudo-terminal (and its in-process emulator), and each
// program's manual page against its --help.

#include <QRegularExpression>
#include <QtTest>

#include <sys/stat.h>

#include "channelrow.h"
#include "codec.h"
#include "filebytes.h"
#include "historyfiles.h"
#include "processrun.h"
#include "simimage.h"
#include "simprocess.h"

using namespace vardo::test;
using Files = QMap<QString, QByteArray>;

namespace {

const QString kCli = qEnvironmentVariable("VARDO_BIN") + "/vardo-cli";
ProcessRun RunCli(const QStringList& args) { return RunProcess(kCli, args); }

const QString kDemo6 = "0001579A800000011100000000000000";     // 14074.00 kHz USB
const QString kDemo28 = "00003D09000000030000000000000000";    // 2500.00 kHz AM (env)

QStringList With(QStringList lines, int row, const QString& line) { lines[row - 1] = line; return lines; }
bool IsMemoryRequest(const QString& frame) { return frame.endsWith("04 10"); }

// Gives field `field` (0 the frequency, 1 the mode .. 7 the offset) of line `row` another value.
bool ChangeField(const QString& path, int row, int field, const QString& value)
{
    QList<QByteArray> lines = FileBytes(path).split('\n');
    QList<QByteArray> fields = lines[row - 1].split(':');
    fields[field] = value.toLatin1();
    lines[row - 1] = fields.join(':');
    return PutFile(path, lines.join('\n'));
}

// A record as the tables show it, less what no command can write: the antenna (a written channel
// keeps VFO-A's) and the flags a real radio keeps in the high bits of the mode byte.
QStringList Shown(const QString& hex)
{
    vardo::Channel c = vardo::DecodeRecord(vardo::RecordFromBytes(QByteArray::fromHex(hex.toLatin1())));
    c.Ant.clear();
    const vardo::RowCells cells = vardo::CellsFromChannel(c);
    return QStringList(cells.begin(), cells.end());
}

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

class TestCliE2e : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_tmp;
    QString m_data;
    QString m_history;

    [[nodiscard]] QStringList snapshotNames() const { return QDir(m_history).entryList(QDir::Files, QDir::Name); }
    [[nodiscard]] QByteArray snapshot(const QString& name) const { return FileBytes(m_history + "/" + name); }
    // vardo-cli on the data folder, with the in-process emulator or the one given.
    [[nodiscard]] ProcessRun cli(const QStringList& args, const SimProcess* radio = nullptr) const
    {
        const QStringList link = radio ? QStringList{"--port", radio->pty()} : QStringList{"--simulate"};
        return RunCli(link + QStringList{"--data-dir", m_data} + args);
    }

private slots:
    void init()
    {
        m_tmp = std::make_unique<QTemporaryDir>();
        m_data = m_tmp->filePath("data folder");
        m_history = m_data + "/history";
        QVERIFY(QDir().mkpath(m_data));
    }

    // Found after a port that is not there; the image read into radio A and restored into a blank
    // radio B gives B A's memory.
    void readThenRestoreGivesTheSameMemory()
    {
        const QString imageA = m_tmp->filePath("a.txt");
        const QString imageB = m_tmp->filePath("b.txt");
        QVERIFY(PutDemoImageWith(imageA, {}));
        {
            SimProcess radio({"--fast", "--memory", imageA, "--save-on-exit"});
            const auto probe = RunCli({"--port", "/dev/vardo-no-such-port", "--port", radio.pty(), "probe"});
            QCOMPARE(Outcome(probe), "0|" + radio.pty() + "\n|");
            const auto read = cli({"read", "all"}, &radio);
            QVERIFY2(read.status == 0, qPrintable(read.err));
            QCOMPARE(read.out, "113 channels saved to " + m_data + "/AllMem.txt\n");
        }
        // Radio B: A's image, saved whole on exit, with every storable channel (1..99, P1..P9) blank.
        QByteArray other;
        for (const auto& [name, hex] : Records(imageA).asKeyValueRange())
            if (name.startsWith("VFO") || name.startsWith('Q'))
                other += (name + ": " + hex + '\n').toLatin1();
        QVERIFY(PutFile(imageB, other));
        {
            SimProcess radio({"--fast", "--memory", imageB, "--save-on-exit"});
            const auto restore = cli({"restore", "all"}, &radio);
            // The demo's blank channels 78 to 99 cannot be written; they stay blank.
            QCOMPARE(Outcome(restore).section('|', 0, 1), "3|86 channels written into the radio from " + m_data + "/AllMem.txt\n");
        }
        const QMap<QString, QString> a = Records(imageA);
        const QMap<QString, QString> b = Records(imageB);
        QCOMPARE(b.size(), 115);  // VFO-A, VFO-B and 113 channels
        QCOMPARE(b.keys(), a.keys());
        for (auto it = a.begin(); it != a.end(); ++it)
            QVERIFY2(Shown(b.value(it.key())) == Shown(it.value()),
                     qPrintable(it.key() + ": " + it.value() + " / " + b.value(it.key())));
        QCOMPARE(b.value("VFO-A"), a.value("VFO-A"));
    }

    // At the line's pace the port takes the restore long before the radio has it: the emulator, stopped
    // when the program ends, has logged VFO-A set back last. Without the read-back the commands are
    // the same, less the memory requests, and a read right after works.
    void restoreEndsWhenTheRadioHasIt()
    {
        QCOMPARE(cli({"read", "pms"}).status, 0);
        const QByteArray saved = FileBytes(m_data + "/Pms.txt");
        QStringList verified;
        for (const QStringList& options : {QStringList{}, QStringList{"--pacing", "0"}, QStringList{"--no-verify"}}) {
            SimProcess radio({"--log"});
            QCOMPARE(cli(QStringList{"restore", "pms"} + options, &radio).status, 0);
            const bool plain = options.contains("--no-verify");
            if (plain) {
                QCOMPARE(cli({"read", "pms"}, &radio).status, 0);
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
        QCOMPARE(cli({"read", "99"}).status, 0);
        const QString file = m_data + "/99Mem.txt";
        QVERIFY(ChangeField(file, 6, 0, "14080.00") && ChangeField(file, 6, 7, "+12.50"));
        QVERIFY(ChangeField(file, 28, 1, "AM (sync)") && ChangeField(file, 28, 7, "+12.50"));
        QVERIFY(ChangeField(file, 5, 0, "14074.00") && ChangeField(file, 42, 0, "14074.00"));
        const QString image = m_tmp->filePath("image.txt");
        QVERIFY(PutDemoImageWith(image, {}));
        SimProcess radio({"--fast", "--drop-store", "42", "--memory", image, "--save-on-exit"});
        const auto restore = cli({"restore", "99"}, &radio);
        // The demo's channels 78-99 are blank.
        const QString line42 = "42: frequency radio 3560.50, file 14074.00\n";
        QCOMPARE(Outcome(restore), "3|75 channels written into the radio from " + file + "\n|"
                                   "vardo-cli: the radio does not hold 1 of them as written:\n" + line42
                                   + "vardo-cli: 24 channels were not written (the radio keeps what they held):\n"
                                     "6, 28: offset +12.50 cannot be sent to the radio\n"
                                     "78, 79, 80, 81, 82, 83, 84, 85, 86, 87, 88, 89, 90, 91, 92, 93, 94, 95, 96, 97, "
                                     "98, 99: frequency 0.00 cannot be sent to the radio\n");
        const auto verify = cli({"verify", "99"}, &radio);
        QVERIFY2(verify.out.startsWith("6: frequency radio 14074.00, file 14080.00; offset")
                     && verify.out.contains("\n28: mode radio AM (env), file AM (sync); offset") && verify.out.endsWith("\n" + line42),
                 qPrintable(verify.out));
        // A written channel takes VFO-A's antenna: 8 of the file's are another.
        QCOMPARE(QString::number(verify.status) + verify.err, "3vardo-cli: 3 of 99 channels differ from " + file
                                                                 + "\nvardo-cli: 8 channels hold another antenna than the "
                                                                   "file (no command can set the antenna)\n");
        QCOMPARE(radio.stop(), 0);
        const QMap<QString, QString> held = Records(image);
        QCOMPARE(held.value("6"), kDemo6);
        QCOMPARE(held.value("28"), kDemo28);
        QCOMPARE(held.value("5"), kDemo6);  // written: 14074.00 USB, as channel 6 holds it
    }

    // Verify names every difference a restore would mend on standard output, and the antennas,
    // which no command sets, apart on standard error. The QMB file never holds the mask.
    void verifyTellsTheWholeTruth()
    {
        const QString image = m_tmp->filePath("image.txt");
        // Q3 masked (3700.00 kHz LSB), channel 1 on antenna B.
        QVERIFY(PutDemoImageWith(image, {{"Q3", "80005A55000000001100000000000000"}, {"1", "00002CEC000000011110000000000000"}}));
        SimProcess radio({"--fast", "--memory", image});
        QCOMPARE(cli({"read", "qmb"}, &radio).status, 0);
        QCOMPARE(Outcome(cli({"verify", "qmb"}, &radio)), "0|5 channels match " + m_data + "/Qmb.txt\n|");
        QCOMPARE(cli({"read", "99"}).status, 0);  // the demo's channel 1, on antenna A
        QCOMPARE(Outcome(cli({"verify", "99"}, &radio)),
                 "0|99 channels match " + m_data + "/99Mem.txt\n|vardo-cli: 1 channel holds another antenna than the "
                                                   "file (no command can set the antenna)\n");
    }

    // A read keeps the file's comments and its backup, a snapshot of what it read, a restore one of
    // what it wrote and how that ended; the listing shows them newest first.
    void eachOperationLeavesItsSnapshot()
    {
        SimProcess radio({"--fast", "--drop-store", "101"});
        // The comment fits in Windows-1252, so the file is written in it, as the older program wrote its files.
        const QStringList read = With(kDemoPmsLines, 1, kDemoPmsLines[0] + "band edge: 40 m, Bod\u00f8");
        const QByteArray utf8 = CrLfLines(read).replace("Bod\xF8", "Bod\xC3\xB8");
        QVERIFY(PutFile(m_data + "/Pms.txt", utf8));
        QCOMPARE(cli({"read", "pms"}, &radio).status, 0);
        QCOMPARE(FileBytes(m_data + "/Pms.bak"), utf8);
        QCOMPARE(FileBytes(m_data + "/Pms.txt") + snapshot(snapshotNames()[0]), CrLfLines(read).repeated(2));

        // P2 changed in the file; the radio keeps its old P2.
        const QStringList changed = With(read, 2, "2010.00:LSB:2.4K:2.4K:A:OFF:OFF:0.00:OFF:");
        QVERIFY(PutFile(m_data + "/Pms.txt", CrLfLines(changed)));
        QCOMPARE(cli({"restore", "pms"}, &radio).status, 3);
        QCOMPARE(cli({"restore", "pms", "--no-verify"}, &radio).status, 0);
        QCOMPARE(snapshot(snapshotNames()[1]) + snapshot(snapshotNames()[2]), CrLfLines(changed).repeated(2));

        QCOMPARE(WithoutTimes(cli({"history", "pms"}).out),
                 "  1  WHEN  restore    9 channels  not read back  Pms 000003 WHEN restore not read back.txt\n"
                 "  2  WHEN  restore    9 channels  differs P2  Pms 000002 WHEN restore differs P2.txt\n"
                 "  3  WHEN  read       9 channels  -  Pms 000001 WHEN read.txt\n");
        QCOMPARE(cli({"history", "99"}).out, "No snapshot of these channels in " + m_history + "\n");
        // The Quick Memory Banks are never written: a restore of them leaves no snapshot.
        QCOMPARE(cli({"read", "qmb"}, &radio).status, 0);
        const auto qmbRestore = cli({"restore", "qmb"}, &radio);
        QCOMPARE(Outcome(qmbRestore), "0|No channel written into the radio from " + m_data
                                          + "/Qmb.txt (the Quick Memory Banks are never written)\n|");
        const QStringList qmb = snapshotNames().filter("Qmb ");
        QVERIFY2(qmb.size() == 1 && qmb[0].endsWith(" read.txt"), qPrintable(qmb.join('|')));
    }

    // History on a full disk: the read is saved and succeeds; the message says the snapshot was not kept.
    void snapshotOnAFullDisk()
    {
        if (RunProcess("unshare", {"-rm", "true"}).status != 0)
            QSKIP("no mount namespace here");
        const QString script = "mkdir \"$H\"; mount -t tmpfs -o size=8k tmpfs \"$H\"; "
                               "head -c 8192 /dev/zero > \"$H/filler\" 2>/dev/null || true\n"
                               "\"$CLI\" --simulate --data-dir \"$D\" read pms";
        const auto run = RunProcess("unshare", {"-rm", "sh", "-c", script}, {"H=" + m_history, "D=" + m_data, "CLI=" + kCli});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out, "9 channels saved to " + m_data + "/Pms.txt\n");
        QCOMPARE(WithoutTimes(run.err), "vardo-cli: No snapshot was kept in the history: Could not write \"" + m_history
                              + "/Pms 000001 WHEN read.txt\": No space left on device.\n");
        QCOMPARE(FileBytes(m_data + "/Pms.txt"), CrLfLines(kDemoPmsLines));
    }

    // P1 changed on the front panel, at the real line speed: restore --read-first keeps the radio's
    // channels before writing the file; restore --from puts them back, as the emulator's memory shows.
    void restoreFromPutsTheEarlierStateBack()
    {
        const QString image = m_tmp->filePath("image.txt");
        QVERIFY(PutDemoImageWith(image, {{"P1", kDemo6}}));  // 14074.00 kHz USB
        QVERIFY(PutFile(m_data + "/Pms.txt", CrLfLines(kDemoPmsLines)));
        const auto onRadio = [&](const QList<QStringList>& commands) {
            SimProcess radio({"--memory", image, "--save-on-exit"});
            QList<ProcessRun> runs;
            for (const QStringList& command : commands)
                runs << cli(command, &radio);
            radio.stop();
            return runs;
        };
        const auto restore = onRadio({{"restore", "pms", "--read-first"}})[0];
        QCOMPARE(Outcome(restore), "0|9 channels written into the radio from " + m_data + "/Pms.txt\n|");
        QCOMPARE(WithoutTimes(snapshotNames().join('|')), "Pms 000001 WHEN read.txt|Pms 000002 WHEN restore verified.txt");
        QCOMPARE(snapshot(snapshotNames()[0]), CrLfLines(With(kDemoPmsLines, 1, "14074.00:USB:2.4K:2.4K:A:OFF:OFF:0.00:OFF:")));
        QCOMPARE(Records(image).value("P1"), "00002BF2000000023300000000000000");  // the demo's P1

        const auto back = onRadio({{"restore", "pms", "--from", "2"}, {"verify", "pms", "--from", "1"}});
        QCOMPARE(WithoutTimes(Outcome(back[0])), "0|9 channels written into the radio from " + m_history + "/Pms 000001 WHEN read.txt\n|");
        QCOMPARE(WithoutTimes(Outcome(back[1])), "0|9 channels match " + m_history + "/Pms 000003 WHEN restore verified.txt\n|");
        QCOMPARE(Records(image).value("P1"), kDemo6);
        QCOMPARE(Records(image).value("P9"), "0000F695000000023300000000000000");
    }

    // A saved file that does not load line for line gives no comment to any line: it is kept whole
    // under a name of its own, which a later read leaves alone, and the status says so.
    void readOverAnUnreadableFileKeepsItWhole_data()
    {
        QTest::addColumn<QByteArray>("old");
        QTest::addColumn<QString>("why");
        const QByteArray line = "7074.00:USB:2.4K:2.4K:A:OFF:OFF:0.00:OFF:";
        QTest::newRow("CR-only line ends") << (line + "FT8 net\r").repeated(9) << "a carriage return alone";
        QTest::newRow("lines missing") << (line + "FT8 net\r\n").repeated(4) << "line 5 is missing";
    }
    void readOverAnUnreadableFileKeepsItWhole()
    {
        QFETCH(QByteArray, old);
        QFETCH(QString, why);
        QVERIFY(PutFile(m_data + "/Pms.txt", old));
        const auto run = cli({"read", "pms"});
        QCOMPARE(Outcome(run).section('|', 0, 1), "3|9 channels saved to " + m_data + "/Pms.txt\n");
        const QStringList kept = QDir(m_data).entryList({"Pms.unreadable-*.txt"});
        QCOMPARE(kept.size(), 1);
        QVERIFY(QRegularExpression("^Pms\\.unreadable-\\d{8}-\\d{6}\\.txt$").match(kept[0]).hasMatch());
        QCOMPARE(FileBytes(m_data + "/" + kept[0]), old);
        QVERIFY2(run.err.startsWith("vardo-cli: the comments of the old file could not be kept: ") && run.err.contains(why)
                     && run.err.endsWith(" It is kept whole as \"" + m_data + "/" + kept[0] + "\".\n"),
                 qPrintable(run.err));
        for (const QByteArray& saved : FileBytes(m_data + "/Pms.txt").split('\n').mid(0, 9))
            QVERIFY2(saved.endsWith(":OFF:\r") || saved.endsWith(":RPT:\r"), saved.constData());
        QCOMPARE(cli({"read", "pms"}).status, 0);
        QCOMPARE(QDir(m_data).entryList({"Pms.unreadable-*.txt"}), kept);
    }

    // Each failure: its status, one line on standard error, no file written or changed. A saved file
    // that is a named pipe (which used to block open() for ever) is refused before the radio is asked.
    void refused_data()
    {
        QTest::addColumn<QString>("file");      // "", "read" (by a read), "short Qmb", "pipe" or "bad line"
        QTest::addColumn<QStringList>("args");  // PTY: a radio that stays silent
        QTest::addColumn<QString>("err");  // %1: the data folder; a usage error, "(try --help)", has status 2, others 1
        const auto row = [](const char* name, const char* file, const QStringList& args, const QString& err) {
            QTest::newRow(name) << QString::fromLatin1(file) << args << err;
        };
        const QString view = "all, 99, pms or qmb (try --help)";
        row("no command", "", {}, "no command given (try --help)");
        row("unknown command", "", {"save"}, "unknown command \"save\" (try --help)");
        row("no view", "", {"read"}, "read needs one VIEW: " + view);
        row("bad view", "", {"restore", "PMS"}, "unknown VIEW \"PMS\": use " + view);
        row("extra", "", {"probe", "x"}, "probe takes no further arguments (try --help)");
        row("unknown option", "", {"--fast", "probe"}, "Unknown option 'fast'. (try --help)");
        row("--from not a number", "", {"restore", "pms", "--from", "newest"},
            "--from takes a snapshot number from 1, as vardo-cli history VIEW lists them (try --help)");
        row("--from for a read", "", {"read", "pms", "--from", "1"}, "--from is only for restore and verify (try --help)");
        row("pacing too long", "", {"--pacing", "256", "probe"}, "--pacing takes a number of milliseconds from 0 to 255 (try --help)");
        row("--no-verify for a read", "", {"read", "all", "--no-verify"}, "--no-verify is only for restore (try --help)");
        row("no such snapshot", "read", {"--simulate", "restore", "pms", "--from", "2"},
            "There is no snapshot 2 of these channels: the history holds 1 (1 is the newest).");
        row("no snapshot of the view", "read", {"--simulate", "verify", "all", "--from", "1"},
            "There is no snapshot of these channels in \"%1/history\".");
        row("silent radio", "", {"--port", "PTY", "read", "99"}, "the FT-1000MP was not found (PTY did not answer)");
        row("never saved", "", {"--port", "PTY", "restore", "all"},
            "Cannot load because the \"All.Mem.txt\" data file has never been saved!");
        row("a bad line", "bad line", {"--port", "PTY", "restore", "all"},
            "Cannot load \"%1/AllMem.txt\": line 50 has fewer than nine colons.");
        row("upgrade of a short old file", "short Qmb", {"upgrade"},
            "\"%1/Qmb.txt\" is in the old layout but has 1 of its 5 lines; it was left as it was.");
        row("read beside a pipe", "pipe", {"--simulate", "read", "all"},
            "Could not read \"%1/AllMem.txt\": it is a named pipe, not a file. The saved file and its backup are as they were.");
    }
    void refused()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, args);
        QFETCH(QString, err);
        SimProcess silent({"--fast", "--silent"});
        const QString name = file == "short Qmb" ? "Qmb.txt" : file == "read" ? "Pms.txt" : "AllMem.txt";
        const QByteArray line = "7074.00:USB:2.4K:2.4K:A:OFF:OFF:0.00:OFF:\r\n";
        QByteArray bytes = file == "short Qmb" ? "7001.00,LSB,2.4K,2.0K,A,OFF,OFF,0.00,OFF,edge, 1\r\n"
                                               : line.repeated(113).remove(50 * line.size() - 3, 1);  // line 50 loses its last colon
        if (file == "read") {
            QCOMPARE(cli({"read", "pms"}).status, 0);
            bytes = FileBytes(m_data + "/" + name);
        }
        if (file == "pipe")
            QCOMPARE(::mkfifo(QFile::encodeName(m_data + "/" + name).constData(), 0600), 0);
        else if (!file.isEmpty() && file != "read")
            QVERIFY(PutFile(m_data + "/" + name, bytes));
        const auto run = RunCli(args.replaceInStrings("PTY", silent.pty()) + QStringList{"--data-dir", m_data});
        const QString status = err.endsWith("(try --help)") ? "2" : "1";
        QCOMPARE(Outcome(run), status + "||vardo-cli: " + err.arg(m_data).replace("PTY", silent.pty()) + "\n");
        const bool kept = !file.isEmpty() && file != "pipe";
        QCOMPARE(FileListing(m_data), kept ? QStringList{name} : QStringList());
        if (kept)
            QCOMPARE(FileBytes(m_data + "/" + name), bytes);
    }

    // The upgrade converts the saved files and leaves every other file alone, even ones named
    // like a saved file's scratch copy, and the operator's "Temp.txt".
    void upgradeKeepsTheOperatorsFiles()
    {
        const Files own{{"AllMem.txt.backup", "a"}, {"Pms.txt.orig01", "b"}, {"Qmb.txt.before", "c"},
                        {"Temp.txt", "d"}, {"99Mem.txt", QByteArray("7001.00:LSB:2.4K:2.0K:A:OFF:OFF:0.00:OFF:x\r\n")}};
        for (auto it = own.begin(); it != own.end(); ++it)
            QVERIFY(PutFile(m_data + "/" + it.key(), it.value()));
        QVERIFY(PutFile(m_data + "/AllMem.txt", QByteArray("7001.00,LSB,2.4K,2.0K,A,OFF,OFF,0.00,OFF,edge, 1\r\n").repeated(113)));
        const auto run = RunCli({"--data-dir", m_data, "upgrade"});
        QVERIFY2(run.status == 0, qPrintable(run.err));
        Files after;
        for (const QString& name : FileListing(m_data))
            after[name] = FileBytes(m_data + "/" + name);
        QCOMPARE(after.take("AllMem.txt"), QByteArray("7001.00:LSB:2.4K:2.0K:A:OFF:OFF:0.00:OFF:edge, 1\r\n").repeated(113));
        QCOMPARE(after, own);
    }

    void progressOnlyOnATerminal()
    {
        QVERIFY(cli({"read", "pms"}).err.isEmpty());
        // script(1) gives the program a terminal; checked alone first so that a failing restore fails.
        if (RunProcess("script", {"-qec", "true", "/dev/null"}).status != 0)
            QSKIP("script(1) cannot give a program a terminal here");
        const auto onTerminal = RunProcess("script", {"-qec", R"(exec "$CLI" --simulate --data-dir "$DATA" restore pms)", "/dev/null"},
                                           {"CLI=" + kCli, "DATA=" + m_data});
        QVERIFY2(onTerminal.status == 0, qPrintable(onTerminal.out));
        QVERIFY2(onTerminal.out.contains("\rvardo-cli: writing and checking channel 1 of 9"), qPrintable(onTerminal.out));
        QVERIFY(onTerminal.out.contains("\rvardo-cli: writing and checking channel 9 of 9"));
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

QTEST_GUILESS_MAIN(TestCliE2e)
#include "cli_test.moc"
