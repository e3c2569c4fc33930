// SPDX-License-Identifier: GPL-3.0-or-later
// The radio's operations on the emulator, frame by frame, against a failing radio or line;
// the scan on a virtual clock, and the client's worker.
#include <map>

#include <QtTest>

#include "codec.h"
#include "portlist.h"
#include "radioclient.h"
#include "radiolink.h"
#include "rowreader.h"
#include "scanloop.h"
#include "simtransport.h"

using namespace vardo;
using namespace vardo::test;
using namespace std::chrono_literals;

namespace {

const QString kSimPort = QStringLiteral("SIM");

// What the wrapped line does wrong; shared with the transports, which may live on the worker thread.
struct WireScript {
    std::function<std::optional<IoStatus>(const QByteArray& frame)> failWrite;  // returned instead of writing
    sim::SimLine::StrayPlan stray;  // bytes the line adds after replies (paced lines only)
    bool network = false;           // the port stands for a connection across a network
    std::atomic<int> closes = 0;
    std::atomic<QThread*> closedOn = nullptr;  // the thread that last closed an open port
};

struct ScriptedFailures final : Transport {
    ScriptedFailures(std::unique_ptr<Transport> inner, std::shared_ptr<WireScript> script)
        : m_inner(std::move(inner)), m_script(std::move(script)) {}
    [[nodiscard]] QString portName() const override { return m_inner->portName(); }
    [[nodiscard]] bool isOpen() const override { return m_inner->isOpen(); }
    [[nodiscard]] QString errorString() const override { return m_inner->errorString(); }
    bool open() override { return m_inner->open(); }
    void close() override
    {
        if (m_inner->isOpen()) {
            ++m_script->closes;
            m_script->closedOn = QThread::currentThread();
        }
        m_inner->close();
    }
    IoStatus write(const QByteArray& bytes) override
    {
        const auto status = m_script->failWrite ? m_script->failWrite(bytes) : std::nullopt;
        return status ? *status : m_inner->write(bytes);
    }
    void clearInput() override { m_inner->clearInput(); }
    IoStatus drain(std::chrono::milliseconds bound) override { return m_inner->drain(bound); }
    [[nodiscard]] bool takesLineTime() const override { return m_inner->takesLineTime(); }
    [[nodiscard]] Clock::time_point now() const override { return m_inner->now(); }
    void sleepUntil(Clock::time_point until) override { m_inner->sleepUntil(until); }
    [[nodiscard]] bool crossesNetwork() const override { return m_script->network; }
    IoStatus readAtLeast(qsizetype n, std::chrono::milliseconds t, QByteArray& out) override { return m_inner->readAtLeast(n, t, out); }
    IoStatus readAfter(std::chrono::milliseconds t, QByteArray& out) override { return m_inner->readAfter(t, out); }
    std::unique_ptr<Transport> m_inner;
    std::shared_ptr<WireScript> m_script;
};

// The line adds `stray` after the `reply`-th reply from now on (from 1), and after later ones if asked.
[[nodiscard]] sim::SimLine::StrayPlan StrayAfterReply(int reply, sim::SimLine::Stray stray, bool later = false)
{
    return [reply, stray, later, count = 0]() mutable -> std::optional<sim::SimLine::Stray> {
        return ++count == reply || (later && count > reply) ? std::optional(stray) : std::nullopt;
    };
}

// An emulated radio on one port (without wire timing unless asked), reached through ScriptedFailures.
struct SimBench {
    std::shared_ptr<sim::SimRadio> radio = std::make_shared<sim::SimRadio>();
    std::shared_ptr<WireScript> wire = std::make_shared<WireScript>();

    [[nodiscard]] TransportFactory factory(const QString& port = kSimPort, sim::Timing timing = sim::Timing::Fast) const
    {
        return [radio = radio, port, timing, script = wire](const QString& name) -> std::unique_ptr<Transport> {
            if (name != port)
                return nullptr;
            auto line = std::make_unique<sim::SimTransport>(radio, name, timing);
            line->line().setStrayPlan([script] { return script->stray ? script->stray() : std::nullopt; });
            return std::make_unique<ScriptedFailures>(std::move(line), script);
        };
    }
    [[nodiscard]] QStringList sent() const
    {
        QStringList hex;
        std::ranges::transform(radio->frameLog(), std::back_inserter(hex), &sim::Frame::toHex);
        return hex;
    }
};

// find() starts the radio's faults (an interface echoes from the start) and empties the frame log.
struct LinkBench : SimBench {
    explicit LinkBench(sim::Timing timing = sim::Timing::Fast) : link(factory(kSimPort, timing)) {}
    RadioLink link;

