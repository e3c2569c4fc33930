// The real serial transport against vardo-sim on a pseudo-terminal: the radio found among
// other ports, all 113 channels read, and a link that dies in the middle of a read.
#include <ctime>

#include <QtTest>

#include "codec.h"
#include "radioclient.h"
#include "radiolink.h"
#include "serialtransport.h"
#include "simprocess.h"
#include "simradio.h"

using namespace vardo;
using namespace vardo::test;

namespace {

constexpr int kSignalWaitMs = 30000;
const QString kNoSuchPort = QStringLiteral("/dev/vardo-no-such-port");

// CPU time of this process so far (all threads), in milliseconds.
qint64 CpuMs()
{
    return qint64(std::clock()) * 1000 / CLOCKS_PER_SEC;
}

}  // namespace

class LinkE2eTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void findAndReadAll_data();
    void findAndReadAll();
    void lostLinkInRead();
    void lostLinkThroughClient();
    void lostLinkWhileIdle();
    void scanUntilStopped();
};

void LinkE2eTest::findAndReadAll_data()
{
    QTest::addColumn<QStringList>("otherDevice");  // vardo-sim options of a device that is no radio
    QTest::newRow("a silent device before the radio") << QStringList{"--fast", "--silent"};
    QTest::newRow("a device with other identification") << QStringList{"--fast", "--ident", "0394"};
}

void LinkE2eTest::findAndReadAll()
{
    QFETCH(QStringList, otherDevice);
    SimProcess other(otherDevice);
    SimProcess radio({"--fast"});
    QVERIFY2(!other.pty().isEmpty() && !radio.pty().isEmpty(), qPrintable(radio.errorString()));

    RadioLink link(SerialTransport::factory());
    QVERIFY(link.FindRadio({kNoSuchPort, other.pty(), radio.pty()}));
    QCOMPARE(link.portName(), radio.pty());

    sim::SimRadio demo;  // vardo-sim starts from the demo image
    QVERIFY(demo.loadDemoImage());
    QList<int> channels;
    const LinkResult result = link.ReadMemories(1, 113, [&](int channel, const Record& record) {
        channels << channel;
        QCOMPARE(record, demo.memory(channel));
    });
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(channels.size(), 113);
    QCOMPARE(channels.last(), 113);
}

// vardo-sim killed in the middle of a read: the read ends with one failure naming the port,
// the port is closed at once, and the next operation says the radio is gone.
void LinkE2eTest::lostLinkInRead()
{
    SimProcess radio({"--fast"});
    QVERIFY(!radio.pty().isEmpty());
    RadioLink link(SerialTransport::factory());
    QVERIFY(link.FindRadio({radio.pty()}));

    int records = 0;
    const LinkResult result = link.ReadMemories(1, 113, [&](int channel, const Record&) {
        ++records;
        if (channel == 5)
            radio.kill();
    });
    QVERIFY(!result.ok);
    QVERIFY2(result.error.startsWith(QStringLiteral("The connection to the radio on %1 was lost").arg(radio.pty())),
             qPrintable(result.error));
    QCOMPARE(records, 5);
    QVERIFY(!link.isOpen());

    const LinkResult next = link.LoadVfoA(1);
    QCOMPARE(next.error, QStringLiteral("The radio on %1 does not answer any more.\r"
                                        "Check that it is switched on and connected, then try again.")
                             .arg(radio.pty()));
}

// The same through the worker thread, with the emulator at real speed: the window hears of
// it once, and the idle worker does not spin on the dead port afterwards.
void LinkE2eTest::lostLinkThroughClient()
{
    SimProcess radio({});
    QVERIFY(!radio.pty().isEmpty());
    RadioClient client(SerialTransport::factory());
    QSignalSpy done(&client, &RadioClient::finished);
    QSignalSpy failed(&client, &RadioClient::failed);
    QSignalSpy records(&client, &RadioClient::recordRead);
    QVERIFY(client.findRadio({radio.pty()}));
    QVERIFY(done.wait(kSignalWaitMs));
    QCOMPARE(client.portName(), radio.pty());

    QVERIFY(client.readMemories(1, 113));
    QTRY_VERIFY_WITH_TIMEOUT(records.size() >= 3, kSignalWaitMs);
    radio.kill();
    QVERIFY(failed.wait(kSignalWaitMs));
    QVERIFY(!client.busy());

    const qint64 cpuBefore = CpuMs();
    QTest::qWait(1000);
    // A worker looping on the port's repeated error would burn this whole second.
    QVERIFY2(CpuMs() - cpuBefore < 500, "the worker is busy although the port is gone");
    QCOMPARE(failed.size(), 1);
    QCOMPARE(done.size(), 1);  // only the search's
    QVERIFY(records.size() < 113);
}

// The emulator goes while nothing runs: the idle worker stays quiet, and the next request
// tries the port again and says plainly that the radio is gone.
void LinkE2eTest::lostLinkWhileIdle()
{
    auto radio = std::make_unique<SimProcess>(QStringList{"--fast"});
    const QString pty = radio->pty();
    QVERIFY(!pty.isEmpty());
    RadioClient client(SerialTransport::factory());
    QSignalSpy done(&client, &RadioClient::finished);
    QSignalSpy failed(&client, &RadioClient::failed);
    QVERIFY(client.findRadio({pty}));
    QVERIFY(done.wait(kSignalWaitMs));

    radio->kill();
    const qint64 cpuBefore = CpuMs();
    QTest::qWait(1000);
    QVERIFY2(CpuMs() - cpuBefore < 500, "the worker is busy although the port is gone");

    QVERIFY(client.readMemories(1, 5));
    QVERIFY(failed.wait(kSignalWaitMs));
    QCOMPARE(failed[0][0].toString(), QStringLiteral("The radio on %1 does not answer any more.\r"
                                                     "Check that it is switched on and connected, then try again.")
                                          .arg(pty));
}

// The scan over the real port: the meter replies are collected after the worker's own wait.
void LinkE2eTest::scanUntilStopped()
{
    SimProcess radio({"--fast"});
    QVERIFY(!radio.pty().isEmpty());
    RadioClient client(SerialTransport::factory());
    QSignalSpy done(&client, &RadioClient::finished);
    QSignalSpy failed(&client, &RadioClient::failed);
    QSignalSpy at(&client, &RadioClient::scanAt);
    QVERIFY(client.findRadio({radio.pty()}));
    QVERIFY(done.wait(kSignalWaitMs));

    QVERIFY(client.scan(1, 3, 255));  // nothing is ever above 255: no channel is held
    QTRY_VERIFY_WITH_TIMEOUT(at.size() >= 4, kSignalWaitMs);
    client.stopScan();
    QVERIFY(done.wait(kSignalWaitMs));
    QCOMPARE(failed.size(), 0);
    QList<int> visited;
    for (const QList<QVariant>& args : at)
        visited << args[0].toInt();
    QCOMPARE(visited.mid(0, 4), (QList<int>{1, 2, 3, 1}));
}

QTEST_GUILESS_MAIN(LinkE2eTest)
#include "link_test.moc"
