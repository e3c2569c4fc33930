// SPDX-License-Identifier: GPL-3.0-or-later
// vardo-sim on a pseudo-terminal or a TCP port (standing in for a serial-to-network server,
// tcp://127.0.0.1:PORT): the program's transports against it (lost link, search, restore), clients
// nobody here wrote (Hamlib's rigctl, model 1024, and a plain QSerialPort), its bad arguments.
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <ctime>

#include <QSerialPort>
#include <QtTest>

#include "filebytes.h"
#include "processrun.h"
#include "radioclient.h"
#include "radiolink.h"
#include "serialtransport.h"
#include "simprocess.h"
#include "tcptransport.h"

using namespace vardo;
using namespace vardo::test;

namespace {

constexpr int kSignalWaitMs = 30000;

ProcessRun RunCli(const QStringList& args) { return RunProcess(qEnvironmentVariable("VARDO_BIN") + "/vardo-cli", args); }

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

QString WriteImage(const QTemporaryDir& dir)
{
    return PutFile(dir.filePath("memory.txt"), kImage) ? dir.filePath("memory.txt") : QString();
}

// The record an image holds for one name, as bytes.
QByteArray ImageRecord(const QByteArray& image, const QByteArray& name)
{
    for (const QByteArray& line : image.split('\n'))
        if (line.startsWith(name + ": "))
            return QByteArray::fromHex(line.mid(name.size() + 2, 32));
    return {};
}

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
        const std::clock_t cpuBefore = std::clock();  // all threads of this process
        QTest::qWait(1000);
        // A worker looping on the port's repeated error would burn this whole second.
        QVERIFY2(std::clock() - cpuBefore < CLOCKS_PER_SEC / 2, "the worker is busy although the port is gone");
        QVERIFY(duringRead || (client.readMemories(1, 5, &window, {}, answer) && answered(2)));
        QCOMPARE(failed.size(), 1);
        QVERIFY2(failed[0].startsWith(error.arg(name)), qPrintable(failed[0]));
        QTest::qWait(100);
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

    void nothingListening_data()
    {
        QTest::addColumn<QStringList>("simArgs");  // none: nothing listens
        QTest::addColumn<QString>("reason");
        QTest::newRow("nothing listening") << QStringList() << "refused";
        // 1.3 s each way: the reply comes after the wait for it, within the second watched after.
        QTest::newRow("a radio 1.3 s away") << QStringList{"--tcp", "0", "--latency", "1300"} << "answered too late (";
    }

    // The search ends with the reason: nothing there, or a radio too far away to answer in time.
    void nothingListening()
    {
        QFETCH(QStringList, simArgs);
        QFETCH(QString, reason);
        std::unique_ptr<SimProcess> radio = simArgs.isEmpty() ? nullptr : std::make_unique<SimProcess>(simArgs);
        const QString port = radio ? radio->pty() : QStringLiteral("tcp://127.0.0.1:1");
        const ProcessRun probe = RunCli({"--port", port, "probe"});
        QCOMPARE(probe.status, 1);
        QVERIFY2(probe.err.contains(port) && probe.err.contains(reason), qPrintable(probe.err));
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
        const QString image = WriteImage(dir);
        const QString link = dir.filePath("ft1000mp");
        SimProcess sim({"--fast", "--memory", image, "--save-on-exit", "--link", link});
        QCOMPARE(QFileInfo(link).symLinkTarget(), sim.pty());

        QCOMPARE(Rigctl(link, {"F", "14025000", "M", "USB", "0"}), QString());
        // A second process: the answers come from the emulator, not from rigctl's cache.
        QCOMPARE(Rigctl(sim.pty(), {"f", "m"}).split('\n').mid(0, 2), QStringList({"14025000", "USB"}));
        QCOMPARE(RawReply(Rigctl(sim.pty(), {"W", "\\0x15\\0x00\\0x00\\0x04\\0x10", "16"})), ImageRecord(kImage, "21"));
        const QByteArray vfos = RawReply(Rigctl(sim.pty(), {"W", "\\0x00\\0x00\\0x00\\0x03\\0x10", "32"}));

        QCOMPARE(sim.stop(), 0);
        QVERIFY(!QFileInfo(link).isSymLink());  // the link goes with the emulator
        const QByteArray saved = FileBytes(image);
        QCOMPARE(ImageRecord(saved, "VFO-A") + ImageRecord(saved, "VFO-B"), vfos);
        // 14025.00 kHz (as 1.6 times the frequency in Hz), mode byte 01: USB.
        QCOMPARE(ImageRecord(saved, "VFO-A").left(8).toHex(' '), QByteArray("00 01 56 68 40 00 00 01"));
        QCOMPARE(ImageRecord(saved, "21"), ImageRecord(kImage, "21"));
    }

    // With real timing, requests and records full of CR, LF, XON, XOFF and ^C cross the pty
    // untouched, and a client that died in the middle of a frame does not shift later frames.
    void plainSerialClient()
    {
        QTemporaryDir dir;
        SimProcess sim({"--memory", WriteImage(dir)});
        QSerialPort port(sim.pty());  // a client of its own at the radio's line settings
        QVERIFY2(port.open(QIODevice::ReadWrite) && port.setBaudRate(4800) && port.setStopBits(QSerialPort::TwoStop),
                 qPrintable(port.errorString()));
        for (int channel : {3, 10, 13, 17})
            QCOMPARE(Exchange(port, char(channel) + Hex("00 00 04 10"), 2000), ImageRecord(kImage, QByteArray::number(channel)));
        QCOMPARE(Exchange(port, Hex("00 00 00"), 300), QByteArray());
        QTest::qWait(800);  // longer than the emulator's frame gap
        QCOMPARE(Exchange(port, Hex("00 00 00 00 FA"), 2000), Hex("00 00 00 03 93"));
    }

    void simBadArguments_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("ident") << QStringList{"--ident", "03"} << "--ident takes four hexadecimal digits, e.g. 0393";
        QTest::newRow("stop-after") << QStringList{"--stop-after", "x"} << "--stop-after takes a number of replies";
        QTest::newRow("save without file") << QStringList{"--save-on-exit"} << "--save-on-exit needs --memory FILE";
        QTest::newRow("missing image") << QStringList{"--memory", "/nonexistent/memory.txt"}
                                       << "/nonexistent/memory.txt: No such file or directory";
    }

    void simBadArguments()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        const ProcessRun run = RunProcess(SimProgram(), args);
        QCOMPARE(run.status, 1);
        QCOMPARE(run.err, "vardo-sim: " + message + "\n");
    }
};

QTEST_GUILESS_MAIN(LinkE2eTest)
#include "link_test.moc"
