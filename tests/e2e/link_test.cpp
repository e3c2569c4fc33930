// SPDX-License-Identifier: GPL-3.0-or-later
// vardo-sim on a pseudo-terminal or a TCP port (as a serial-to-network server): the program's
// transports and clients nobody here wrote (Hamlib's rigctl, a plain QSerialPort) against it;
// vardo-cli against a link that misbehaves, ports that are no radio, and signals.
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <csignal>
#include <ctime>

#include <QSerialPort>
#include <QtTest>

#include "filebytes.h"
#include "processrun.h"
#include "radioclient.h"
#include "radiolink.h"
#include "serialtransport.h"
#include "simimage.h"
#include "simprocess.h"
#include "tcptransport.h"

using namespace vardo;
using namespace vardo::test;

namespace {

constexpr int kSignalWaitMs = 30000;

QString Cli() { return qEnvironmentVariable("VARDO_BIN") + "/vardo-cli"; }
ProcessRun RunCli(const QStringList& args) { return RunProcess(Cli(), args); }

QByteArray Hex(const char* text) { return QByteArray::fromHex(text); }

// What rigctl printed, or its exit code when it failed.
QString Rigctl(const QString& pty, const QStringList& commands)
{
    const ProcessRun run = RunProcess("rigctl", QStringList{"-m", "1024", "-r", pty, "-s", "4800"} + commands);
    return run.status == 0 ? run.out : QStringLiteral("failed: %1").arg(run.status);
}

// rigctl prints a binary reply as \0xHH\0xHH... followed by the byte count.
QByteArray RawReply(const QString& out)
{
    const auto match = QRegularExpression(R"(((?:\\0x[0-9A-Fa-f]{2})+) \d+)").match(out);
    return QByteArray::fromHex(match.captured(1).remove("\\0x").toLatin1());
}

// An image whose records carry bytes a line discipline could eat or rigctl print as text.
const QByteArray kImage = "VFO-A: 00002CEC000000011100000000000000\n"
                          "VFO-B: 8002D325000000041100000000000000  # masked bit set so rigctl prints hex\n"
                          "3: 0311130A0D0A0D110313FF0000000000\n"
                          "10: 0A0D0A0D0A0D0A0D0A0D0A0D0A0D0A0D\n"
                          "13: 110D130A0311130D0A03111311131113\n"
                          "17: 1313131313131313131313131313FF11\n"
                          "21: 80001B8B00FCE0021100000000000000  meter=90  # masked, -0.50 kHz offset\n";

QString HexOf(const QByteArray& bytes) { return QString::fromLatin1(bytes.toHex().toUpper()); }

// One request's reply: all that arrives until the line is quiet, or nothing within `waitMs`.
QByteArray Exchange(QSerialPort& port, const QByteArray& request, int waitMs)
{
    constexpr int kQuietMs = 150;
    port.clear(QSerialPort::Input);
    port.write(request);
    port.waitForBytesWritten(waitMs);
    QByteArray reply;
    for (int wait = waitMs; port.waitForReadyRead(wait); wait = kQuietMs)
        reply += port.readAll();
    return reply;
}

const QString kVfoARequest = QStringLiteral("00 00 00 02 10");

// The frames that set VFO-A back to the demo image's own: 14195.00 kHz USB, 2.4K filters,
// clarifiers off, offset 0, no repeater shift.
const QStringList kDemoVfoAFrames{"00 00 00 01 0C", "01 00 00 00 8C", "02 00 00 00 8C", "00 95 41 01 0A",
                                  "00 00 00 00 09", "00 00 00 80 09", "00 00 00 FF 09", "00 00 00 00 84"};

// The process has a handler of its own for the signal (Linux's /proc says which it catches).
bool Catches(qint64 pid, int signal)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("SigCgt:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (signal - 1)) & 1;
    return false;
}

}  // namespace

