// vardo-cli against vardo-sim on a pseudo-terminal (and against its in-process emulator):
// a read saved and restored into another radio gives back the same memory, comments survive
// a new read, bad files are refused before the radio is touched, and a save killed at any
// step leaves whole files.

#include <QtTest>

#include "channelrow.h"
#include "codec.h"
#include "filebytes.h"
#include "simprocess.h"

using namespace vardo::test;

namespace {

constexpr int kRunMs = 60000;

struct Run {
    int status = -1;
    bool crashed = false;
    QString out;
    QString err;
};

Run Execute(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(kRunMs))
        p.kill();
    return {p.exitCode(), p.exitStatus() == QProcess::CrashExit, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

QString Cli()
{
    return qEnvironmentVariable("VARDO_BIN") + "/vardo-cli";
}

Run RunCli(const QStringList& args)
{
    return Execute(Cli(), args);
}

// The records of a vardo-sim memory image by name ("VFO-A", "1" .. "Q5").
QMap<QString, QString> Records(const QString& path)
{
    QMap<QString, QString> records;
    for (const QByteArray& raw : FileBytes(path).split('\n')) {
        const QString line = QString::fromUtf8(raw).section('#', 0, 0).trimmed();
        if (line.contains(':'))
            records[line.section(':', 0, 0)] = line.section(':', 1).trimmed().section(' ', 0, 0);
    }
    return records;
}

// The demo image as vardo-sim writes it back: every channel listed.
bool PutDemoImage(const QString& path)
{
    if (!QFile::copy(qEnvironmentVariable("VARDO_SOURCE") + "/sim/demo-memory.txt", path))
        return false;
    SimProcess radio({"--fast", "--memory", path, "--save-on-exit"});
    return !radio.pty().isEmpty();
}

// A record as the tables show it, without the antenna: the radio has no command that sets a
// channel's antenna (a written channel keeps VFO-A's), nor the flags a real radio keeps in
// the high bits of the mode byte, so only what the program can write is compared.
QStringList Shown(const QString& hex)
{
    vardo::Channel c = vardo::DecodeRecord(vardo::RecordFromBytes(QByteArray::fromHex(hex.toLatin1())));
    c.Ant.clear();
    const vardo::SettingCells cells = vardo::CellsFromChannel(c);
    return QStringList(cells.begin(), cells.end());
}

// The image with every storable channel (1..99, P1..P9) blank.
QByteArray WithoutStorableChannels(const QString& path)
{
    QByteArray out;
    for (const QByteArray& line : FileBytes(path).split('\n')) {
        const QByteArray name = line.split(':').value(0);
        bool number = false;
        name.toInt(&number);
        if (!number && !name.startsWith('P'))
            out += line + '\n';
    }
    return out;
}

}  // namespace

class TestCliE2e : public QObject {
    Q_OBJECT
private slots:
    void init();
    void probe();
    void readThenRestoreGivesTheSameMemory();
    void readKeepsCommentsAndBacksUp();
    void refusedFileTouchesNothing_data();
    void refusedFileTouchesNothing();
    void qmbRestoreNeedsNoRadio();
    void noRadio();
    void upgrade();
    void usage_data();
    void usage();
    void progressOnlyOnATerminal();
    void killedSave_data();
    void killedSave();

private:
    std::unique_ptr<QTemporaryDir> m_tmp;
    QString m_data;
};

void TestCliE2e::init()
{
    m_tmp = std::make_unique<QTemporaryDir>();
    QVERIFY(m_tmp->isValid());
    m_data = m_tmp->filePath("data");
    QVERIFY(QDir().mkpath(m_data));
}

void TestCliE2e::probe()
{
    SimProcess radio({"--fast"});
    QVERIFY(!radio.pty().isEmpty());
    const Run run = RunCli({"--port", "/dev/vardo-no-such-port", "--port", radio.pty(), "probe"});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, radio.pty() + "\n");
    QCOMPARE(run.err, QString());
}

void TestCliE2e::readThenRestoreGivesTheSameMemory()
{
    const QString imageA = m_tmp->filePath("a.txt");
    const QString imageB = m_tmp->filePath("b.txt");
    QVERIFY(PutDemoImage(imageA));
    {
        SimProcess radio({"--fast", "--memory", imageA, "--save-on-exit"});
        QVERIFY(!radio.pty().isEmpty());
        const Run read = RunCli({"--port", radio.pty(), "--data-dir", m_data, "read", "all"});
        QVERIFY2(read.status == 0, qPrintable(read.err));
        QCOMPARE(read.out, "113 channels saved to " + m_data + "/AllMem.txt\n");
    }
    QVERIFY(PutFile(imageB, WithoutStorableChannels(imageA)));
    QVERIFY(Records(imageB) != Records(imageA));
    {
        SimProcess radio({"--fast", "--memory", imageB, "--save-on-exit"});
        QVERIFY(!radio.pty().isEmpty());
        const Run restore = RunCli({"--port", radio.pty(), "--data-dir", m_data, "restore", "all"});
        QVERIFY2(restore.status == 0, qPrintable(restore.err));
        // The demo leaves channels 78 to 99 blank: they read as 0.00 kHz, which the radio
        // cannot be set to, so they are not written (and stay blank).
        QStringList blank;
        for (int channel = 78; channel <= 99; ++channel)
            blank << QString::number(channel);
        QCOMPARE(restore.out, "86 channels written into the radio from " + m_data
                     + "/AllMem.txt (not written, no frequency the radio takes: " + blank.join(", ") + ")\n");
    }
    const QMap<QString, QString> a = Records(imageA);
    const QMap<QString, QString> b = Records(imageB);
    QCOMPARE(b.size(), 115);  // VFO-A, VFO-B and 113 channels
    QCOMPARE(b.keys(), a.keys());
    for (auto it = a.begin(); it != a.end(); ++it) {
        const QString restored = b.value(it.key());
        QVERIFY2(Shown(restored) == Shown(it.value()),
                 qPrintable(it.key() + ": " + it.value() + " / " + restored));
    }
    QCOMPARE(b.value("VFO-A"), a.value("VFO-A"));
}

