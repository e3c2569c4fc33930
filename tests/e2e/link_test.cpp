// SPDX-License-Identifier: GPL-3.0-or-later
// The serial and network transports against vardo-sim: search, full read, lost link. Over the
// network vardo-sim --tcp stands in for a serial-to-network server, reached as tcp://127.0.0.1:PORT.
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <ctime>

#include <QtTest>

#include "filebytes.h"
#include "processrun.h"
#include "radioclient.h"
#include "radiolink.h"
#include "serialtransport.h"
#include "simprocess.h"
#include "simradio.h"
#include "tcptransport.h"

using namespace vardo;
using namespace vardo::test;

namespace {

constexpr int kSignalWaitMs = 30000;

ProcessRun RunCli(const QStringList& args) { return RunProcess(qEnvironmentVariable("VARDO_BIN") + "/vardo-cli", args); }

}  // namespace

class LinkE2eTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void findAndReadAll();
    void lostLink_data();
    void lostLink();
    void readRestoreAndReadBack();
    void nothingListening_data();
    void nothingListening();
    void framesGoOutWithoutDelay();
};

// Before the radio: a port that does not exist, a silent device, one with other identification.
void LinkE2eTest::findAndReadAll()
{
    SimProcess silent({"--fast", "--silent"}), other({"--fast", "--ident", "0394"}), radio({"--fast"});
    RadioLink link(SerialTransport::factory());
    QVERIFY(link.FindRadio({"/dev/vardo-no-such-port", silent.pty(), other.pty(), radio.pty()}));
    QCOMPARE(link.portName(), radio.pty());
    sim::SimRadio demo;  // what vardo-sim starts with
    QVERIFY(demo.loadDemoImage());
    int channels = 0;
    const LinkResult result = link.ReadMemories(1, 113, [&](int channel, const Record& record) {
        QCOMPARE(record, demo.memory(channel));
        QCOMPARE(channel, ++channels);
    });
    QVERIFY2(result.ok && channels == 113, qPrintable(result.error));
}

void LinkE2eTest::lostLink_data()
{
    QTest::addColumn<bool>("tcp");
    QTest::addColumn<bool>("duringRead");
    QTest::addColumn<QString>("error");  // how it begins; %1 is the port
    const QString lost = "The connection to the radio on %1 was lost";
    QTest::newRow("in the middle of a read") << false << true << lost;
    QTest::newRow("while idle") << false << false << "The radio on %1 does not answer any more.\r"
                                                     "Check that it is switched on and connected, then try again.";
    QTest::newRow("the server gone in the middle of a read, then back") << true << true << lost;
}

// vardo-sim at real speed killed: the window hears of it once (when it next asks, if the link
// was idle), and the worker does not spin on the dead port. A server back on its address is
// connected to again at the next request.
void LinkE2eTest::lostLink()
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

// vardo-cli over TCP to a radio 150 ms away each way, at the line's pace: a read saves the radio's channels; a restore of an edited file writes and
// reads them back; a second read gives exactly the restored file back. Without the read-back
// nothing answers the last commands: the program ends only once they can have crossed the
// network and the line, so the emulator, stopped the moment it ends, has taken in the last of
// VFO-A's commands.
void LinkE2eTest::readRestoreAndReadBack()
{
    SimProcess radio({"--tcp", "0", "--log", "--latency", "150"});
    QVERIFY2(radio.pty().startsWith("tcp://127.0.0.1:"), qPrintable(radio.pty()));
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

void LinkE2eTest::nothingListening_data()
{
    QTest::addColumn<QStringList>("simArgs");  // none: nothing listens
    QTest::addColumn<QString>("reason");
    QTest::newRow("nothing listening") << QStringList() << "refused";
    // 1.3 s each way: the reply comes after the wait for it, within the second watched after.
    QTest::newRow("a radio 1.3 s away") << QStringList{"--tcp", "0", "--latency", "1300"} << "answered too late (";
}

// The search ends with the reason: nothing there, or a radio too far away to answer in time.
void LinkE2eTest::nothingListening()
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
void LinkE2eTest::framesGoOutWithoutDelay()
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

QTEST_GUILESS_MAIN(LinkE2eTest)
#include "link_test.moc"
