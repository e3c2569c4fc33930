// SPDX-License-Identifier: GPL-3.0-or-later
// The scan loop on a virtual clock: channels visited and when, frames sent, holds, and its end.
#include <QtTest>

#include "linkfakes.h"
#include "scanloop.h"

using namespace vardo;
using namespace vardo::test;
using namespace std::chrono_literals;

namespace {

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
// Each channel loaded into VFO-A and its meter read once.
QStringList Quiet(std::initializer_list<int> channels)
{
    QStringList frames;
    for (int channel : channels)
        frames << ChannelFrame(channel, "06") << kMeter;
    return frames;
}

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

}  // namespace

class ScanLoopTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void scan_data();
    void scan();
};

void ScanLoopTest::scan_data()
{
    QTest::addColumn<ScanCase>("c");
    const QStringList heldOn2 = (Quiet({1}) << ChannelFrame(2, "06")) + QStringList(10, kMeter);
    // 150 ms settle and 100 ms for the meter reply per channel; a held channel is read every
    // 100 ms while the signal lasts, held 5 s, then loaded and measured again. S9 is 152.
    QTest::newRow("152 is not held: one quiet pass")
        << ScanCase{.signal = 152, .visits = {{1, 0}, {2, 250}, {3, 500}, {1, 750}}, .frames = Quiet({1, 2, 3})};
    QTest::newRow("153 is held, then measured again")
        << ScanCase{.signal = 153, .visits = {{1, 0}, {2, 250}, {2, 6400}, {3, 6650}, {1, 6900}},
                    .frames = heldOn2 + Quiet({2, 3})};
    QTest::newRow("153 is held behind an interface that echoes each frame")
        << ScanCase{.signal = 153, .fault = "echo", .visits = {{1, 0}, {2, 250}, {2, 6400}, {3, 6650}, {1, 6900}},
                    .frames = heldOn2 + Quiet({2, 3})};
    QTest::newRow("stopped while VFO-A settles")
        << ScanCase{.stopAtMs = 100, .visits = {{1, 0}}, .frames = {ChannelFrame(1, "06")}};
    QTest::newRow("stopped during a hold")
        << ScanCase{.signal = 200, .stopAtMs = 3000, .visits = {{1, 0}, {2, 250}}, .frames = heldOn2};
    QTest::newRow("meter returns nothing")
        << ScanCase{.fault = "silent", .visits = {{1, 0}}, .frames = Quiet({1}),
                    .error = "The radio did not answer the request for the S-meter reading."};
    QTest::newRow("link lost")
        << ScanCase{.fault = "unplug", .visits = {{1, 0}, {2, 250}}, .frames = Quiet({1}),
                    .error = "The connection to the radio on SIM was lost (The radio's link was lost)."};
    QTest::newRow("range beyond the regular channels")
        << ScanCase{.last = 100, .error = "Only memory channels 1 to 99 can be scanned, not 1 to 100."};
}

// A stop ends the scan within one short slice of waiting, and nothing more is sent.
void ScanLoopTest::scan()
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

QTEST_GUILESS_MAIN(ScanLoopTest)
#include "scan_test.moc"
