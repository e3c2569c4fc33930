// SPDX-License-Identifier: GPL-3.0-or-later
// A radio reached over the network: vardo-sim --tcp stands in for a serial-to-network server,
// and vardo-cli and the radio client reach it as tcp://127.0.0.1:PORT at the real line's pace.
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
    void readRestoreAndReadBack();
    void lostConnectionThenReconnect();
    void nothingListening();
    void framesGoOutWithoutDelay();
};

// A read over TCP saves the radio's channels; a restore of an edited file writes them; a
// second read gives exactly the restored file back. (Unpaced: a read started while a paced
// radio still takes in a restore's queued bytes would wait behind them.)
void TcpTest::readRestoreAndReadBack()
{
    SimProcess radio({"--tcp", "0", "--fast"});
    QVERIFY2(radio.pty().startsWith("tcp://127.0.0.1:"), qPrintable(radio.pty()));
    QTemporaryDir first;
    QTemporaryDir second;
    const QStringList port{"--port", radio.pty()};
    const ProcessRun read = RunProcess(Cli(), port + QStringList{"--data-dir", first.path(), "read", "pms"});
    QCOMPARE(read.status, 0);
    QByteArray pms = FileBytes(first.filePath("Pms.txt"));
    QCOMPARE(pms.count("\r\n"), 9);
    const qsizetype colon = pms.indexOf(':');
    pms.replace(0, colon, "21074.00");
    QVERIFY(PutFile(first.filePath("Pms.txt"), pms));
    QCOMPARE(RunProcess(Cli(), port + QStringList{"--data-dir", first.path(), "restore", "pms"}).status, 0);
    QCOMPARE(RunProcess(Cli(), port + QStringList{"--data-dir", second.path(), "read", "pms"}).status, 0);
    QCOMPARE(FileBytes(second.filePath("Pms.txt")), pms);
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

// Nothing listens on the port: the search ends at once with the reason.
void TcpTest::nothingListening()
{
    const ProcessRun probe = RunProcess(Cli(), {"--port", "tcp://127.0.0.1:1", "probe"});
    QCOMPARE(probe.status, 1);
    QVERIFY2(probe.err.contains("tcp://127.0.0.1:1") && probe.err.contains("refused"), qPrintable(probe.err));
}

// The connection asks the system to send each frame at once (TCP_NODELAY): without it every
// second frame after a reply waits some 40 ms for Nagle's algorithm.
void TcpTest::framesGoOutWithoutDelay()
{
    if (RunProcess("strace", {"-f", "-qq", "-o", "/dev/null", "true"}).status != 0)
        QSKIP("strace cannot trace here (is ptrace allowed?)");
    SimProcess radio({"--tcp", "0", "--fast"});
    QTemporaryDir dir;
    const QString trace = dir.filePath("trace");
    const ProcessRun probe = RunProcess("strace", {"-f", "-qq", "-e", "trace=setsockopt", "-o", trace, Cli(), "--port",
                                                   radio.pty(), "probe"});
    QCOMPARE(probe.status, 0);
    QVERIFY2(FileBytes(trace).contains("TCP_NODELAY, [1]"), FileBytes(trace).constData());
}

QTEST_GUILESS_MAIN(TcpTest)
#include "tcp_test.moc"
