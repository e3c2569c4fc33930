// SPDX-License-Identifier: GPL-3.0-or-later
// A radio reached over the network: vardo-sim --tcp stands in for a serial-to-network server,
// and vardo-cli and the radio client reach it as tcp://127.0.0.1:PORT at the real line's pace.
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <QtTest>

#include "filebytes.h"
#include "processrun.h"
#include "radioclient.h"
#include "simprocess.h"
#include "tcptransport.h"

using namespace vardo;
using namespace vardo::test;

namespace {

constexpr int kWaitMs = 30000;

QString Cli()
{
    return qEnvironmentVariable("VARDO_BIN") + QStringLiteral("/vardo-cli");
}

}  // namespace

class TcpTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readRestoreAndReadBack_data();
    void readRestoreAndReadBack();
    void restoreEndsWhenTheRadioHasIt();
    void lostConnectionThenReconnect();
    void nothingListening_data();
    void nothingListening();
    void framesGoOutWithoutDelay();
};

void TcpTest::readRestoreAndReadBack_data()
{
    QTest::addColumn<QStringList>("simArgs");
    QTest::newRow("at once") << QStringList{"--fast"};
    QTest::newRow("at the line's pace, 150 ms away each way") << QStringList{"--latency", "150"};
}

// A read over TCP saves the radio's channels; a restore of an edited file writes and reads back
// them; a second read gives exactly the restored file back.
void TcpTest::readRestoreAndReadBack()
{
    QFETCH(QStringList, simArgs);
    SimProcess radio(QStringList{"--tcp", "0"} + simArgs);
    QVERIFY2(radio.pty().startsWith("tcp://127.0.0.1:"), qPrintable(radio.pty()));
    QTemporaryDir first;
    QTemporaryDir second;
    const QStringList port{"--port", radio.pty()};
    const ProcessRun read = RunProcess(Cli(), port + QStringList{"--data-dir", first.path(), "read", "pms"});
    QVERIFY2(read.status == 0, qPrintable(read.err));
    QByteArray pms = FileBytes(first.filePath("Pms.txt"));
    QCOMPARE(pms.count("\r\n"), 9);
    const qsizetype colon = pms.indexOf(':');
    pms.replace(0, colon, "21074.00");
    QVERIFY(PutFile(first.filePath("Pms.txt"), pms));
    const ProcessRun restore = RunProcess(Cli(), port + QStringList{"--data-dir", first.path(), "restore", "pms"});
    QVERIFY2(restore.status == 0, qPrintable(restore.err));
    QCOMPARE(RunProcess(Cli(), port + QStringList{"--data-dir", second.path(), "read", "pms"}).status, 0);
    QCOMPARE(FileBytes(second.filePath("Pms.txt")), pms);
}

// Without the read-back nothing answers the last commands: the program ends only once they can
// have crossed the network and the line. The emulator, stopped the moment it ends, has taken in
// the last of VFO-A's setting commands.
void TcpTest::restoreEndsWhenTheRadioHasIt()
{
    QTemporaryDir data;
    SimProcess radio({"--tcp", "0", "--latency", "150", "--log"});
    const QStringList port{"--port", radio.pty(), "--data-dir", data.path()};
    QCOMPARE(RunProcess(Cli(), port + QStringList{"read", "pms"}).status, 0);
    QCOMPARE(RunProcess(Cli(), port + QStringList{"restore", "pms", "--no-verify"}).status, 0);
    radio.stop();
    QCOMPARE(radio.unreadLines().last(), QStringLiteral("00 00 00 00 84"));
}

// The server going in the middle of a read is a lost link, said once; the next request
// connects again and works.
void TcpTest::lostConnectionThenReconnect()
{
    auto radio = std::make_unique<SimProcess>(QStringList{"--tcp", "0"});
    const QString name = radio->pty();
    QVERIFY(name.startsWith("tcp://"));
    RadioClient client(TcpTransport::factory({}));
    QObject window;
    QStringList outcomes;
    const RadioDone answer = [&](const LinkResult& r) { outcomes << (r.ok ? QStringLiteral("ok") : r.error); };
    QSignalSpy records(&client, &RadioClient::recordRead);
    QString found;
    QVERIFY(client.findRadio({name}, &window, [&](const QString& port) { found = port; }));
    QTRY_COMPARE_WITH_TIMEOUT(found, name, kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(!client.busy(), kWaitMs);

    QVERIFY(client.readMemories(1, 113, &window, {}, answer));
    QTRY_VERIFY_WITH_TIMEOUT(records.size() >= 3, kWaitMs);
    radio->kill();
    QTRY_COMPARE_WITH_TIMEOUT(outcomes.size(), 1, kWaitMs);
    QVERIFY2(outcomes[0].startsWith(QStringLiteral("The connection to the radio on %1 was lost").arg(name)),
             qPrintable(outcomes[0]));
    QVERIFY(records.size() < 113);

    radio = std::make_unique<SimProcess>(QStringList{"--tcp", name.section(':', -1)});
    QCOMPARE(radio->pty(), name);
    records.clear();
    QTRY_VERIFY_WITH_TIMEOUT(!client.busy(), kWaitMs);
    QVERIFY(client.readMemories(109, 113, &window, {}, answer));
    QTRY_COMPARE_WITH_TIMEOUT(outcomes.size(), 2, kWaitMs);
    QCOMPARE(outcomes[1], QStringLiteral("ok"));
    QCOMPARE(records.size(), 5);
}

void TcpTest::nothingListening_data()
{
    QTest::addColumn<QStringList>("simArgs");  // none: nothing listens
    QTest::addColumn<QString>("reason");
    QTest::newRow("nothing listening") << QStringList() << "refused";
    // 1.3 s each way: the reply comes after the wait for it, within the second watched after.
    QTest::newRow("a radio 1.3 s away") << QStringList{"--tcp", "0", "--latency", "1300"} << "answered too late (";
}

// The search ends with the reason: nothing there, or a radio too far away to answer in time.
void TcpTest::nothingListening()
{
    QFETCH(QStringList, simArgs);
    QFETCH(QString, reason);
    std::unique_ptr<SimProcess> radio = simArgs.isEmpty() ? nullptr : std::make_unique<SimProcess>(simArgs);
    const QString port = radio ? radio->pty() : QStringLiteral("tcp://127.0.0.1:1");
    const ProcessRun probe = RunProcess(Cli(), {"--port", port, "probe"});
    QCOMPARE(probe.status, 1);
    QVERIFY2(probe.err.contains(port) && probe.err.contains(reason), qPrintable(probe.err));
}

// The connected socket has TCP_NODELAY on: without it every second frame after a reply waits
// some 40 ms for Nagle's algorithm.
void TcpTest::framesGoOutWithoutDelay()
{
    SimProcess radio({"--tcp", "0", "--fast"});
    TcpTransport transport(radio.pty());
    QVERIFY2(transport.open(), qPrintable(transport.errorString()));
    const auto port = htons(quint16(radio.pty().section(':', -1).toUInt()));
    int noDelay = -1;
    for (int fd = 0; fd < 1024 && noDelay < 0; ++fd) {
        sockaddr_in peer{};
        socklen_t size = sizeof peer;
        int value = 0;
        socklen_t length = sizeof value;
        if (::getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &size) == 0 && peer.sin_family == AF_INET
            && peer.sin_port == port && ::getsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &value, &length) == 0)
            noDelay = value;
    }
    QVERIFY2(noDelay > 0, noDelay < 0 ? "no socket to the emulator found" : "TCP_NODELAY is off");
}

QTEST_GUILESS_MAIN(TcpTest)
#include "tcp_test.moc"
