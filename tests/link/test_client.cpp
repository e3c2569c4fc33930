// The window-side client: requests go to the worker thread, answers come back as signals on
// the window thread, one operation at a time.
#include <QtTest>

#include "codec.h"
#include "linkfakes.h"
#include "radioclient.h"
#include "simtransport.h"

using namespace vardo;
using namespace vardo::test;

namespace {

const QString kSimPort = QStringLiteral("SIM");
constexpr int kSignalWaitMs = 20000;  // generous: only a hang ever gets near it

struct Bench {
    std::shared_ptr<sim::SimRadio> radio = std::make_shared<sim::SimRadio>();
    std::shared_ptr<WireScript> wire = std::make_shared<WireScript>();
    std::unique_ptr<RadioClient> client = std::make_unique<RadioClient>(
        WithFailures(sim::SimulatedPortFactory(radio, kSimPort, {}, sim::Timing::Fast), wire));
    QList<QThread*> signalThreads;

    Bench()
    {
        radio->loadDemoImage();
        const auto note = [this] { signalThreads << QThread::currentThread(); };
        QObject::connect(client.get(), &RadioClient::recordRead, client.get(), note);
        QObject::connect(client.get(), &RadioClient::finished, client.get(), note);
        QObject::connect(client.get(), &RadioClient::failed, client.get(), note);
        QObject::connect(client.get(), &RadioClient::scanAt, client.get(), note);
    }
    bool find()
    {
        QSignalSpy done(client.get(), &RadioClient::finished);
        return client->findRadio({QStringLiteral("NONE"), kSimPort}) && done.wait(kSignalWaitMs);
    }
    [[nodiscard]] bool allOnThisThread() const
    {
        return std::all_of(signalThreads.begin(), signalThreads.end(),
                           [](QThread* t) { return t == QThread::currentThread(); });
    }
};

}  // namespace

class RadioClientTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void find_data();
    void find();
    void readFillsRowByRow();
    void oneOperationAtATime();
    void failureEndsBusy();
    void writeBatchReportsEachChannel();
    void scanUntilStopped();
    void closingDuringScan();
};

void RadioClientTest::find_data()
{
    QTest::addColumn<QStringList>("ports");
    QTest::addColumn<QString>("found");
    QTest::newRow("second port") << QStringList{"NONE", kSimPort} << kSimPort;
    QTest::newRow("nowhere") << QStringList{"NONE", "OTHER"} << QString();
}

void RadioClientTest::find()
{
    QFETCH(QStringList, ports);
    QFETCH(QString, found);
    Bench bench;
    QSignalSpy foundSpy(bench.client.get(), &RadioClient::radioFound);
    QSignalSpy notFound(bench.client.get(), &RadioClient::radioNotFound);
    QSignalSpy done(bench.client.get(), &RadioClient::finished);
    QVERIFY(bench.client->findRadio(ports));
    QVERIFY(done.wait(kSignalWaitMs));
    QCOMPARE(foundSpy.size(), found.isEmpty() ? 0 : 1);
    QCOMPARE(notFound.size(), found.isEmpty() ? 1 : 0);
    QCOMPARE(bench.client->portName(), found);
    QVERIFY(!bench.client->busy());

    // A second search forgets the port of the first.
    QVERIFY(bench.client->findRadio({QStringLiteral("NONE")}));
    QVERIFY(done.wait(kSignalWaitMs));
    QCOMPARE(bench.client->portName(), QString());
}

void RadioClientTest::readFillsRowByRow()
{
    Bench bench;
    QVERIFY(bench.find());
    QSignalSpy records(bench.client.get(), &RadioClient::recordRead);
    QSignalSpy done(bench.client.get(), &RadioClient::finished);
    QVERIFY(bench.client->readMemories(100, 113));
    QVERIFY(done.wait(kSignalWaitMs));
    QCOMPARE(records.size(), 14);
    for (int i = 0; i < records.size(); ++i) {
        const int channel = records[i][0].toInt();
        QCOMPARE(channel, 100 + i);
        QCOMPARE(records[i][1].value<Channel>(), DecodeRecord(bench.radio->memory(channel)));
    }
    QVERIFY(bench.allOnThisThread());
}

