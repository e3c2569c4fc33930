// SPDX-License-Identifier: GPL-3.0-or-later
// vardo-cli against vardo-sim on a pseudo-terminal (and against its in-process emulator): a
// read saved and restored into another radio gives back the same memory, comments survive a
// new read, a bad file (or a named pipe in its place) is refused before the radio is touched,
// the upgrade touches only the saved files, and every failure says why.

#include <QtTest>

#include <sys/stat.h>

#include "channelrow.h"
#include "codec.h"
#include "filebytes.h"
#include "processrun.h"
#include "simimage.h"
#include "simprocess.h"

using namespace vardo::test;
using Files = QMap<QString, QByteArray>;

namespace {

QString Cli() { return qEnvironmentVariable("VARDO_BIN") + "/vardo-cli"; }
ProcessRun RunCli(const QStringList& args) { return RunProcess(Cli(), args); }

// The demo image as vardo-sim writes it back: every channel listed.
bool PutDemoImage(const QString& path)
{
    if (!QFile::copy(qEnvironmentVariable("VARDO_SOURCE") + "/sim/demo-memory.txt", path))
        return false;
    SimProcess radio({"--fast", "--memory", path, "--save-on-exit"});
    return !radio.pty().isEmpty();
}

// A record as the tables show it, without the antenna: the radio has no command that sets a
// channel's antenna (a written channel keeps VFO-A's), nor the flags a real radio keeps in the
// high bits of the mode byte, so only what the program can write is compared.
QStringList Shown(const QString& hex)
{
    vardo::Channel c = vardo::DecodeRecord(vardo::RecordFromBytes(QByteArray::fromHex(hex.toLatin1())));
    c.Ant.clear();
    const vardo::RowCells cells = vardo::CellsFromChannel(c);
    return QStringList(cells.begin(), cells.end());
}

}  // namespace

class TestCliE2e : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_tmp;
    QString m_data;

