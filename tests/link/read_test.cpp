// SPDX-License-Identifier: GPL-3.0-or-later
// The radio's operations on the emulator: finding it (which ports are probed, what each is sent,
// which is taken), reading memory channels (the requests on the wire, the records, a radio that
// stops answering or answers with too many or too few bytes, an echoing interface, the pacing
// chosen), the scan loop on a virtual clock, and the window-side client that runs them one at a
// time on its worker and signals on the window thread.
#include <map>

#include <QtTest>

#include "codec.h"
#include "linkfakes.h"
#include "portlist.h"
#include "radioclient.h"
#include "scanloop.h"

using namespace vardo;
using namespace vardo::test;
using namespace std::chrono_literals;

namespace {

using Reads = QList<std::pair<int, Record>>;

// Records no two channels share, so a shifted or mixed-up reply shows.
Reads Expected(int first, int last)
{
    Reads reads;
    for (int ch = first; ch <= last; ++ch) {
        Record r{};
        for (int i = 0; i < kRecordSize; ++i)
            r[i] = static_cast<std::uint8_t>(ch * 7 + i * 13 + 1);
        reads.append({ch, r});
    }
    return reads;
}

struct ReadCase {
    int first, last;
    bool sim::Faults::*fault{};
    int answered = -1;  // requests answered after the search (-1: all)
    int recordsRead = last - first + 1;
    QString error{};
    sim::Timing timing = sim::Timing::Virtual;
    int pacing = 5;  // ms between reply bytes, asked for at the search (5 unless the operator chose)
    QList<int> asked{};  // the requests in order, when they are not one for each channel read
    std::optional<sim::SimLine::Stray> stray{};  // added after the first reply of the read
};

using Visit = std::pair<int, qint64>;  // channel, virtual time in ms

struct ScanCase {
    int signal = 0;    // channel 2's meter level
    int stopAtMs = 0;  // when the stop flag is set (0: when channel 1 comes round again)
    QString fault{};   // "silent" radio, an "echo" of every frame, or "unplug" on reaching channel 2
    int last = 3;      // of the range from channel 1
    QList<Visit> visits{};
    QStringList frames{};
    QString error{};
};

const QString kMeter = QStringLiteral("00 00 00 00 F7");
QStringList Quiet(int channel) { return {ChannelFrame(channel, "06"), kMeter}; }  // loaded, its meter read once

// Every wait of the scan only moves a virtual clock on; channel 2's signal goes at 1250 ms.
struct ScanBench : LinkBench, Sleeper {
    std::chrono::milliseconds now{0};
    int stopAtMs = 0;  // 0: never
    std::atomic<bool> stop = false;

    void sleepFor(std::chrono::milliseconds duration) override
    {
        now += duration;
        if (now >= 1250ms)
            radio->setMeterLevel(2, 0);
        stop = stop || (stopAtMs && now.count() >= stopAtMs);
    }
};

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

class LinkOperationTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void probe_data();
    void probe();
    void portOrder();
    void read_data();
    void read();
    void scan_data();
    void scan();
    void operation_data();
    void operation();
    void closingDuringScan();
};

void LinkOperationTest::probe_data()
{
    QTest::addColumn<QStringList>("kinds");  // the devices on COM1, COM2, ...
    QTest::addColumn<QString>("found");
    QTest::addColumn<QStringList>("failures");  // why each port before it was not the radio

    const QString silent = QStringLiteral("COM%1 did not answer");
    const QString other = QStringLiteral("COM%1 answered, but not as the FT-1000MP");
    const QString busy = QStringLiteral("cannot open COM%1: The radio's link was lost");
    const auto row = [](const char* name, const QStringList& kinds, const QString& found, const QStringList& failures) {
        QTest::newRow(name) << kinds << found << failures;
    };
    row("radio on the third port, later ports untouched", {"silent", "silent", "radio", "radio", "silent"}, "COM3",
        {silent.arg(1), silent.arg(2)});
    row("a port that cannot be opened", {"busy", "radio"}, "COM2", {busy.arg(1)});
    row("a port that does not exist", {"none", "silent", "radio"}, "COM3",
        {"cannot open COM1: there is no such port", silent.arg(2)});
    row("five bytes, other identification", {"ident", "radio"}, "COM2", {other.arg(1)});
    row("six bytes, identification matching", {"six", "radio"}, "COM2", {other.arg(1)});
    row("an interface that echoes both frames", {"echo"}, "COM1", {});
    // Across a network the wait is 2 s longer, and the round trip found is allowed in later
    // replies' bounds; a reply after the wait is named late: the two frames take 22.9 ms on
    // the line, the reply starts 2.5 s later and takes 31.5 ms.
    row("across a network, 1.5 s away", {"remote1500"}, "COM1", {});
    row("across a network, 2.5 s away", {"remote2500", "radio"}, "COM2", {"COM1 answered too late (2554 ms)"});
    row("a serial port 150 ms away", {"serial150", "radio"}, "COM2", {silent.arg(1)});
    row("no radio anywhere", {"silent", "busy", "ident", "six", "none"}, "",
        {silent.arg(1), busy.arg(2), other.arg(3), other.arg(4), "cannot open COM5: there is no such port"});
}

