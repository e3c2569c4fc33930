// The window-side client: one operation at a time on the worker, signals on the window thread.
#include <QtTest>

#include "codec.h"
#include "linkfakes.h"
#include "radioclient.h"

using namespace vardo;
using namespace vardo::test;

namespace {

constexpr int kSignalWaitMs = 20000;  // only a hang ever gets near it
using Call = std::function<bool(RadioClient&, sim::SimRadio&)>;

// The client on the demo image. Its signals are noted as text, each on the thread that
// emitted it (a direct connection).
struct ClientBench : SimBench {
    std::unique_ptr<RadioClient> client = std::make_unique<RadioClient>(factory());
    QStringList events;
    QList<QThread*> threads;

    ClientBench()
    {
        radio->loadDemoImage();
        const auto note = [this](const QString& event) {
            events << event;
            threads << QThread::currentThread();
        };
        QObject::connect(client.get(), &RadioClient::recordRead, [this, note](int ch, const Channel& decoded) {
            note(QStringLiteral("read %1%2").arg(ch).arg(decoded == DecodeRecord(radio->memory(ch)) ? "" : " wrong"));
        });
        QObject::connect(client.get(), &RadioClient::channelWritten, [note](int n) { note(u"written %1"_qs.arg(n)); });
        QObject::connect(client.get(), &RadioClient::scanAt, [note](int n) { note(u"scan %1"_qs.arg(n)); });
        QObject::connect(client.get(), &RadioClient::busyChanged, [note](bool busy) { note(busy ? "busy" : "free"); });
        QObject::connect(client.get(), &RadioClient::finished, [note] { note("finished"); });
        QObject::connect(client.get(), &RadioClient::failed, [note](const QString& text) { note("failed: " + text); });
    }
    // Starts the call and waits until it ends; `events` then holds what it signalled.
    [[nodiscard]] bool run(const Call& call)
    {
        events.clear();
        return call(*client, *radio) && QTest::qWaitFor([this] { return !client->busy(); }, kSignalWaitMs);
    }
};

}  // namespace

class RadioClientTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void operation_data();
    void operation();
    void closingDuringScan();
};

void RadioClientTest::operation_data()
{
    QTest::addColumn<Call>("call");
    QTest::addColumn<QStringList>("events");

    const QStringList readQmb{"busy", "read 109", "read 110", "read 111", "read 112", "read 113", "free", "finished"};
    QTest::newRow("read") << Call([](RadioClient& c, auto&) { return c.readMemories(109, 113); }) << readQmb;
    QTest::newRow("read, radio falls silent after three") << Call([](RadioClient& c, sim::SimRadio& radio) {
        sim::Faults faults;
        faults.stopAfter = radio.replyCount() + 3;
        radio.setFaults(faults);
        return c.readMemories(1, 99);
    }) << QStringList{"busy", "read 1", "read 2", "read 3", "free",
                       "failed: The radio did not answer the request for memory channel 4."};
    QTest::newRow("batch write") << Call([](RadioClient& c, auto&) {
        return c.writeBatch({ChannelWrite{Channel{}, 4, 2}, ChannelWrite{Channel{}, 100, 1}});
    }) << QStringList{"busy", "written 4", "written 100", "free", "finished"};
    QTest::newRow("every other request refused while busy") << Call([](RadioClient& c, auto&) {
        return c.readMemories(109, 113) && c.busy() && !c.readMemories(1, 5) && !c.loadVfoA(3) && !c.findRadio({})
            && !c.scan(1, 5, 152) && !c.writeChannel({}) && !c.writeBatch({});
    }) << readQmb;
}

// What the window hears, all on its own thread; each row starts after the search ended.
void RadioClientTest::operation()
{
    QFETCH(Call, call);
    QFETCH(QStringList, events);

    ClientBench bench;
    QVERIFY(bench.run([](RadioClient& c, auto&) { return c.findRadio({"NONE", kSimPort}); }));
    QCOMPARE(bench.client->portName(), kSimPort);
    QVERIFY(bench.run(call));
    QCOMPARE(bench.events, events);
    QCOMPARE(bench.threads.count(QThread::currentThread()), bench.threads.size());
}

// Closing the window during a scan ends it and closes the port on the radio thread.
void RadioClientTest::closingDuringScan()
{
    ClientBench bench;
    QVERIFY(bench.run([](RadioClient& c, auto&) { return c.findRadio({kSimPort}); }));
    QVERIFY(bench.client->scan(1, 99, 152));
    QVERIFY(QTest::qWaitFor([&] { return bench.events.last() == u"scan 1"; }, kSignalWaitMs));
    bench.client.reset();
    QThread* closedOn = bench.wire->closedOn;
    QVERIFY(closedOn && closedOn != QThread::currentThread());
}

QTEST_GUILESS_MAIN(RadioClientTest)
#include "test_client.moc"
