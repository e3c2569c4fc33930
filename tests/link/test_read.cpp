// Reading memory channels from the emulated radio: the requests on the wire, what each
// record becomes, and how a read ends when the radio stops answering or the link goes.
#include <QtTest>

#include "channelindex.h"
#include "linkfakes.h"
#include "radiolink.h"
#include "simtransport.h"

using namespace vardo;
using namespace vardo::test;

Q_DECLARE_METATYPE(vardo::ViewKind)

namespace {

const QString kSimPort = QStringLiteral("SIM");

// A record no other channel has, so a shifted or mixed-up reply shows.
Record PatternRecord(int channel)
{
    Record r{};
    for (int i = 0; i < kRecordSize; ++i)
        r[i] = static_cast<std::uint8_t>(channel * 7 + i * 13 + 1);
    return r;
}

QString RequestHex(int channel)
{
    return QStringLiteral("%1 00 00 04 10").arg(channel, 2, 16, QLatin1Char('0')).toUpper();
}

struct Bench {
    std::shared_ptr<sim::SimRadio> radio = std::make_shared<sim::SimRadio>();
    std::shared_ptr<WireScript> wire = std::make_shared<WireScript>();
    RadioLink link{WithFailures(sim::SimulatedPortFactory(radio, kSimPort, {}, sim::Timing::Fast), wire)};
    QList<int> channels;
    QList<Record> records;

    Bench()
    {
        for (int ch = 1; ch <= kChannelCount; ++ch)
            radio->setMemory(ch, PatternRecord(ch));
    }
    bool find()
    {
        const bool found = link.FindRadio({kSimPort});
        radio->clearLog();
        return found;
    }
    LinkResult read(int first, int last, const std::function<void(int)>& after = {})
    {
        return link.ReadMemories(first, last, [&](int channel, const Record& record) {
            channels << channel;
            records << record;
            if (after)
                after(channel);
        });
    }
};

}  // namespace

class ReadMemoriesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void viewRange_data();
    void viewRange();
    void faultyReplies_data();
    void faultyReplies();
    void lostLink();
};

void ReadMemoriesTest::viewRange_data()
{
    QTest::addColumn<ViewKind>("view");
    QTest::addColumn<QStringList>("firstRequests");

    QTest::newRow("QMB") << ViewKind::Qmb
                         << QStringList{"6D 00 00 04 10", "6E 00 00 04 10", "6F 00 00 04 10",
                                        "70 00 00 04 10", "71 00 00 04 10"};
    QTest::newRow("PMS") << ViewKind::Pms << QStringList{"64 00 00 04 10", "65 00 00 04 10"};
    QTest::newRow("channels 1-99") << ViewKind::Ch99 << QStringList{"01 00 00 04 10", "02 00 00 04 10"};
    QTest::newRow("all") << ViewKind::All << QStringList{"01 00 00 04 10", "02 00 00 04 10"};
}

void ReadMemoriesTest::viewRange()
{
    QFETCH(ViewKind, view);
    QFETCH(QStringList, firstRequests);

    Bench bench;
    QVERIFY(bench.find());
    const int first = FirstChannel(view);
    const int last = LastChannel(view);
    const LinkResult result = bench.read(first, last);
    QVERIFY2(result.ok, qPrintable(result.error));

    const QStringList sent = HexFrames(bench.radio->frameLog());
    QCOMPARE(sent.size(), RowCount(view));
    QCOMPARE(sent.mid(0, firstRequests.size()), firstRequests);
    QCOMPARE(sent.last(), RequestHex(last));
    QCOMPARE(bench.channels.size(), RowCount(view));
    for (qsizetype i = 0; i < bench.channels.size(); ++i) {
        QCOMPARE(bench.channels[i], first + int(i));
        QCOMPARE(bench.records[i], PatternRecord(first + int(i)));
    }
}

void ReadMemoriesTest::faultyReplies_data()
{
    QTest::addColumn<sim::Faults>("faults");
    QTest::addColumn<int>("answered");  // requests the radio answers (-1: all)
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<int>("recordsRead");
    QTest::addColumn<QString>("error");

    sim::Faults longReplies;
    longReplies.longReplies = true;
    QTest::newRow("20-byte replies: first 16 used, the rest dropped")
        << longReplies << -1 << 1 << 20 << 20 << QString();
    sim::Faults shortReplies;
    shortReplies.shortReplies = true;
    QTest::newRow("15-byte reply") << shortReplies << -1 << 1 << 5 << 0
                                   << "The radio did not answer the request for memory channel 1.";
    QTest::newRow("falls silent after three channels") << sim::Faults{} << 3 << 10 << 20 << 3
                                                       << "The radio did not answer the request for memory channel 13.";
    QTest::newRow("falls silent in the QMB range") << sim::Faults{} << 3 << 109 << 113 << 3
                                                   << "The radio did not answer the request for memory channel Q4.";
    QTest::newRow("silent from the start") << sim::Faults{} << 0 << 100 << 108 << 0
                                           << "The radio did not answer the request for memory channel P1.";
}

void ReadMemoriesTest::faultyReplies()
{
    QFETCH(sim::Faults, faults);
    QFETCH(int, answered);
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(int, recordsRead);
    QFETCH(QString, error);

    Bench bench;
    QVERIFY(bench.find());
    if (answered >= 0)
        faults.stopAfter = bench.radio->replyCount() + answered;
    bench.radio->setFaults(faults);

    const LinkResult result = bench.read(first, last);
    QCOMPARE(result.ok, error.isEmpty());
    QCOMPARE(result.error, error);
    QCOMPARE(bench.records.size(), recordsRead);
    for (qsizetype i = 0; i < bench.records.size(); ++i)
        QCOMPARE(bench.records[i], PatternRecord(first + int(i)));
    // The read stops at the channel that did not answer.
    QCOMPARE(bench.radio->frameLog().size(), std::size_t(error.isEmpty() ? last - first + 1 : recordsRead + 1));
}

// The link goes in the middle of a read: one failure naming the port, nothing more is tried
// on the dead port, and the next operation first reconnects.
void ReadMemoriesTest::lostLink()
{
    Bench bench;
    QVERIFY(bench.find());
    int callsAtLoss = -1;
    const LinkResult result = bench.read(1, 113, [&](int channel) {
        if (channel == 10) {
            bench.radio->unplug();
            callsAtLoss = bench.wire->calls;
        }
    });
    QVERIFY(!result.ok);
    QCOMPARE(result.error, QStringLiteral("The connection to the radio on SIM was lost (The radio's link was lost)."));
    QCOMPARE(bench.channels.last(), 10);
    QVERIFY(!bench.link.isOpen());
    QVERIFY2(bench.wire->calls - callsAtLoss <= 2, "the dead port was used again after the loss");

    const LinkResult again = bench.read(11, 12);
    QCOMPARE(again.error, QStringLiteral("The radio on SIM does not answer any more.\r"
                                         "Check that it is switched on and connected, then try again."));

    bench.radio->replug();
    bench.channels.clear();
    bench.records.clear();
    const LinkResult back = bench.read(11, 12);
    QVERIFY2(back.ok, qPrintable(back.error));
    QCOMPARE(bench.records, (QList<Record>{PatternRecord(11), PatternRecord(12)}));
}

QTEST_GUILESS_MAIN(ReadMemoriesTest)
#include "test_read.moc"