void LinkOperationTest::probe()
{
    QFETCH(QStringList, kinds);
    QFETCH(QString, found);

    QStringList names;
    std::map<QString, SimBench> devices;
    for (const QString& kind : kinds) {
        names << QStringLiteral("COM%1").arg(names.size() + 1);
        if (kind == u"none")
            continue;
        SimBench& device = devices[names.last()];
        device.wire->network = kind.startsWith(u"remote");
        sim::Faults faults;
        faults.delay = std::chrono::milliseconds(kind.section(QRegularExpression("[a-z]+"), 1).toInt());
        std::tie(faults.silent, faults.echo) = std::pair(kind == u"silent", kind == u"echo");
        if (kind == u"ident")
            faults.ident = {{0x03, 0x94}};
        device.radio->setFaults(faults);
        if (kind == u"busy")  // in use, or refusing its settings
            device.radio->unplug();
        if (kind == u"six")  // a sixth byte 10 ms after the fifth
            device.wire->stray = StrayAfterReply(1, {std::chrono::milliseconds(10)});
    }
    RadioLink link([&](const QString& name) {
        return devices.contains(name) ? devices[name].factory(name, sim::Timing::Virtual)(name) : nullptr;
    });
    QCOMPARE(link.FindRadio(names), !found.isEmpty());
    QCOMPARE(link.portName(), found);
    QCOMPARE(link.isOpen(), !found.isEmpty());
    QStringList reasons;
    for (const ProbeFailure& failure : link.probeFailures())
        reasons << failure.reason;
    QTEST(reasons, "failures");

    const qsizetype probed = found.isEmpty() ? names.size() : names.indexOf(found) + 1;
    const QStringList probe{"00 00 00 05 0E", "00 00 00 00 FA"};
    for (const auto& [name, device] : devices) {
        const bool opened = names.indexOf(name) < probed && device.radio->isPlugged();
        QCOMPARE(device.sent(), opened ? probe : QStringList());
        QCOMPARE(device.wire->closes, int(opened && name != found));
    }
    if (!found.isEmpty())
        QVERIFY(link.ReadMemories(1, 2, {}).ok);
}

// Name order with numbers by value, at most sixteen.
void LinkOperationTest::portOrder()
{
    QCOMPARE(OrderedPortNames({"/dev/ttyUSB1", "/dev/ttyS10", "/dev/ttyS2", "/dev/ttyACM0", "/dev/ttyUSB0"}),
             (QStringList{"/dev/ttyACM0", "/dev/ttyS2", "/dev/ttyS10", "/dev/ttyUSB0", "/dev/ttyUSB1"}));
    QStringList twenty;
    for (int i = 0; i < 20; ++i)
        twenty << QStringLiteral("/dev/ttyS%1").arg(i);
    QCOMPARE(OrderedPortNames(QStringList(twenty.rbegin(), twenty.rend())), twenty.mid(0, 16));
}