void TestCliE2e::readKeepsCommentsAndBacksUp()
{
    QVERIFY(RunCli({"--simulate", "--data-dir", m_data, "read", "pms"}).status == 0);
    QByteArray first = FileBytes(m_data + "/Pms.txt");
    QList<QByteArray> lines = first.split('\n');
    lines[2] = lines[2].chopped(1) + "band edge: 40 m, Bod\xC3\xB8\r";
    QVERIFY(PutFile(m_data + "/Pms.txt", lines.join('\n')));

    const Run again = RunCli({"--simulate", "--data-dir", m_data, "read", "pms"});
    QVERIFY2(again.status == 0, qPrintable(again.err));
    QCOMPARE(FileBytes(m_data + "/Pms.bak"), lines.join('\n'));
    QCOMPARE(FileBytes(m_data + "/Pms.txt"), lines.join('\n'));
}

void TestCliE2e::refusedFileTouchesNothing_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<QByteArray>("replacement");
    QTest::addColumn<QString>("problem");
    QTest::newRow("fewer than nine colons") << 50 << QByteArray("7074.00:USB:2.4K:2.4K:A:OFF:OFF:0.00:OFF\r")
                                            << "line 50 has fewer than nine colons.";
    QTest::newRow("unknown mode") << 108 << QByteArray("7074.00:DIGI:2.4K:2.4K:A:OFF:OFF:0.00:OFF:\r")
                                  << "line 108 has an unknown Mode setting (\"DIGI\").";
    QTest::newRow("truncated") << 0 << QByteArray() << "line 101 is missing: the file has 100 of its 113 lines.";
}

void TestCliE2e::refusedFileTouchesNothing()
{
    QFETCH(int, line);
    QFETCH(QByteArray, replacement);
    QFETCH(QString, problem);
    QVERIFY(RunCli({"--simulate", "--data-dir", m_data, "read", "all"}).status == 0);
    QList<QByteArray> lines = FileBytes(m_data + "/AllMem.txt").split('\n');
    if (line > 0)
        lines[line - 1] = replacement;
    else
        lines = lines.mid(0, 100) << QByteArray();
    QVERIFY(PutFile(m_data + "/AllMem.txt", lines.join('\n')));

    const QString image = m_tmp->filePath("image.txt");
    QVERIFY(PutDemoImage(image));
    const QMap<QString, QString> before = Records(image);
    {
        SimProcess radio({"--fast", "--memory", image, "--save-on-exit"});
        const Run run = RunCli({"--port", radio.pty(), "--data-dir", m_data, "restore", "all"});
        QCOMPARE(run.status, 1);
        QCOMPARE(run.err, "vardo-cli: Cannot load \"" + m_data + "/AllMem.txt\": " + problem + "\n");
    }
    QCOMPARE(Records(image), before);
}

void TestCliE2e::qmbRestoreNeedsNoRadio()
{
    QVERIFY(RunCli({"--simulate", "--data-dir", m_data, "read", "qmb"}).status == 0);
    const Run run = RunCli({"--port", "/dev/vardo-no-such-port", "--data-dir", m_data, "restore", "qmb"});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.err, QString());
}

void TestCliE2e::noRadio()
{
    SimProcess silent({"--fast", "--silent"});
    const Run run = RunCli({"--port", silent.pty(), "--data-dir", m_data, "read", "99"});
    QCOMPARE(run.status, 1);
    QCOMPARE(run.err, "vardo-cli: the FT-1000MP did not answer on any port (tried: " + silent.pty() + ")\n");
    QCOMPARE(FileListing(m_data), QStringList());
    const Run missing = RunCli({"--port", silent.pty(), "--data-dir", m_data, "restore", "all"});
    QCOMPARE(missing.status, 1);
    QCOMPARE(missing.err, "vardo-cli: Cannot load because the \"All.Mem.txt\" data file has never been saved!\n");
}