    [[nodiscard]] bool find(const sim::Faults& faults = {})
    {
        radio->setFaults(faults);
        const bool found = link.FindRadio({kSimPort});
        radio->clearLog();
        return found;
    }
};

[[nodiscard]] QString ChannelFrame(int channel, const char* op, int third = 0)
{
    const QChar zero('0');
    return QStringLiteral("00 00 %1 %2 %3").arg(third, 2, 16, zero).arg(channel, 2, 16, zero).arg(op).toUpper();
}

[[nodiscard]] QStringList MemoryRequests(const QList<int>& channels)
{
    QStringList frames;
    for (int ch : channels)
        frames << QStringLiteral("%1 00 00 04 10").arg(ch, 2, 16, QChar('0')).toUpper();
    return frames;
}

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

// The client on the demo image; its signals and answers noted as text, with the thread of each.
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
        QObject::connect(client.get(), &RadioClient::scanAt, [this](int n) { note(u"scan %1"_qs.arg(n)); });
        QObject::connect(client.get(), &RadioClient::busyChanged, [this](bool busy) { note(busy ? "busy" : "free"); });
    }

    void note(const QString& event) { events << event; threads << QThread::currentThread(); }
    // The answer a request gets, noted as "finished" or "failed: ..." with `label` before it.
    [[nodiscard]] RadioDone answer(const QString& label = {})
    {
        return [this, label](const LinkResult& r) { note(label + (r.ok ? u"finished"_qs : "failed: " + r.error)); };
    }
    [[nodiscard]] bool waitFree() { return QTest::qWaitFor([this] { return !client || !client->busy(); }, kSignalWaitMs); }
};

using Call = std::function<bool(ClientBench&, RadioClient&)>;

// VFO-A at 7050.00 kHz LSB, filters 2.4K and 500, receive clarifier on at +1.50 kHz: it receives 7051.50.
const Record kVfoARxRit = RecordFromBytes(QByteArray::fromHex("00" "00AC1E80" "0960" "00" "13" "02" "000000000000"));
const QString kVfoARequest = QStringLiteral("00 00 00 02 10");
const QStringList kRestoreFrames{"00 00 00 00 0C", "01 00 00 00 8C", "02 00 00 02 8C", "00 50 70 00 0A",
                                 "00 00 00 01 09", "00 00 00 80 09", "50 01 00 FF 09", "00 00 00 00 84"};
const QStringList kUsbFrames{"00 00 00 01 0C", "01 00 00 00 8C", "02 00 00 01 8C", "00 95 41 01 0A",
                             "00 00 00 00 09", "00 00 00 80 09", "00 00 00 FF 09", "00 00 00 00 84"};

// The grid row that kUsbFrames sets up.
const Channel kUsb = ChannelFromCells({"14195.00", "USB", "2.4K", "2.0K", "A", "OFF", "OFF", "0.00", "OFF"});

struct WriteCase {
    QList<int> channels;  // odd ones masked
    bool batch = true;
    QString stopAt{};                   // the first frame not on the wire (none: all went)
    std::optional<IoStatus> failure{};  // stopAt's write fails so (none: it is never tried)
    int answered = -1;                  // replies after the search before the radio falls silent (-1: never)
    bool restored = true;
    int cancelAfter = 0;                // the batch is cancelled once this channel is written
    QList<int> written = batch ? channels : QList<int>{};  // reported by the batch
    RadioLink::Check check = RadioLink::Check::None;
    int dropStore = 0;  // the radio ignores stores into this channel, which holds kVfoARxRit
    QString error{};
    QList<int> alsoStored{};  // stored, but not reported as written
    sim::Timing timing = sim::Timing::Fast;
    bool echo = false;  // the interface echoes every byte sent
    std::optional<sim::SimLine::Stray> stray{};  // after the first read-back reply (or every one)
    bool strayEvery = false;
    QStringList frames{};  // between the VFO-A request and its restore, when not the plain sequence
};