void LinkOperationTest::read_data()
{
    QTest::addColumn<ReadCase>("c");
    const auto fast = sim::Timing::Fast;
    QTest::newRow("all") << ReadCase{.first = 1, .last = 113, .timing = fast};
    const QString noAnswer = QStringLiteral("The radio did not answer the request for memory channel %1.");
    const QString malformed = QStringLiteral("The radio's replies to the request for memory channel 1 were "
                                             "malformed (%1 bytes where 16 were expected).");
    const auto line = sim::Timing::Virtual;
    // The next request goes out once a reply has 16 bytes; a surplus byte in the window after
    // it makes that reply malformed. The last ask of a channel waits out the quiet gap.
    QTest::newRow("20-byte replies, at once")
        << ReadCase{1, 5, &sim::Faults::longReplies, -1, 0, malformed.arg(20), fast, 5, {1, 1}};
    QTest::newRow("20-byte replies, at the line's pace")
        << ReadCase{1, 5, &sim::Faults::longReplies, -1, 0, malformed.arg(20), line, 5, {1, 2, 1}};
    QTest::newRow("20-byte replies, pacing 0")
        << ReadCase{1, 5, &sim::Faults::longReplies, -1, 0, malformed.arg(20), line, 0, {1, 2, 1}};
    QTest::newRow("15-byte replies")
        << ReadCase{1, 5, &sim::Faults::shortReplies, -1, 0, malformed.arg(15), line, 5, {1, 1}};
    QTest::newRow("each request echoed, at once") << ReadCase{1, 12, &sim::Faults::echo, -1, 12, {}, fast};
    QTest::newRow("each request echoed, at the line's pace") << ReadCase{1, 12, &sim::Faults::echo, -1, 12, {}, line};
    QTest::newRow("pacing 0") << ReadCase{1, 20, {}, -1, 20, {}, line, 0};
    // The reply bound grows with the pacing: at 100 ms a record takes 1.6 s. The next request is
    // held back so that its window still covers a surplus byte 100 ms after the last.
    QTest::newRow("pacing 100: replies longer than a second") << ReadCase{1, 3, {}, -1, 3, {}, line, 100};
    QTest::newRow("pacing 100: a surplus byte 100 ms late, last reply")
        << ReadCase{1, 1, &sim::Faults::longReplies, -1, 0, malformed.arg(20), line, 100, {1, 1}};
    QTest::newRow("pacing 100: 20-byte replies")
        << ReadCase{1, 3, &sim::Faults::longReplies, -1, 0, malformed.arg(20), line, 100, {1, 2, 1}};
    QTest::newRow("pacing 100: a stray byte 100 ms late, in the window")
        << ReadCase{1, 3, {}, -1, 3, {}, line, 100, {1, 2, 1, 2, 3}, sim::SimLine::Stray{100ms}};
    // Inside the window the byte can only be the first reply's; after it, it shows as the second
    // reply with a byte too many, and both are asked for again.
    QTest::newRow("a stray byte inside the window")
        << ReadCase{7, 9, {}, -1, 3, {}, line, 5, {7, 8, 7, 8, 9}, sim::SimLine::Stray{3ms}};
    QTest::newRow("a stray byte after the window")
        << ReadCase{7, 9, {}, -1, 3, {}, line, 5, {7, 8, 9, 7, 8, 9}, sim::SimLine::Stray{20ms}};
    QTest::newRow("a stray byte after the window, pacing 0")
        << ReadCase{7, 8, {}, -1, 2, {}, line, 0, {7, 8, 7, 8}, sim::SimLine::Stray{20ms}};
    QTest::newRow("falls silent after three channels") << ReadCase{10, 20, {}, 3, 3, noAnswer.arg(13)};
    QTest::newRow("falls silent in the QMB range") << ReadCase{109, 113, {}, 3, 3, noAnswer.arg("Q4")};
}

// The requests "ch 00 00 04 10" on the wire, up to the channel that did not answer.
void LinkOperationTest::read()
{
    QFETCH(ReadCase, c);
    SimBench bench;
    RadioLink link(bench.factory(kSimPort, c.timing));
    link.setPacing(c.pacing);
    for (const auto& [channel, record] : Expected(1, kChannelCount))
        bench.radio->setMemory(channel, record);
    sim::Faults faults;
    if (c.fault)
        faults.*c.fault = true;
    bench.radio->setFaults(faults);  // an interface echoes from the start
    QVERIFY(link.FindRadio({kSimPort}));
    QCOMPARE(bench.radio->pacing(), c.pacing);
    bench.radio->clearLog();
    if (c.answered >= 0)
        faults.stopAfter = bench.radio->replyCount() + c.answered;
    bench.radio->setFaults(faults);
    if (c.stray)
        bench.wire->stray = StrayAfterReply(1, *c.stray);

    Reads got;
    const LinkResult result = link.ReadMemories(c.first, c.last, [&](int ch, const Record& r) { got.append({ch, r}); });
    QCOMPARE(result.error, c.error);
    QCOMPARE(result.ok, c.error.isEmpty());
    QCOMPARE(got, Expected(c.first, c.first + c.recordsRead - 1));
    QList<int> asked = c.asked;
    for (int ch = c.first; c.asked.isEmpty() && ch <= (c.error.isEmpty() ? c.last : c.first + c.recordsRead); ++ch)
        asked << ch;
    QStringList requests;
    for (int ch : asked)
        requests << QStringLiteral("%1 00 00 04 10").arg(ch, 2, 16, QLatin1Char('0')).toUpper();
    QCOMPARE(bench.sent(), requests);
}