void RadioClientTest::oneOperationAtATime()
{
    Bench bench;
    QVERIFY(bench.find());
    QSignalSpy busy(bench.client.get(), &RadioClient::busyChanged);
    QSignalSpy done(bench.client.get(), &RadioClient::finished);
    QVERIFY(bench.client->readMemories(1, 113));
    QVERIFY(bench.client->busy());
    QVERIFY(!bench.client->readMemories(1, 5));
    QVERIFY(!bench.client->loadVfoA(3));
    QVERIFY(!bench.client->findRadio({kSimPort}));
    QVERIFY(!bench.client->scan(1, 5, 152));
    QVERIFY(!bench.client->writeChannel(ChannelWrite{}));
    QVERIFY(!bench.client->writeBatch({}));
    QVERIFY(done.wait(kSignalWaitMs));
    QCOMPARE(done.size(), 1);
    QVERIFY(!bench.client->busy());
    QCOMPARE(busy.size(), 2);
    QCOMPARE(busy[0][0].toBool(), true);
    QCOMPARE(busy[1][0].toBool(), false);
    // Free again: the next request is taken.
    QVERIFY(bench.client->loadVfoA(3));
    QVERIFY(done.wait(kSignalWaitMs));
    QCOMPARE(bench.radio->recalledChannel(), 3);
}

void RadioClientTest::failureEndsBusy()
{
    Bench bench;
    QVERIFY(bench.find());
    sim::Faults faults;
    faults.stopAfter = bench.radio->replyCount() + 3;
    bench.radio->setFaults(faults);
    QSignalSpy records(bench.client.get(), &RadioClient::recordRead);
    QSignalSpy failed(bench.client.get(), &RadioClient::failed);
    QSignalSpy done(bench.client.get(), &RadioClient::finished);
    QVERIFY(bench.client->readMemories(1, 99));
    QVERIFY(failed.wait(kSignalWaitMs));
    QCOMPARE(failed.size(), 1);
    QCOMPARE(failed[0][0].toString(), QStringLiteral("The radio did not answer the request for memory channel 4."));
    QCOMPARE(records.size(), 3);
    QCOMPARE(done.size(), 0);
    QVERIFY(!bench.client->busy());
    QVERIFY(bench.allOnThisThread());
}

void RadioClientTest::writeBatchReportsEachChannel()
{
    Bench bench;
    QVERIFY(bench.find());
    QSignalSpy written(bench.client.get(), &RadioClient::channelWritten);
    QSignalSpy done(bench.client.get(), &RadioClient::finished);
    QList<ChannelWrite> batch;
    for (int ch : {4, 5, 100}) {
        ChannelWrite w{DecodeRecord(bench.radio->memory(1)), ch, 2};
        batch << w;
    }
    QVERIFY(bench.client->writeBatch(batch));
    QVERIFY(done.wait(kSignalWaitMs));
    QCOMPARE(written.size(), 3);
    QCOMPARE(written[2][0].toInt(), 100);
    QCOMPARE(DecodeRecord(bench.radio->memory(100)).Mode, DecodeRecord(bench.radio->memory(1)).Mode);
}

void RadioClientTest::scanUntilStopped()
{
    Bench bench;
    QVERIFY(bench.find());
    QSignalSpy at(bench.client.get(), &RadioClient::scanAt);
    QSignalSpy done(bench.client.get(), &RadioClient::finished);
    QVERIFY(bench.client->scan(1, 2, 152));
    QTRY_VERIFY_WITH_TIMEOUT(at.size() >= 3, kSignalWaitMs);
    bench.client->stopScan();
    QVERIFY(done.wait(kSignalWaitMs));
    QCOMPARE(at[0][0].toInt(), 1);
    QCOMPARE(at[1][0].toInt(), 2);
    QCOMPARE(at[2][0].toInt(), 1);
    QVERIFY(!bench.client->busy());
    QVERIFY(bench.allOnThisThread());
}

// Closing the window while a scan runs ends the scan and closes the port on the radio thread.
void RadioClientTest::closingDuringScan()
{
    Bench bench;
    QVERIFY(bench.find());
    QSignalSpy at(bench.client.get(), &RadioClient::scanAt);
    QVERIFY(bench.client->scan(1, 99, 152));
    QVERIFY(at.wait(kSignalWaitMs));
    bench.client.reset();
    QThread* closedOn = bench.wire->closedOn;
    QVERIFY(closedOn != nullptr);
    QVERIFY(closedOn != QThread::currentThread());
}

QTEST_GUILESS_MAIN(RadioClientTest)
#include "test_client.moc"