QStringList ChannelFrames(int channel)
{
    return kUsbFrames + QStringList{ChannelFrame(channel, "03"), ChannelFrame(channel, "03", channel % 2 ? 1 : 2)};
}


}  // namespace

class LinkOperationTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void probe_data()
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
        row("six bytes, identification matching", {"six", "radio"}, "COM2", {other.arg(1)});
        row("an interface that echoes both frames", {"echo"}, "COM1", {});
        // Across a network the wait is 2 s longer, and the round trip found is allowed in later
        // replies' bounds; a reply after the wait is named late: the two frames take 22.9 ms on
        // the line, the reply starts 2.5 s later and takes 31.5 ms.
        row("across a network, 1.5 s away", {"remote1500"}, "COM1", {});
        row("across a network, 2.5 s away", {"remote2500", "radio"}, "COM2", {"COM1 answered too late (2554 ms)"});
        // A reply begun within the wait is read to its end: a busy machine once failed the search here.
        row("an echo, then the reply 150 ms later", {"echo150"}, "COM1", {});
        row("a serial port 150 ms away", {"serial150", "radio"}, "COM2", {silent.arg(1)});
        row("no radio anywhere", {"silent", "busy", "ident", "six", "none"}, "",
            {silent.arg(1), busy.arg(2), other.arg(3), other.arg(4), "cannot open COM5: there is no such port"});
    }

    void probe()
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
            const auto delay = std::chrono::milliseconds(kind.section(QRegularExpression("[a-z]+"), 1).toInt());
            const auto ident = kind == u"ident" ? std::optional(std::array<std::uint8_t, 2>{0x03, 0x94}) : std::nullopt;
            device.radio->setFaults(
                {.ident = ident, .silent = kind == u"silent", .delay = delay, .echo = kind.startsWith(u"echo")});
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
        QStringList reasons;
        std::ranges::transform(link.probeFailures(), std::back_inserter(reasons), &ProbeFailure::reason);
        QTEST(reasons, "failures");

        const qsizetype probed = found.isEmpty() ? names.size() : names.indexOf(found) + 1;
        for (const auto& [name, device] : devices) {
            const bool opened = names.indexOf(name) < probed && device.radio->isPlugged();
            QCOMPARE(device.sent(), (opened ? QStringList{"00 00 00 05 0E", "00 00 00 00 FA"} : QStringList()));
            QCOMPARE(device.wire->closes, int(opened && name != found));
        }
        if (!found.isEmpty())
            QVERIFY(link.ReadMemories(1, 2, {}).ok);
    }

    // Name order with numbers by value, at most sixteen.
    void portOrder()
    {
        QCOMPARE(OrderedPortNames({"/dev/ttyUSB1", "/dev/ttyS10", "/dev/ttyS2", "/dev/ttyACM0", "/dev/ttyUSB0"}),
                 (QStringList{"/dev/ttyACM0", "/dev/ttyS2", "/dev/ttyS10", "/dev/ttyUSB0", "/dev/ttyUSB1"}));
        QStringList twenty;
        for (int i = 0; i < 20; ++i)
            twenty << QStringLiteral("/dev/ttyS%1").arg(i);
        QCOMPARE(OrderedPortNames(QStringList(twenty.rbegin(), twenty.rend())), twenty.mid(0, 16));
    }

    void read_data()
    {
        QTest::addColumn<ReadCase>("c");
        const auto fast = sim::Timing::Fast;
        QTest::newRow("all") << ReadCase{.first = 1, .last = 113, .timing = fast};
        const QString malformed = QStringLiteral("The radio's replies to the request for memory channel 1 were "
                                                 "malformed (%1 bytes where 16 were expected).");
        const QString long20 = malformed.arg(20);
        const auto line = sim::Timing::Virtual;
        const auto longer = &sim::Faults::longReplies, echo = &sim::Faults::echo;
        // The next request goes out once a reply has 16 bytes; a surplus byte in the window after
        // it makes that reply malformed. The last ask of a channel waits out the quiet gap.
        QTest::newRow("20-byte replies, at once") << ReadCase{1, 5, longer, -1, 0, long20, fast, 5, {1, 1}};
        QTest::newRow("20-byte replies, at the line's pace") << ReadCase{1, 5, longer, -1, 0, long20, line, 5, {1, 2, 1}};
        QTest::newRow("15-byte replies")
            << ReadCase{1, 5, &sim::Faults::shortReplies, -1, 0, malformed.arg(15), line, 5, {1, 1}};
        QTest::newRow("each request echoed, at the line's pace") << ReadCase{1, 12, echo, -1, 12, {}, line};
        // The reply bound grows with the pacing: at 100 ms a record takes 1.6 s. The next request is
        // held back so that its window still covers a surplus byte 100 ms after the last.
        QTest::newRow("pacing 100: a surplus byte 100 ms late, last reply")
            << ReadCase{1, 1, longer, -1, 0, long20, line, 100, {1, 1}};
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
        QTest::newRow("falls silent in the QMB range")
            << ReadCase{109, 113, {}, 3, 3, "The radio did not answer the request for memory channel Q4."};
    }

    void read()
    {
        QFETCH(ReadCase, c);
        LinkBench bench(c.timing);
        bench.link.setPacing(c.pacing);
        for (const auto& [channel, record] : Expected(1, kChannelCount))
            bench.radio->setMemory(channel, record);
        sim::Faults faults;
        if (c.fault)
            faults.*c.fault = true;
        QVERIFY(bench.find(faults));
        QCOMPARE(bench.radio->pacing(), c.pacing);
        if (c.answered >= 0)
            faults.stopAfter = bench.radio->replyCount() + c.answered;
        bench.radio->setFaults(faults);
        if (c.stray)
            bench.wire->stray = StrayAfterReply(1, *c.stray);

        Reads got;
        const LinkResult result = bench.link.ReadMemories(c.first, c.last, [&](int ch, const Record& r) { got.append({ch, r}); });
        QCOMPARE(std::pair(result.ok, result.error), std::pair(c.error.isEmpty(), c.error));
        QCOMPARE(got, Expected(c.first, c.first + c.recordsRead - 1));
        QList<int> asked = c.asked;
        for (int ch = c.first; c.asked.isEmpty() && ch <= (c.error.isEmpty() ? c.last : c.first + c.recordsRead); ++ch)
            asked << ch;
        QCOMPARE(bench.sent(), MemoryRequests(asked));
    }

    void scan_data()
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
    void scan()
    {
        QFETCH(ScanCase, c);
        ScanBench bench;
        QVERIFY(bench.find({.ident = {}, .echo = c.fault == u"echo"}));
        bench.radio->setMeterLevel(2, std::uint8_t(c.signal));
        bench.radio->setFaults({.ident = {}, .silent = c.fault == u"silent", .echo = c.fault == u"echo"});
        bench.stopAtMs = c.stopAtMs;
        QList<Visit> visits;
        const LinkResult result = ScanLoop(bench.link, bench, bench.stop).Run(1, c.last, ScanThreshold(9), [&](int ch) {
            visits << Visit{ch, bench.now.count()};
            bench.stop = bench.stop || (visits.size() > 1 && ch == 1);
            if (c.fault == u"unplug" && ch == 2)
                bench.radio->unplug();
        });
        QCOMPARE(std::pair(result.ok, result.error), std::pair(c.error.isEmpty(), c.error));
        QCOMPARE(visits, c.visits);
        QCOMPARE(bench.sent(), c.frames);
        if (c.stopAtMs)
            QVERIFY(bench.now.count() - c.stopAtMs < kStopCheckSlice.count());
    }

    void operation_data()
    {
        QTest::addColumn<Call>("call");
        QTest::addColumn<QStringList>("events");

        QTest::newRow("read, each record to the asker too") << Call([](ClientBench& b, RadioClient& c) {
            return c.readMemories(112, 113, &b.asker, [&b](int ch, const Channel&) { b.note(u"asker %1"_qs.arg(ch)); },
                                  b.answer());
        }) << QStringList{"busy", "asker 112", "read 112", "asker 113", "read 113", "finished", "free"};
        // The failure reaches the asker while still busy, so its message box comes before the end of busy.
        QTest::newRow("read, radio falls silent after three") << Call([](ClientBench& b, RadioClient& c) {
            b.radio->setFaults({.ident = {}, .stopAfter = b.radio->replyCount() + 3});
            return c.readMemories(1, 99, &b.asker, {}, b.answer());
        }) << QStringList{"busy", "read 1", "read 2", "read 3",
                           "failed: The radio did not answer the request for memory channel 4.", "free"};
        QTest::newRow("every other request refused while busy") << Call([](ClientBench& b, RadioClient& c) {
            QObject* a = &b.asker;
            return c.readMemories(109, 113, a, {}, b.answer()) && c.busy() && !c.readMemories(1, 5, a, {}, b.answer())
                && !c.loadVfoA(3, a, b.answer()) && !c.findRadio({}, a, {}) && !c.scan(1, 5, 152, a, {}, b.answer())
                && !c.writeChannel({}, a, b.answer()) && !c.writeBatch({}, a, b.answer());
        }) << QStringList{"busy", "read 109", "read 110", "read 111", "read 112", "read 113", "finished", "free"};
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
        // Closing the window ends a scan under way and closes the port on the radio thread.
        QTest::newRow("window closed during a scan") << Call([](ClientBench& b, RadioClient& c) {
            const bool scanning = c.scan(1, 99, 152, &b.asker, {}, b.answer())
                && QTest::qWaitFor([&b] { return b.events.last() == u"scan 1"; }, kSignalWaitMs);
            b.client.reset();
            return scanning && b.wire->closedOn && b.wire->closedOn != QThread::currentThread();
        }) << QStringList{"busy", "scan 1"};
    }

    // What the window hears, all on its own thread; each row starts after the search ended.
    void operation()
    {
        QFETCH(Call, call);
        QFETCH(QStringList, events);

        ClientBench bench;
        const auto found = [&bench](const QString& port) { bench.note("found " + port); };
        QVERIFY(bench.client->findRadio({"NONE", kSimPort}, &bench.asker, found));
        QVERIFY(bench.waitFree());
        QCOMPARE(bench.events, QStringList({"busy", "found SIM", "free"}));
        bench.events.clear();
        QVERIFY(call(bench, *bench.client));
        QVERIFY(bench.waitFree());
        QCOMPARE(bench.events, events);
        QCOMPARE(bench.threads.count(QThread::currentThread()), bench.threads.size());
    }

    void write_data()
    {
        QTest::addColumn<WriteCase>("c");
        QTest::newRow("channel 11") << WriteCase{.channels = {11}, .batch = false};

        QTest::newRow("time-out at the third channel")
            << WriteCase{.channels = {1, 2, 3, 4}, .stopAt = "00 00 00 03 03", .failure = IoStatus::TimedOut,
                         .written = {1, 2}, .error = "The command for channel 3 could not be sent to the radio on SIM.\r"
                                                     "The last channel written was 2.\rVFO-A has been set back as it was."};
        // Frames handed to a port that died may never have reached the radio.
        QTest::newRow("link lost at the third channel: only what was sent is known")
            << WriteCase{.channels = {1, 2, 3}, .stopAt = "00 00 00 03 03", .failure = IoStatus::LinkLost,
                         .restored = false, .written = {1, 2},
                         .error = "The connection to the radio on SIM was lost.\rThe last channel sent was 2, but the link "
                                  "was lost: the radio may have taken in fewer channels.\rVFO-A could not be set back as "
                                  "it was."};
        QTest::newRow("cancelled after the second channel, as on Ctrl-C")
            << WriteCase{.channels = {1, 2, 3}, .cancelAfter = 2, .written = {1, 2},
                         .error = "The write was stopped after channel 2.\rVFO-A has been set back as it was."};
        const auto readBack = RadioLink::Check::ReadBack;
        QTest::newRow("read back: a store the radio did not take is named, the batch goes on")
            << WriteCase{.channels = {1, 2, 3}, .check = readBack, .dropStore = 2,
                         .error = "The radio does not hold channel 2 as written:\r2: frequency radio 7051.50, file "
                                  "14195.00; mode radio LSB, file USB; 455 filter radio 500, file 2.0K; Rx RIT radio ON, "
                                  "file OFF; offset radio 1.50, file 0.00\rEvery other channel was written and read back "
                                  "as written.\rVFO-A has been set back as it was."};
        // The channel was stored: the message names it, not the one before it.
        QTest::newRow("read back: the radio stops answering at the second channel")
            << WriteCase{.channels = {1, 2, 3}, .answered = 2, .written = {1}, .check = readBack,
                         .error = "The radio did not answer the request for memory channel 2.\rChannel 2 was stored, but "
                                  "it could not be read back to check it.\rVFO-A has been set back as it was.",
                         .alsoStored = {2},
                         .frames = ChannelFrames(1) + MemoryRequests({1}) + ChannelFrames(2) + MemoryRequests({2})};
        // A channel counts as written once the read-back after it has framed cleanly too.
        QTest::newRow("read back: stopped after the first channel, two more under way")
            << WriteCase{.channels = {1, 2, 3, 4, 5}, .cancelAfter = 1, .written = {1, 2, 3}, .check = readBack,
                         .error = "The write was stopped after channel 3.\rVFO-A has been set back as it was."};
        const auto line = sim::Timing::Virtual;
        QTest::newRow("read back through an interface that echoes: each channel asked for once")
            << WriteCase{.channels = {1, 2, 3, 100}, .check = readBack, .timing = line, .echo = true};
        QTest::newRow("read back: a stray byte in the window, asked for again")
            << WriteCase{.channels = {1, 2, 3}, .check = readBack, .timing = line, .stray = sim::SimLine::Stray{3ms},
                         .frames = ChannelFrames(1) + MemoryRequests({1}) + ChannelFrames(2) + MemoryRequests({2, 1, 2})
                             + ChannelFrames(3) + MemoryRequests({3})};
        QTest::newRow("read back: 20-byte records")
            << WriteCase{.channels = {1, 2, 3}, .written = {}, .check = readBack,
                         .error = "The radio's replies to the request for memory channel 1 were malformed (20 bytes where "
                                  "16 were expected).\rChannels 1 and 2 were stored, but they could not be read back to "
                                  "check them.\rVFO-A has been set back as it was.",
                         .alsoStored = {1, 2}, .timing = line,
                         .stray = sim::SimLine::Stray{sim::kByteTime + 5ms, 4}, .strayEvery = true,
                         .frames = ChannelFrames(1) + MemoryRequests({1}) + ChannelFrames(2) + MemoryRequests({2, 1})};
        QTest::newRow("VFO-A does not answer")
            << WriteCase{.channels = {1, 2}, .stopAt = kUsbFrames[0], .answered = 0, .restored = false, .written = {},
                         .error = "The radio did not answer the request for the VFO-A record.\rNo channel was written."};
        QTest::newRow("a QMB channel is refused before anything is sent")
            << WriteCase{.channels = {1, 110}, .stopAt = kVfoARequest, .restored = false, .written = {},
                         .error = "Channel Q2 cannot be written into the radio."};
    }

    // VFO-A is read once first and restored once last, with its VFO frequency rather than the
    // receive frequency, although its receive clarifier was on.
    void write()
    {
        QFETCH(WriteCase, c);
        LinkBench bench(c.timing);
        bench.radio->setVfoA(kVfoARxRit);
        QVERIFY(bench.find({.ident = {}, .echo = c.echo}));
        bench.wire->failWrite = [&](const QByteArray& frame) {
            return frame == QByteArray::fromHex(c.stopAt.toLatin1()) ? c.failure : std::nullopt;
        };
        if (c.stray)  // the first reply is VFO-A's
            bench.wire->stray = StrayAfterReply(2, *c.stray, c.strayEvery);
        const int stopAfter = c.answered < 0 ? -1 : bench.radio->replyCount() + c.answered;
        bench.radio->setFaults({.ident = {}, .stopAfter = stopAfter, .echo = c.echo, .dropStore = c.dropStore});
        bench.radio->setMemory(c.dropStore, kVfoARxRit);

        QList<ChannelWrite> writes;
        QStringList expected{kVfoARequest};
        for (int ch : c.channels) {
            writes << ChannelWrite{kUsb, ch, ch % 2 ? 1 : 2};
            expected << ChannelFrames(ch) << (c.check == RadioLink::Check::ReadBack ? MemoryRequests({ch}) : QStringList());
        }
        QList<int> written;
        std::atomic<bool> cancel = false;
        bench.link.setCancelFlag(&cancel);
        const auto note = [&](int ch) { written << ch, cancel = cancel || ch == c.cancelAfter; };
        const LinkResult result = bench.link.WriteBatch(writes, c.batch ? RadioLink::WrittenSink(note) : nullptr, c.check);
        QCOMPARE(std::pair(result.ok, result.error), std::pair(c.error.isEmpty(), c.error));
        QCOMPARE(result.cancelled, c.cancelAfter != 0);
        QCOMPARE(result.mismatches.size(), c.dropStore ? 1 : 0);
        QCOMPARE(written, c.written);
        qsizetype end = c.stopAt.isEmpty() ? expected.size() : expected.indexOf(c.stopAt);
        if (c.cancelAfter)  // the next channel's settings and store never go out
            end = expected.indexOf(ChannelFrame(c.written.last() + 1, "03")) - kUsbFrames.size();
        expected = c.frames.isEmpty() ? expected.mid(0, end) : QStringList{kVfoARequest} + c.frames;
        QCOMPARE(bench.sent(), c.restored ? expected + kRestoreFrames : expected);
        if (c.restored)
            QCOMPARE(bench.radio->vfoA(), kVfoARxRit);
        // Every channel reported, and the one stored but not checked, holds what was written.
        const QList<int> stored = (c.batch ? c.written : c.channels) + c.alsoStored;
        for (int ch = 1; ch <= kLastPms; ++ch)
            QCOMPARE(DecodeRecord(bench.radio->memory(ch)).Freq == 14195.0f, stored.contains(ch) && ch != c.dropStore);
    }

    void roundTrip_data()
    {
        QTest::addColumn<QString>("mode");
        for (const QString& mode : ModeTexts())
            QTest::newRow(qPrintable(mode)) << mode;
    }

    // Every combination of filters, clarifiers and shift, for each mode, written in one batch: the
    // read-back finds each as written, and a read of its own shows each channel's last combination.
    void roundTrip()
    {
        QFETCH(QString, mode);
        LinkBench bench;
        QVERIFY(bench.find());
        QList<ChannelWrite> writes;
        std::map<int, Channel> last;
        for (const QString& f82 : Filter82Texts())
            for (const QString& f455 : Filter455Texts())
                for (const QString& rx : RitTexts())
                    for (const QString& tx : RitTexts())
                        for (const QString& rpt : RptTexts()) {
                            const int n = int(writes.size()) + 1;
                            const bool odd = n % 2, masked = n % 3 == 0;
                            Channel c = kUsb;
                            std::tie(c.Mode, c.Filt82, c.Filt455, c.RxRit, c.TxRit, c.Rpt) = std::tie(mode, f82, f455, rx, tx, rpt);
                            std::tie(c.Offset, c.OffsetSign, c.Mask) = std::tuple(odd ? -1.25f : 9.99f, odd ? "" : "+", masked ? "* " : "  ");
                            writes << ChannelWrite{c, 1 + n % kLastPms, masked ? 1 : 2};
                            last[1 + n % kLastPms] = c;
                        }
        const LinkResult result = bench.link.WriteBatch(writes);
        QVERIFY2(result.ok, qPrintable(result.error));
        std::map<int, Channel> back;
        QVERIFY(bench.link.ReadMemories(kFirstRegular, kLastPms, [&](int ch, const Record& r) { back[ch] = DecodeRecord(r); }).ok);
        for (auto& [channel, c] : last) {
            c.Ant = back[channel].Ant;  // the antenna is never written
            QCOMPARE(CellsFromChannel(back[channel]), CellsFromChannel(c));
        }
    }
};

QTEST_GUILESS_MAIN(LinkOperationTest)
#include "operations_test.moc"