void TestCliE2e::upgrade()
{
    QByteArray old;
    for (int i = 1; i <= 9; ++i)
        old += QByteArray::number(1800 + i) + ".00,LSB,2.4K,2.0K,A,OFF,OFF,0.00,OFF,edge, " + QByteArray::number(i) + "\r\n";
    QVERIFY(PutFile(m_data + "/Pms.txt", old));
    QVERIFY(PutFile(m_data + "/Qmb.txt", old.left(old.indexOf('\n') + 1)));
    QVERIFY(PutFile(m_data + "/AllMem.txt.AbCdEf", "left by a killed save"));
    const Run run = RunCli({"--data-dir", m_data, "upgrade"});
    QCOMPARE(run.status, 1);
    QCOMPARE(run.err, "vardo-cli: \"" + m_data + "/Qmb.txt\" is in the old layout but has 1 of its 5 lines; "
                      "it was left as it was.\n");
    QVERIFY(FileBytes(m_data + "/Pms.txt").startsWith("1801.00:LSB:2.4K:2.0K:A:OFF:OFF:0.00:OFF:edge, 1\r\n"));
    QCOMPARE(FileListing(m_data), QStringList({"Pms.txt", "Qmb.txt"}));
    QCOMPARE(RunCli({"--data-dir", m_data, "restore", "pms", "--simulate"}).status, 0);
}

void TestCliE2e::usage_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("err");
    QTest::newRow("no command") << QStringList() << "vardo-cli: no command given (try --help)\n";
    QTest::newRow("unknown command") << QStringList{"save"} << "vardo-cli: unknown command \"save\" (try --help)\n";
    QTest::newRow("no view") << QStringList{"read"} << "vardo-cli: read needs one VIEW: all, 99, pms or qmb (try --help)\n";
    QTest::newRow("bad view") << QStringList{"restore", "PMS"}
                              << "vardo-cli: unknown VIEW \"PMS\": use all, 99, pms or qmb (try --help)\n";
    QTest::newRow("extra word") << QStringList{"probe", "all"} << "vardo-cli: probe takes no further arguments (try --help)\n";
    QTest::newRow("unknown option") << QStringList{"--fast", "probe"} << "vardo-cli: Unknown option 'fast'. (try --help)\n";
}

void TestCliE2e::usage()
{
    QFETCH(QStringList, args);
    const Run run = RunCli(args);
    QCOMPARE(run.status, 2);
    QTEST(run.err, "err");
}

void TestCliE2e::progressOnlyOnATerminal()
{
    const QString command = QStringList{Cli(), "--simulate", "--data-dir", m_data, "restore", "pms"}.join(' ');
    QVERIFY(RunCli({"--simulate", "--data-dir", m_data, "read", "pms"}).err.isEmpty());
    // script(1) gives the program a terminal to write to.
    const Run onTerminal = Execute("script", {"-qec", command, "/dev/null"});
    if (onTerminal.status != 0)
        QSKIP("script(1) cannot give the program a terminal here");
    QVERIFY2(onTerminal.out.contains("\rvardo-cli: writing channel 9 of 9"), qPrintable(onTerminal.out));
    QVERIFY(onTerminal.out.contains("\rvardo-cli: writing channel 1 of 9"));
}

void TestCliE2e::killedSave_data()
{
    QTest::addColumn<QString>("inject");
    for (const char* step : {"fdatasync:1", "linkat:2", "rename:1", "fdatasync:2", "linkat:4", "rename:2"})
        QTest::newRow(step) << QString(step);
}

// vardo-cli read all on the in-process emulator, killed at one step of its save.
void TestCliE2e::killedSave()
{
    if (Execute("strace", {"-f", "-qq", "-o", "/dev/null", "true"}).status != 0)
        QSKIP("strace cannot trace here (is ptrace allowed?)");
    QFETCH(QString, inject);
    QVERIFY(RunCli({"--simulate", "--data-dir", m_data, "read", "all"}).status == 0);
    QList<QByteArray> lines = FileBytes(m_data + "/AllMem.txt").split('\n');
    lines[0] = lines[0].chopped(1) + "older\r";
    const QByteArray older = lines.join('\n');
    QVERIFY(PutFile(m_data + "/AllMem.txt", older));
    QVERIFY(PutFile(m_data + "/AllMem.bak", "previous backup\r\n"));
    const QByteArray newer = older;  // a read keeps the comments: the new file has the same bytes

    const QString spec = "inject=" + inject.section(':', 0, 0) + ":signal=KILL:when=" + inject.section(':', 1);
    const Run run = Execute("strace", {"-f", "-qq", "-o", "/dev/null", "-e", spec, Cli(), "--simulate",
                                       "--data-dir", m_data, "read", "all"});
    QVERIFY2(run.crashed || run.status == 128 + 9, qPrintable(run.err));
    QCOMPARE(FileBytes(m_data + "/AllMem.txt"), newer);
    const QByteArray backup = FileBytes(m_data + "/AllMem.bak");
    QVERIFY2(backup == "previous backup\r\n" || backup == older, backup.left(60));
    QCOMPARE(RunCli({"--data-dir", m_data, "upgrade"}).status, 0);
    QCOMPARE(FileListing(m_data), QStringList({"AllMem.bak", "AllMem.txt"}));
}

QTEST_GUILESS_MAIN(TestCliE2e)
#include "cli_test.moc"