void LinkOperationTest::scan_data()
{
    QTest::addColumn<ScanCase>("c");
    const QStringList heldOn2 = (Quiet(1) << ChannelFrame(2, "06")) + QStringList(10, kMeter);
    // 150 ms settle and 100 ms for the meter reply per channel; a held channel is read every
    // 100 ms while the signal lasts, held 5 s, then loaded and measured again. S9 is 152.
    QTest::newRow("152 is not held: one quiet pass")
        << ScanCase{.signal = 152, .visits = {{1, 0}, {2, 250}, {3, 500}, {1, 750}}, .frames = Quiet(1) + Quiet(2) + Quiet(3)};
    const QList<Visit> held{{1, 0}, {2, 250}, {2, 6400}, {3, 6650}, {1, 6900}};
    QTest::newRow("153 is held, then measured again")
        << ScanCase{.signal = 153, .visits = held, .frames = heldOn2 + Quiet(2) + Quiet(3)};
    QTest::newRow("153 is held behind an interface that echoes each frame")
        << ScanCase{.signal = 153, .fault = "echo", .visits = held, .frames = heldOn2 + Quiet(2) + Quiet(3)};
    QTest::newRow("stopped while VFO-A settles")
        << ScanCase{.stopAtMs = 100, .visits = {{1, 0}}, .frames = {ChannelFrame(1, "06")}};
    QTest::newRow("stopped during a hold")
        << ScanCase{.signal = 200, .stopAtMs = 3000, .visits = {{1, 0}, {2, 250}}, .frames = heldOn2};
    QTest::newRow("meter returns nothing")
        << ScanCase{.fault = "silent", .visits = {{1, 0}}, .frames = Quiet(1),
                    .error = "The radio did not answer the request for the S-meter reading."};
    QTest::newRow("link lost")
        << ScanCase{.fault = "unplug", .visits = {{1, 0}, {2, 250}}, .frames = Quiet(1),
                    .error = "The connection to the radio on SIM was lost (The radio's link was lost)."};
    QTest::newRow("range beyond the regular channels")
        << ScanCase{.last = 100, .error = "Only memory channels 1 to 99 can be scanned, not 1 to 100."};
}

// A stop ends the scan within one short slice of waiting, and nothing more is sent.
void LinkOperationTest::scan()
{
    QFETCH(ScanCase, c);
    ScanBench bench;
    sim::Faults faults;
    faults.echo = c.fault == u"echo";  // as from the start
    bench.radio->setFaults(faults);
    QVERIFY(bench.find());
    bench.radio->setMeterLevel(2, std::uint8_t(c.signal));
    faults.silent = c.fault == u"silent";
    bench.radio->setFaults(faults);
    bench.stopAtMs = c.stopAtMs;
    QList<Visit> visits;
    const LinkResult result = ScanLoop(bench.link, bench, bench.stop).Run(1, c.last, ScanThreshold(9), [&](int ch) {
        visits << Visit{ch, bench.now.count()};
        bench.stop = bench.stop || (visits.size() > 1 && ch == 1);
        if (c.fault == u"unplug" && ch == 2)
            bench.radio->unplug();
    });
    QCOMPARE(result.error, c.error);
    QCOMPARE(result.ok, c.error.isEmpty());
    QCOMPARE(visits, c.visits);
    QCOMPARE(bench.sent(), c.frames);
    if (c.stopAtMs)
        QVERIFY(bench.now.count() - c.stopAtMs < kStopCheckSlice.count());
}

void LinkOperationTest::operation_data()
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
void LinkOperationTest::operation()
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
void LinkOperationTest::closingDuringScan()
{
    ClientBench bench;
    QVERIFY(bench.find({kSimPort}));
    QVERIFY(bench.client->scan(1, 99, 152, &bench.asker, {}, bench.answer()));
    QVERIFY(QTest::qWaitFor([&] { return bench.events.last() == u"scan 1"; }, kSignalWaitMs));
    bench.client.reset();
    QThread* closedOn = bench.wire->closedOn;
    QVERIFY(closedOn && closedOn != QThread::currentThread());
}

QTEST_GUILESS_MAIN(LinkOperationTest)
#include "read_test.moc"
