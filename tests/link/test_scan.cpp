// The scan loop against the emulated radio on a virtual clock: which channels it visits and
// when, the frames of a pass, holding on a signal, and how it ends.
#include <QtTest>

#include "linkfakes.h"
#include "radiolink.h"
#include "scanloop.h"
#include "simtransport.h"

using namespace vardo;
using namespace vardo::test;
using namespace std::chrono_literals;

namespace {

const QString kSimPort = QStringLiteral("SIM");

struct Visit {
    int channel;
    qint64 atMs;  // virtual time of the visit
    bool operator==(const Visit&) const = default;
};

struct Bench {
    std::shared_ptr<sim::SimRadio> radio = std::make_shared<sim::SimRadio>();
    RadioLink link{sim::SimulatedPortFactory(radio, kSimPort, {}, sim::Timing::Fast)};
    VirtualSleeper sleeper;
    std::atomic<bool> stop{false};
    QList<Visit> visits;

    Bench()
    {
        QVERIFY(link.FindRadio({kSimPort}));
        radio->clearLog();
    }
    // Scans until the first channel comes round again (one whole pass) unless stopped sooner.
    LinkResult run(int first, int last, int threshold, const std::function<void(int)>& atChannel = {})
    {
        ScanLoop loop(link, sleeper, stop);
        return loop.Run(first, last, threshold, [&](int channel) {
            visits << Visit{channel, sleeper.now.count()};
            if (visits.size() > 1 && channel == first)
                stop = true;
            if (atChannel)
                atChannel(channel);
        });
    }
    // The channel's meter reads `level` from now until `quietAt` on the virtual clock.
    void signalUntil(int channel, std::uint8_t level, std::chrono::milliseconds quietAt)
    {
        radio->setMeterLevel(channel, level);
        sleeper.onAdvance = [this, channel, quietAt](std::chrono::milliseconds now) {
            if (now >= quietAt)
                radio->setMeterLevel(channel, 0);
        };
    }
    [[nodiscard]] QStringList sent() const { return HexFrames(radio->frameLog()); }
};

}  // namespace

Q_DECLARE_METATYPE(Visit)

class ScanLoopTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void threshold_data();
    void threshold();
    void quietPassFrames();
    void stop_data();
    void stop();
    void failure_data();
    void failure();
};

void ScanLoopTest::threshold_data()
{
    QTest::addColumn<int>("level");      // meter on channel 2 for its first second
    QTest::addColumn<int>("threshold");
    QTest::addColumn<QList<Visit>>("visits");

    // 150 ms settle plus 100 ms for the meter reply per quiet channel; a held channel is
    // read every 100 ms until the signal goes at 1250 ms, then held 5 s and measured again.
    const QList<Visit> passedOver{{1, 0}, {2, 250}, {3, 500}, {1, 750}};
    const QList<Visit> heldOn{{1, 0}, {2, 250}, {2, 6400}, {3, 6650}, {1, 6900}};
    QTest::newRow("S9: 152 is not held") << 152 << 152 << passedOver;
    QTest::newRow("S9: 153 is held") << 153 << 152 << heldOn;
    QTest::newRow("S7: 120 is not held") << 120 << 120 << passedOver;
    QTest::newRow("S7: 121 is held") << 121 << 120 << heldOn;
    QTest::newRow("S1: 255 is held") << 255 << 24 << heldOn;
}

void ScanLoopTest::threshold()
{
    QFETCH(int, level);
    QFETCH(int, threshold);
    QFETCH(QList<Visit>, visits);

    Bench bench;
    bench.signalUntil(2, std::uint8_t(level), 1250ms);
    const LinkResult result = bench.run(1, 3, threshold);
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(bench.visits, visits);
    // Every visit loads the channel into VFO-A first.
    const QStringList sent = bench.sent();
    QCOMPARE(sent.count(QStringLiteral("00 00 00 02 06")), visits.size() == 5 ? 2 : 1);
}

void ScanLoopTest::quietPassFrames()
{
    Bench bench;
    const LinkResult result = bench.run(5, 7, 152);
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(bench.sent(), (QStringList{"00 00 00 05 06", "00 00 00 00 F7", "00 00 00 06 06", "00 00 00 00 F7",
                                        "00 00 00 07 06", "00 00 00 00 F7"}));
}

void ScanLoopTest::stop_data()
{
    QTest::addColumn<int>("stopAtMs");
    QTest::addColumn<int>("busyChannel");  // 0: none
    QTest::newRow("while VFO-A settles") << 100 << 0;
    QTest::newRow("while the meter reply comes") << 200 << 0;
    QTest::newRow("on a later channel") << 1700 << 0;
    QTest::newRow("during a hold") << 3000 << 1;
}

// The stop flag ends the scan within one short slice of waiting, and nothing more is sent.
void ScanLoopTest::stop()
{
    QFETCH(int, stopAtMs);
    QFETCH(int, busyChannel);

    Bench bench;
    if (busyChannel)
        bench.radio->setMeterLevel(busyChannel, 200);
    std::size_t framesAtStop = 0;
    bench.sleeper.onAdvance = [&](std::chrono::milliseconds now) {
        if (busyChannel && now >= 1000ms)
            bench.radio->setMeterLevel(busyChannel, 0);
        if (!bench.stop && now >= std::chrono::milliseconds(stopAtMs)) {
            bench.stop = true;
            framesAtStop = bench.radio->frameLog().size();
        }
    };
    ScanLoop loop(bench.link, bench.sleeper, bench.stop);
    const LinkResult result = loop.Run(1, 99, 100, {});
    QVERIFY2(result.ok, qPrintable(result.error));
    QVERIFY(bench.sleeper.now.count() - stopAtMs < kStopCheckSlice.count());
    QCOMPARE(bench.radio->frameLog().size(), framesAtStop);
}

void ScanLoopTest::failure_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<QString>("error");
    QTest::addColumn<int>("framesSent");

    QTest::newRow("meter returns nothing") << "silent" << 1 << 10
                                           << "The radio did not answer the request for the S-meter reading." << 2;
    QTest::newRow("link lost at the second channel")
        << "unplug" << 1 << 10 << "The connection to the radio on SIM was lost (The radio's link was lost)." << 2;
    QTest::newRow("range beyond the regular channels") << "" << 90 << 100
                                                       << "Only memory channels 1 to 99 can be scanned, not 90 to 100."
                                                       << 0;
}

void ScanLoopTest::failure()
{
    QFETCH(QString, fault);
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(QString, error);
    QFETCH(int, framesSent);

    Bench bench;
    if (fault == u"silent") {
        sim::Faults silent;
        silent.silent = true;
        bench.radio->setFaults(silent);
    }
    const LinkResult result = bench.run(first, last, 152, [&](int channel) {
        if (fault == u"unplug" && channel == 2)
            bench.radio->unplug();
    });
    QVERIFY(!result.ok);
    QCOMPARE(result.error, error);
    QCOMPARE(int(bench.radio->frameLog().size()), framesSent);
    QVERIFY(!bench.stop);
}

QTEST_GUILESS_MAIN(ScanLoopTest)
#include "test_scan.moc"
