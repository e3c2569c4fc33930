// SPDX-License-Identifier: GPL-3.0-or-later
// The window-side client: one operation at a time on the worker, signals on the window thread.
#include <QtTest>

#include "codec.h"
#include "linkfakes.h"
#include "radioclient.h"

using namespace vardo;
using namespace vardo::test;

namespace {

constexpr int kSignalWaitMs = 20000;  // only a hang ever gets near it

// The client on the demo image. Its broadcast signals and the answers to the requests are
// noted as text, each on the thread that delivered it (a direct connection).
struct ClientBench : SimBench {
    std::unique_ptr<RadioClient> client = std::make_unique<RadioClient>(factory());
    QObject asker;  // the window that asks
    QStringList events;
    QList<QThread*> threads;

    ClientBench()
    {
        radio->loadDemoImage();
        QObject::connect(client.get(), &RadioClient::recordRead, [this](int ch, const Channel& decoded) {
            note(QStringLiteral("read %1%2").arg(ch).arg(decoded == DecodeRecord(radio->memory(ch)) ? "" : " wrong"));
        });
        QObject::connect(client.get(), &RadioClient::channelWritten, [this](int n) { note(u"written %1"_qs.arg(n)); });
        QObject::connect(client.get(), &RadioClient::scanAt, [this](int n) { note(u"scan %1"_qs.arg(n)); });
        QObject::connect(client.get(), &RadioClient::busyChanged, [this](bool busy) { note(busy ? "busy" : "free"); });
    }
    void note(const QString& event)
    {
        events << event;
        threads << QThread::currentThread();
    }
    // The answer a request gets, noted as "finished" or "failed: ..." with `label` before it.
    [[nodiscard]] RadioDone answer(const QString& label = {})
    {
        return [this, label](const LinkResult& outcome) {
            note(label + (outcome.ok ? u"finished"_qs : "failed: " + outcome.error));
        };
    }
    [[nodiscard]] bool waitFree() { return QTest::qWaitFor([this] { return !client->busy(); }, kSignalWaitMs); }
    [[nodiscard]] bool find(const QStringList& ports)
    {
        return client->findRadio(ports, &asker, [this](const QString& port) { note("found " + port); }) && waitFree();
    }
};

using Call = std::function<bool(ClientBench&, RadioClient&)>;

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

    const QStringList readQmb{"busy", "read 109", "read 110", "read 111", "read 112", "read 113", "finished", "free"};
    QTest::newRow("read, each record to the asker too") << Call([](ClientBench& b, RadioClient& c) {
        return c.readMemories(112, 113, &b.asker, [&b](int ch, const Channel&) { b.note(u"asker %1"_qs.arg(ch)); },
                              b.answer());
    }) << QStringList{"busy", "asker 112", "read 112", "asker 113", "read 113", "finished", "free"};
    // The failure reaches the asker while the client still counts as busy: a message box
    // shown from it comes before anything that waits for the end of the busy state.
    QTest::newRow("read, radio falls silent after three") << Call([](ClientBench& b, RadioClient& c) {
        sim::Faults faults;
        faults.stopAfter = b.radio->replyCount() + 3;
        b.radio->setFaults(faults);
        return c.readMemories(1, 99, &b.asker, {}, b.answer());
    }) << QStringList{"busy", "read 1", "read 2", "read 3",
                       "failed: The radio did not answer the request for memory channel 4.", "free"};
    QTest::newRow("batch write") << Call([](ClientBench& b, RadioClient& c) {
        return c.writeBatch({ChannelWrite{Channel{}, 4, 2}, ChannelWrite{Channel{}, 100, 1}}, &b.asker, b.answer());
    }) << QStringList{"busy", "written 4", "written 100", "finished", "free"};
    QTest::newRow("load VFO-A") << Call([](ClientBench& b, RadioClient& c) { return c.loadVfoA(3, &b.asker, b.answer()); })
                                << QStringList{"busy", "finished", "free"};
    QTest::newRow("every other request refused while busy") << Call([](ClientBench& b, RadioClient& c) {
        QObject* a = &b.asker;
        return c.readMemories(109, 113, a, {}, b.answer()) && c.busy() && !c.readMemories(1, 5, a, {}, b.answer())
            && !c.loadVfoA(3, a, b.answer()) && !c.findRadio({}, a, {}) && !c.scan(1, 5, 152, a, {}, b.answer())
            && !c.writeChannel({}, a, b.answer()) && !c.writeBatch({}, a, b.answer());
    }) << readQmb;
    // The next request started from an answer: the busy state runs on without a break.
    QTest::newRow("read started from a search's answer") << Call([](ClientBench& b, RadioClient& c) {
        return c.findRadio({kSimPort}, &b.asker, [&b, &c](const QString& port) {
            b.note("found " + port);
            c.readMemories(113, 113, &b.asker, {}, b.answer("then "));
        });
    }) << QStringList{"busy", "found SIM", "read 113", "then finished", "free"};
    QTest::newRow("a window gone before its request ended hears nothing") << Call([](ClientBench& b, RadioClient& c) {
        QObject gone;
        return c.readMemories(109, 113, &gone, [&b](int ch, const Channel&) { b.note(u"asker %1"_qs.arg(ch)); },
                              b.answer());
    }) << QStringList{"busy", "read 109", "read 110", "read 111", "read 112", "read 113", "free"};
}

// What the window hears, all on its own thread; each row starts after the search ended.
void RadioClientTest::operation()
{
    QFETCH(Call, call);
    QFETCH(QStringList, events);

    ClientBench bench;
    QVERIFY(bench.find({"NONE", kSimPort}));
    QCOMPARE(bench.events, QStringList({"busy", "found SIM", "free"}));
    QCOMPARE(bench.client->portName(), kSimPort);
    bench.events.clear();
    QVERIFY(call(bench, *bench.client));
    QVERIFY(bench.waitFree());
    QCOMPARE(bench.events, events);
    QCOMPARE(bench.threads.count(QThread::currentThread()), bench.threads.size());
}

// Closing the window during a scan ends it and closes the port on the radio thread.
void RadioClientTest::closingDuringScan()
{
    ClientBench bench;
    QVERIFY(bench.find({kSimPort}));
    QVERIFY(bench.client->scan(1, 99, 152, &bench.asker, {}, bench.answer()));
    QVERIFY(QTest::qWaitFor([&] { return bench.events.last() == u"scan 1"; }, kSignalWaitMs));
    bench.client.reset();
    QThread* closedOn = bench.wire->closedOn;
    QVERIFY(closedOn && closedOn != QThread::currentThread());
}

QTEST_GUILESS_MAIN(RadioClientTest)
#include "client_test.moc"