class LinkE2eTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void lostLink_data()
    {
        QTest::addColumn<bool>("tcp");
        QTest::addColumn<bool>("duringRead");
        QTest::addColumn<QString>("error");  // how it begins; %1 is the port
        QTest::newRow("in the middle of a read") << false << true << "The connection to the radio on %1 was lost";
        QTest::newRow("while idle") << false << false << "The radio on %1 does not answer any more.\r"
                                                         "Check that it is switched on and connected, then try again.";
        QTest::newRow("the server gone in the middle of a read, then back") << true << true << "The connection to the radio on %1 was lost";
    }

    // vardo-sim at real speed killed: the window hears of it once (at its next request if idle), the
    // worker does not spin on the dead port, and a server back on its address is used again.
    void lostLink()
    {
        QFETCH(bool, tcp);
        QFETCH(bool, duringRead);
        QFETCH(QString, error);
        auto radio = std::make_unique<SimProcess>(tcp ? QStringList{"--tcp", "0"} : QStringList{});
        const QString name = radio->pty();
        RadioClient client(tcp ? TcpTransport::factory({}) : SerialTransport::factory());
        QObject window;
        QStringList failed;
        int answers = 0;
        const RadioDone answer = [&](const LinkResult& outcome) {
            ++answers;
            if (!outcome.ok)
                failed << outcome.error;
        };
        const auto answered = [&](int count) { return QTest::qWaitFor([&] { return answers == count; }, kSignalWaitMs); };
        QSignalSpy records(&client, &RadioClient::recordRead);
        QVERIFY(client.findRadio({name}, &window, [&](const QString&) { ++answers; }) && answered(1));
        if (duringRead) {
            QVERIFY(client.readMemories(1, 113, &window, {}, answer));
            QTRY_VERIFY_WITH_TIMEOUT(records.size() >= 3, kSignalWaitMs);
        }
        radio->kill();
        QVERIFY(!duringRead || answered(2));
        // A worker looping on the port's repeated error would burn this whole second: there is no
        // event to wait for, only a span of time to measure the CPU over.
        const std::clock_t cpuBefore = std::clock();  // all threads of this process
        QTest::qWait(1000);
        QVERIFY2(std::clock() - cpuBefore < CLOCKS_PER_SEC / 2, "the worker is busy although the port is gone");
        QVERIFY(duringRead || (client.readMemories(1, 5, &window, {}, answer) && answered(2)));
        QCOMPARE(failed.size(), 1);
        QVERIFY2(failed[0].startsWith(error.arg(name)), qPrintable(failed[0]));
        QTest::qWait(100);  // a second answer to the same request would come at once; none may
        QCOMPARE(answers, 2);  // the search's and the failed read's, once each
        QVERIFY(records.size() < 113 && !client.busy());
        if (!tcp)
            return;
        radio = std::make_unique<SimProcess>(QStringList{"--tcp", name.section(':', -1)});
        QCOMPARE(radio->pty(), name);
        records.clear();
        QVERIFY(client.readMemories(109, 113, &window, {}, answer) && answered(3));
        QCOMPARE(failed.size(), 1);
        QCOMPARE(records.size(), 5);
    }

    // vardo-cli over TCP to a radio 150 ms away each way, at the line's pace: a second read gives
    // exactly the restored file back. Without the read-back the program ends only once the last
    // commands can have crossed the network and the line: the emulator, stopped then, has them.
    void readRestoreAndReadBack()
    {
        SimProcess radio({"--tcp", "0", "--log", "--latency", "150"});
        QTemporaryDir first, second;
        const auto run = [&](const QTemporaryDir& dir, const QStringList& command) {
            const ProcessRun done = RunCli(QStringList{"--port", radio.pty(), "--data-dir", dir.path()} + command);
            return done.status == 0 ? QString() : done.err;
        };
        QCOMPARE(run(first, {"read", "pms"}), QString());
        QByteArray pms = FileBytes(first.filePath("Pms.txt"));
        QCOMPARE(pms.count("\r\n"), 9);
        pms.replace(0, pms.indexOf(':'), "21074.00");
        QVERIFY(PutFile(first.filePath("Pms.txt"), pms));
        QCOMPARE(run(first, {"restore", "pms"}), QString());
        QCOMPARE(run(second, {"read", "pms"}), QString());
        QCOMPARE(FileBytes(second.filePath("Pms.txt")), pms);
        QCOMPARE(run(second, {"restore", "pms", "--no-verify"}), QString());
        radio.stop();
        QCOMPARE(radio.unreadLines().last(), QStringLiteral("00 00 00 00 84"));
    }

    // Through an interface that echoes each request the echoes are skipped: the file is as from a plain link.
    void readThroughAnEcho()
    {
        QTemporaryDir reference, data;
        QCOMPARE(RunCli({"--simulate", "--data-dir", reference.path(), "read", "pms"}).status, 0);
        SimProcess radio({"--echo"});
        const auto run = RunCli({"--port", radio.pty(), "--data-dir", data.path(), "read", "pms"});
        QCOMPARE(Outcome(run), "0|9 channels saved to " + data.filePath("Pms.txt") + "\n|");
        QCOMPARE(FileBytes(data.filePath("Pms.txt")), FileBytes(reference.filePath("Pms.txt")));
    }

    // The connected socket has TCP_NODELAY on: without it every second frame after a reply waits
    // some 40 ms for Nagle's algorithm.
    void framesGoOutWithoutDelay()
    {
        SimProcess radio({"--tcp", "0", "--fast"});
        TcpTransport transport(radio.pty());
        QVERIFY2(transport.open(), qPrintable(transport.errorString()));
        const auto port = htons(quint16(radio.pty().section(':', -1).toUInt()));
        int noDelay = -1;
        for (int fd = 0; fd < 1024 && noDelay < 0; ++fd) {
            sockaddr_in peer{};
            socklen_t size = sizeof peer, length = sizeof(int);
            int value = 0;
            if (::getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &size) == 0 && peer.sin_family == AF_INET
                && peer.sin_port == port && ::getsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &value, &length) == 0)
                noDelay = value;
        }
        QVERIFY2(noDelay > 0, noDelay < 0 ? "no socket to the emulator found" : "TCP_NODELAY is off");
    }

    void rigctlSetsAndReadsBack()
    {
        if (QStandardPaths::findExecutable("rigctl").isEmpty())
            QSKIP("rigctl (Debian package libhamlib-utils) is not installed");
        QTemporaryDir dir;
        const QString image = dir.filePath("memory.txt");
        const QString link = dir.filePath("ft1000mp");
        QVERIFY(PutFile(image, kImage));
        const QMap<QString, QString> held = Records(image);
        SimProcess sim({"--fast", "--memory", image, "--save-on-exit", "--link", link});
        QCOMPARE(QFileInfo(link).symLinkTarget(), sim.pty());

        QCOMPARE(Rigctl(link, {"F", "14025000", "M", "USB", "0"}), QString());
        // A second process: the answers come from the emulator, not from rigctl's cache.
        QCOMPARE(Rigctl(sim.pty(), {"f", "m"}).split('\n').mid(0, 2), QStringList({"14025000", "USB"}));
        QCOMPARE(HexOf(RawReply(Rigctl(sim.pty(), {"W", "\\0x15\\0x00\\0x00\\0x04\\0x10", "16"}))), held["21"]);
        const QString vfos = HexOf(RawReply(Rigctl(sim.pty(), {"W", "\\0x00\\0x00\\0x00\\0x03\\0x10", "32"})));

        QCOMPARE(sim.stop(), 0);
        QVERIFY(!QFileInfo(link).isSymLink());  // the link goes with the emulator
        const QMap<QString, QString> saved = Records(image);
        QCOMPARE(saved["VFO-A"] + saved["VFO-B"], vfos);
        // 14025.00 kHz (as 1.6 times the frequency in Hz), mode byte 01: USB.
        QCOMPARE(saved["VFO-A"].left(16), "0001566840000001");
        QCOMPARE(saved["21"], held["21"]);
    }

    // With real timing, requests and records full of CR, LF, XON, XOFF and ^C cross the pty
    // untouched, and a client that died in the middle of a frame does not shift later frames.
    void plainSerialClient()
    {
        QTemporaryDir dir;
        const QString image = dir.filePath("memory.txt");
        QVERIFY(PutFile(image, kImage));
        const QMap<QString, QString> held = Records(image);
        SimProcess sim({"--memory", image});
        QSerialPort port(sim.pty());  // a client of its own at the radio's line settings
        QVERIFY2(port.open(QIODevice::ReadWrite) && port.setBaudRate(4800) && port.setStopBits(QSerialPort::TwoStop),
                 qPrintable(port.errorString()));
        for (int channel : {3, 10, 13, 17})
            QCOMPARE(HexOf(Exchange(port, char(channel) + Hex("00 00 04 10"), 2000)), held[QString::number(channel)]);
        QCOMPARE(Exchange(port, Hex("00 00 00"), 300), QByteArray());
        // The emulator drops a partial frame after a quiet gap on the wire, which nothing signals.
        QTest::qWait(800);
        QCOMPARE(Exchange(port, Hex("00 00 00 00 FA"), 2000), Hex("00 00 00 03 93"));
    }

    void badArguments_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");  // a usage error, "(try --help)", has status 2, others 1
        const QString sim = "vardo-sim";
        QTest::newRow("ident") << sim << QStringList{"--ident", "03"} << "--ident takes four hexadecimal digits, e.g. 0393";
        QTest::newRow("stop-after") << sim << QStringList{"--stop-after", "x"} << "--stop-after takes a number of replies";
        QTest::newRow("save without file") << sim << QStringList{"--save-on-exit"} << "--save-on-exit needs --memory FILE";
        QTest::newRow("missing image") << sim << QStringList{"--memory", "/nonexistent/memory.txt"}
                                       << "/nonexistent/memory.txt: No such file or directory";
        const QString folder = "--data-dir needs a folder name (try --help)";
        QTest::newRow("empty --data-dir") << "vardo-cli" << QStringList{"--data-dir", "", "--simulate", "probe"} << folder;
        QTest::newRow("empty --data-dir for print, a GUI application")
            << "vardo-cli" << QStringList{"--data-dir", "", "print", "all", "--pdf", "x.pdf"} << folder;
    }
    // The message ends standard error: a GUI application may have warnings of its own before it.
    void badArguments()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        const ProcessRun run = RunProcess(qEnvironmentVariable("VARDO_BIN") + "/" + program, args);
        QCOMPARE(run.status, message.endsWith("(try --help)") ? 2 : 1);
        QVERIFY2(run.out.isEmpty() && run.err.endsWith(program + ": " + message + "\n"), qPrintable(run.err));
    }

    // Each kind of port that is not the radio says what is wrong with it.
    void notFound_data()
    {
        QTest::addColumn<QString>("port");    // DIR: a folder of the test's; PTY: the emulator's port
        QTest::addColumn<QString>("reason");  // %1: the port; ending in "(", how the reason begins
        QTest::newRow("missing") << "DIR/missing" << "cannot open %1: No such file or directory";
        QTest::newRow("/dev/null") << "/dev/null" << "%1 is not a serial port";
        QTest::newRow("folder") << "DIR/folder" << "%1 is not a serial port";
        QTest::newRow("FIFO") << "DIR/fifo" << "%1 is not a serial port";
        QTest::newRow("held by another program") << "PTY" << "%1 is in use by another program";
        QTest::newRow("nothing listening") << "tcp://127.0.0.1:1" << "cannot open %1: Connection refused";
        // 1.3 s each way: the reply comes after the wait for it, within the second watched after.
        QTest::newRow("a radio 1.3 s away") << "PTY" << "%1 answered too late (";
    }
    void notFound()
    {
        QFETCH(QString, port);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const bool far = reason.endsWith('(');
        SimProcess radio(far ? QStringList{"--tcp", "0", "--latency", "1300"} : QStringList{"--fast"});
        port.replace("DIR", dir.path()).replace("PTY", radio.pty());
        QVERIFY(!port.endsWith("/folder") || QDir().mkpath(port));
        QVERIFY(!port.endsWith("/fifo") || ::mkfifo(qPrintable(port), 0600) == 0);
        QSerialPort holder(port);
        QVERIFY2(far || port != radio.pty() || holder.open(QIODevice::ReadWrite), qPrintable(holder.errorString()));
        const auto run = RunCli({"--port", port, "--data-dir", dir.path(), "probe"});
        const QString said = "1||vardo-cli: the FT-1000MP was not found (" + reason.arg(port);
        QVERIFY2(reason.endsWith('(') ? Outcome(run).startsWith(said) : Outcome(run) == said + ")\n", qPrintable(Outcome(run)));
    }

    // A signal while the restore waits for VFO-A: the batch writes no channel and sets VFO-A back
    // before the program ends. A second Ctrl-C ends it at once.
    void interrupt_data()
    {
        QTest::addColumn<QList<int>>("sent");
        QTest::addColumn<bool>("setBack");
        QTest::newRow("Ctrl-C") << QList<int>{SIGINT} << true;
        QTest::newRow("SIGTERM") << QList<int>{SIGTERM} << true;
        QTest::newRow("Ctrl-C twice") << QList<int>{SIGINT, SIGINT} << false;
    }
    void interrupt()
    {
        QFETCH(QList<int>, sent);
        QFETCH(bool, setBack);
        QTemporaryDir data;
        QCOMPARE(RunCli({"--simulate", "--data-dir", data.path(), "read", "all"}).status, 0);
        SimProcess radio({"--log"});  // at the line's pace
        QVERIFY(!radio.pty().isEmpty());
        QProcess cli;
        cli.start(Cli(), {"--port", radio.pty(), "--data-dir", data.path(), "restore", "all"});
        QVERIFY(cli.waitForStarted());
        QString frame;
        while (frame != kVfoARequest && !(frame = radio.nextLine()).isEmpty()) {
        }
        QCOMPARE(frame, kVfoARequest);
        // The radio holds its reply while the signals come in, so the cancel is seen once it comes.
        QCOMPARE(::kill(pid_t(radio.processId()), SIGSTOP), 0);
        // Each signal waits for the handler to be in place (the first) or to have run (the next,
        // which then takes the default course), so the kernel cannot merge the two.
        for (qsizetype i = 0; i < sent.size(); ++i) {
            QTRY_VERIFY_WITH_TIMEOUT(Catches(cli.processId(), sent[i]) == (i == 0), 10000);
            QCOMPARE(::kill(pid_t(cli.processId()), sent[i]), 0);
        }
        QCOMPARE(::kill(pid_t(radio.processId()), SIGCONT), 0);
        QVERIFY(cli.state() == QProcess::NotRunning || cli.waitForFinished(10000));
        QCOMPARE(cli.exitStatus(), setBack ? QProcess::NormalExit : QProcess::CrashExit);
        if (!setBack)
            return;
        QCOMPARE(cli.exitCode(), 1);
        QCOMPARE(QString::fromUtf8(cli.readAllStandardError()),
                 "vardo-cli: The write was stopped before the first channel. VFO-A has been set back as it was.\n");
        QStringList after;
        while (after.size() < kDemoVfoAFrames.size())
            after << radio.nextLine();
        QCOMPARE(after, kDemoVfoAFrames);
    }

    // A signal that comes once an import has saved its file and said so changes nothing: the
    // stdout line's write is held back by strace, SIGTERM arrives meanwhile, and the program
    // still ends with the import's own status and no word of an interruption.
    void signalAfterImportChangesNothing()
    {
        if (RunProcess("strace", {"-f", "-qq", "-o", "/dev/null", "true"}).status != 0)
            QSKIP("strace cannot trace here (is ptrace allowed?)");
        QTemporaryDir data;
        QVERIFY(PutFile(data.filePath("in.csv"), "Location,Frequency,Mode\r\n1,14.074,USB\r\n"));
        const QString out = data.filePath("out.txt");
        QProcess cli;
        cli.setStandardOutputFile(out);
        cli.start("strace", {"-f", "-qq", "-o", "/dev/null", "-P", out, "-e", "trace=write", "-e",
                             "inject=write:delay_exit=2000000", Cli(), "--data-dir", data.path(), "import", "pms",
                             "--csv", data.filePath("in.csv")});
        QVERIFY(cli.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(out).size() > 0, 20000);
        const QString children = QString::fromLatin1(
            FileBytes(QStringLiteral("/proc/%1/task/%1/children").arg(cli.processId())));
        const pid_t program = children.section(' ', 0, 0).toInt();
        QVERIFY(program > 0);
        QCOMPARE(::kill(program, SIGTERM), 0);
        QVERIFY(cli.waitForFinished(20000));
        QCOMPARE(cli.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(cli.readAllStandardError()), QString());
        QVERIFY(FileBytes(out).startsWith("1 channels imported into "));
        QVERIFY(FileBytes(data.filePath("Pms.txt")).startsWith("14074.00:USB:"));
    }

};

QTEST_GUILESS_MAIN(LinkE2eTest)
#include "link_test.moc"