private slots:
    void init()
    {
        m_tmp = std::make_unique<QTemporaryDir>();
        QVERIFY(m_tmp->isValid());
        m_data = m_tmp->filePath("data folder");
        QVERIFY(QDir().mkpath(m_data));
    }

    void probe()
    {
        SimProcess radio({"--fast"});
        QVERIFY(!radio.pty().isEmpty());
        const auto run = RunCli({"--port", "/dev/vardo-no-such-port", "--port", radio.pty(), "probe"});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out, radio.pty() + "\n");
        QCOMPARE(run.err, QString());
    }

    void readThenRestoreGivesTheSameMemory()
    {
        const QString imageA = m_tmp->filePath("a.txt");
        const QString imageB = m_tmp->filePath("b.txt");
        QVERIFY(PutDemoImage(imageA));
        {
            SimProcess radio({"--fast", "--memory", imageA, "--save-on-exit"});
            const auto read = RunCli({"--port", radio.pty(), "--data-dir", m_data, "read", "all"});
            QVERIFY2(read.status == 0, qPrintable(read.err));
            QCOMPARE(read.out, "113 channels saved to " + m_data + "/AllMem.txt\n");
        }
        // Radio B: the same image with every storable channel (1..99, P1..P9) blank.
        QByteArray other;
        for (const QByteArray& line : FileBytes(imageA).split('\n')) {
            const QByteArray name = line.split(':').value(0);
            bool number = false;
            name.toInt(&number);
            if (!number && !name.startsWith('P'))
                other += line + '\n';
        }
        QVERIFY(PutFile(imageB, other));
        {
            SimProcess radio({"--fast", "--memory", imageB, "--save-on-exit"});
            const auto restore = RunCli({"--port", radio.pty(), "--data-dir", m_data, "restore", "all"});
            // The demo leaves channels 78 to 99 blank (0.00 kHz, which the radio cannot be set
            // to): they are not written, stay blank and are named.
            QStringList blank;
            for (int channel = 78; channel <= 99; ++channel)
                blank << QString::number(channel);
            QCOMPARE(restore.out, "86 channels written into the radio from " + m_data + "/AllMem.txt\n");
            QCOMPARE(restore.err, "vardo-cli: 22 channels were not written (the radio keeps what they held):\n"
                                      + blank.join(", ") + ": frequency 0.00 cannot be sent to the radio\n");
            QCOMPARE(restore.status, 3);
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

    void restoreOfQuickMemoryBanksSaysNothingIsWritten()
    {
        QCOMPARE(RunCli({"--simulate", "--data-dir", m_data, "read", "qmb"}).status, 0);
        const auto restore = RunCli({"--simulate", "--data-dir", m_data, "restore", "qmb"});
        QCOMPARE(restore.status, 0);
        QCOMPARE(restore.out, "No channel written into the radio from " + m_data
                     + "/Qmb.txt (the Quick Memory Banks are never written)\n");
    }

    void readKeepsCommentsAndBacksUp()
    {
        QCOMPARE(RunCli({"--simulate", "--data-dir", m_data, "read", "pms"}).status, 0);
        QList<QByteArray> lines = FileBytes(m_data + "/Pms.txt").split('\n');
        lines[2] = lines[2].chopped(1) + "band edge: 40 m, Bod\xC3\xB8\r";
        QVERIFY(PutFile(m_data + "/Pms.txt", lines.join('\n')));
        const auto again = RunCli({"--simulate", "--data-dir", m_data, "read", "pms"});
        QVERIFY2(again.status == 0, qPrintable(again.err));
        QCOMPARE(FileBytes(m_data + "/Pms.bak"), lines.join('\n'));
        // The comment fits in Windows-1252, so the new file is written in it, as the older
        // program wrote its files.
        QCOMPARE(FileBytes(m_data + "/Pms.txt"), lines.join('\n').replace("Bod\xC3\xB8", "Bod\xF8"));
    }

    // A saved file that does not load line for line (CR-only line ends, lines missing) gives no
    // comment to any line: it is kept whole under a name of its own, which a later read leaves
    // alone, and the status says the comments were not kept.
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
        const auto run = RunCli({"--simulate", "--data-dir", m_data, "read", "pms"});
        QCOMPARE(run.status, 3);
        const QStringList kept = QDir(m_data).entryList({"Pms.unreadable-*.txt"});
        QCOMPARE(kept.size(), 1);
        QVERIFY(QRegularExpression("^Pms\\.unreadable-\\d{8}-\\d{6}\\.txt$").match(kept[0]).hasMatch());
        QCOMPARE(FileBytes(m_data + "/" + kept[0]), old);
        QVERIFY2(run.err.startsWith("vardo-cli: the comments of the old file could not be kept: ") && run.err.contains(why)
                     && run.err.endsWith(" It is kept whole as \"" + m_data + "/" + kept[0] + "\".\n"),
                 qPrintable(run.err));
        QCOMPARE(run.out, "9 channels saved to " + m_data + "/Pms.txt\n");
        for (const QByteArray& saved : FileBytes(m_data + "/Pms.txt").split('\n').mid(0, 9))
            QVERIFY2(saved.endsWith(":OFF:\r") || saved.endsWith(":RPT:\r"), saved.constData());
        const auto again = RunCli({"--simulate", "--data-dir", m_data, "read", "pms"});
        QCOMPARE(again.status, 0);
        QCOMPARE(QDir(m_data).entryList({"Pms.unreadable-*.txt"}), kept);
    }

    void refusedFileTouchesNothing()
    {
        QCOMPARE(RunCli({"--simulate", "--data-dir", m_data, "read", "all"}).status, 0);
        QList<QByteArray> lines = FileBytes(m_data + "/AllMem.txt").split('\n');
        lines[49] = "7074.00:USB:2.4K:2.4K:A:OFF:OFF:0.00:OFF\r";
        QVERIFY(PutFile(m_data + "/AllMem.txt", lines.join('\n')));
        const QString image = m_tmp->filePath("image.txt");
        QVERIFY(PutDemoImage(image));
        const QMap<QString, QString> before = Records(image);
        {
            SimProcess radio({"--fast", "--memory", image, "--save-on-exit"});
            const auto run = RunCli({"--port", radio.pty(), "--data-dir", m_data, "restore", "all"});
            QCOMPARE(run.status, 1);
            QCOMPARE(run.err, "vardo-cli: Cannot load \"" + m_data
                                  + "/AllMem.txt\": line 50 has fewer than nine colons.\n");
        }
        QCOMPARE(Records(image), before);
    }

    // Each failure: its exit status, one line on standard error, and no file written or
    // changed. A saved file that is a named pipe (which used to block open() for ever), or one
    // still in the older layout, is refused by name.
    void refused_data()
    {
        QTest::addColumn<QString>("file");      // in the data folder: "", "short Qmb", "pipe" or "old layout"
        QTest::addColumn<QStringList>("args");  // PTY: a radio that stays silent
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("err");  // %1: the data folder
        const auto row = [](const char* name, const char* file, const QStringList& args, int status, const QString& err) {
            QTest::newRow(name) << QString::fromLatin1(file) << args << status << err;
        };
        const QString view = "all, 99, pms or qmb (try --help)";
        row("no command", "", {}, 2, "no command given (try --help)");
        row("unknown command", "", {"save"}, 2, "unknown command \"save\" (try --help)");
        row("no view", "", {"read"}, 2, "read needs one VIEW: " + view);
        row("bad view", "", {"restore", "PMS"}, 2, "unknown VIEW \"PMS\": use " + view);
        row("extra", "", {"probe", "x"}, 2, "probe takes no further arguments (try --help)");
        row("unknown option", "", {"--fast", "probe"}, 2, "Unknown option 'fast'. (try --help)");
        row("silent radio", "", {"--port", "PTY", "read", "99"}, 1, "the FT-1000MP was not found (PTY did not answer)");
        row("never saved", "", {"--port", "PTY", "restore", "all"}, 1,
            "Cannot load because the \"All.Mem.txt\" data file has never been saved!");
        row("upgrade of a short old file", "short Qmb", {"upgrade"}, 1,
            "\"%1/Qmb.txt\" is in the old layout but has 1 of its 5 lines; it was left as it was.");
        const QString pipe = "Could not read \"%1/AllMem.txt\": it is a named pipe, not a file.";
        row("restore from a pipe", "pipe", {"--simulate", "restore", "all"}, 1, pipe);
        row("read beside a pipe", "pipe", {"--simulate", "read", "all"}, 1,
            pipe + " The saved file and its backup are as they were.");
        row("upgrade of a pipe", "pipe", {"upgrade"}, 1, pipe);
        row("restore of the older layout", "old layout", {"--simulate", "restore", "all"}, 1,
            "Cannot load \"%1/AllMem.txt\": it is in the older layout, with commas between the fields; \"vardo-cli "
            "upgrade\" or a restart of the program converts it.");
    }
    void refused()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, args);
        QFETCH(QString, err);
        SimProcess silent({"--fast", "--silent"});
        const QByteArray old = "7001.00,LSB,2.4K,2.0K,A,OFF,OFF,0.00,OFF,edge, 1\r\n";
        const QString name = file == "short Qmb" ? "Qmb.txt" : "AllMem.txt";
        const QByteArray bytes = file == "short Qmb" ? old : old.repeated(113);
        if (file == "pipe")
            QCOMPARE(::mkfifo(QFile::encodeName(m_data + "/" + name).constData(), 0600), 0);
        else if (!file.isEmpty())
            QVERIFY(PutFile(m_data + "/" + name, bytes));
        const auto run = RunCli(args.replaceInStrings("PTY", silent.pty()) + QStringList{"--data-dir", m_data});
        QTEST(run.status, "status");
        QCOMPARE(run.err, "vardo-cli: " + err.arg(m_data).replace("PTY", silent.pty()) + "\n");
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
        QVERIFY(RunCli({"--simulate", "--data-dir", m_data, "read", "pms"}).err.isEmpty());
        // script(1) gives the program a terminal to write to. It is checked on its own first, so
        // that a failing restore fails the test; the program and the folder reach the shell as
        // variables, so a path with a space stays one argument.
        if (RunProcess("script", {"-qec", "true", "/dev/null"}).status != 0)
            QSKIP("script(1) cannot give a program a terminal here");
        const auto onTerminal = RunProcess("script", {"-qec", R"(exec "$CLI" --simulate --data-dir "$DATA" restore pms)", "/dev/null"},
                                           {"CLI=" + Cli(), "DATA=" + m_data});
        QVERIFY2(onTerminal.status == 0, qPrintable(onTerminal.out));
        QVERIFY2(onTerminal.out.contains("\rvardo-cli: writing and checking channel 1 of 9"), qPrintable(onTerminal.out));
        QVERIFY(onTerminal.out.contains("\rvardo-cli: writing and checking channel 9 of 9"));
    }
};

QTEST_GUILESS_MAIN(TestCliE2e)
#include "cli_test.moc"
