// Reading memory channels: the requests on the wire, the records, a radio that stops answering.
#include <QtTest>

#include "channelindex.h"
#include "linkfakes.h"

using namespace vardo;
using namespace vardo::test;

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
    int first;
    int last;
    bool sim::Faults::*fault{};
    int answered = -1;  // requests answered after the search (-1: all)
    int recordsRead = last - first + 1;
    QString error{};
};

}  // namespace

class ReadMemoriesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void read_data();
    void read();
};

void ReadMemoriesTest::read_data()
{
    QTest::addColumn<ReadCase>("c");
    for (const auto& [name, view] : {std::pair{"QMB", ViewKind::Qmb}, std::pair{"PMS", ViewKind::Pms},
                                     std::pair{"1-99", ViewKind::Ch99}, std::pair{"all", ViewKind::All}})
        QTest::newRow(name) << ReadCase{FirstChannel(view), LastChannel(view)};
    QTest::newRow("20-byte replies: first 16 used, the rest dropped") << ReadCase{1, 20, &sim::Faults::longReplies};
    const QString noAnswer = QStringLiteral("The radio did not answer the request for memory channel %1.");
    QTest::newRow("15-byte reply") << ReadCase{1, 5, &sim::Faults::shortReplies, -1, 0, noAnswer.arg(1)};
    QTest::newRow("falls silent after three channels") << ReadCase{10, 20, {}, 3, 3, noAnswer.arg(13)};
    QTest::newRow("falls silent in the QMB range") << ReadCase{109, 113, {}, 3, 3, noAnswer.arg("Q4")};
}

// One request "ch 00 00 04 10" at a time, up to the channel that did not answer.
void ReadMemoriesTest::read()
{
    QFETCH(ReadCase, c);
    LinkBench bench;
    for (const auto& [channel, record] : Expected(1, kChannelCount))
        bench.radio->setMemory(channel, record);
    QVERIFY(bench.find());
    sim::Faults faults;
    if (c.fault)
        faults.*c.fault = true;
    if (c.answered >= 0)
        faults.stopAfter = bench.radio->replyCount() + c.answered;
    bench.radio->setFaults(faults);

    Reads got;
    const LinkResult result = bench.link.ReadMemories(c.first, c.last, [&](int ch, const Record& r) {
        got.append({ch, r});
    });
    QCOMPARE(result.error, c.error);
    QCOMPARE(result.ok, c.error.isEmpty());
    QCOMPARE(got, Expected(c.first, c.first + c.recordsRead - 1));
    QStringList requests;
    for (int ch = c.first; ch <= (c.error.isEmpty() ? c.last : c.first + c.recordsRead); ++ch)
        requests << QStringLiteral("%1 00 00 04 10").arg(ch, 2, 16, QLatin1Char('0')).toUpper();
    QCOMPARE(bench.sent(), requests);
}

QTEST_GUILESS_MAIN(ReadMemoriesTest)
#include "read_test.moc"
