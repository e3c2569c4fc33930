// SPDX-License-Identifier: GPL-3.0-or-later
// Reading memory channels: the requests on the wire, the records, a radio that stops answering
// or answers with too many or too few bytes, an interface that echoes each request, the
// pacing the operator chose.
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
    sim::Timing timing = sim::Timing::Fast;
    int strayBytes = 0;   // replies that get one byte too many on the way
    int asked = 1;        // times the channel that failed (the first, when none did) was asked for
    int pacing = Cat::kPacing;  // ms between reply bytes, asked for at the search
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
    const QString noAnswer = QStringLiteral("The radio did not answer the request for memory channel %1.");
    const QString malformed = QStringLiteral("The radio's replies to the request for memory channel 1 were "
                                             "malformed (%1 bytes where 16 were expected).");
    // The surplus of a long record arrives after the 16th byte: it must not start the next reply.
    for (const auto timing : {sim::Timing::Fast, sim::Timing::Real}) {
        const char* pace = timing == sim::Timing::Real ? ", at the line's pace" : ", at once";
        QTest::newRow(qPrintable(QStringLiteral("20-byte replies%1").arg(pace)))
            << ReadCase{1, 5, &sim::Faults::longReplies, -1, 0, malformed.arg(20), timing, 0, 2};
        QTest::newRow(qPrintable(QStringLiteral("each request echoed by the interface%1").arg(pace)))
            << ReadCase{1, 12, &sim::Faults::echo, -1, 12, {}, timing};
    }
    // The reply bound and the quiet gap grow with the pacing: at 100 ms a record takes 1.6 s.
    const auto real = sim::Timing::Real;
    QTest::newRow("pacing 100: replies longer than a second") << ReadCase{1, 2, {}, -1, 2, {}, real, 0, 1, 100};
    QTest::newRow("pacing 100: a surplus byte 100 ms late still seen")
        << ReadCase{1, 1, &sim::Faults::longReplies, -1, 0, malformed.arg(20), real, 0, 2, 100};
    QTest::newRow("pacing 0") << ReadCase{1, 20, {}, -1, 20, {}, real, 0, 1, 0};
    QTest::newRow("15-byte replies") << ReadCase{1, 5, &sim::Faults::shortReplies, -1, 0, malformed.arg(15), {}, 0, 2};
    QTest::newRow("one stray byte: that channel asked for again")
        << ReadCase{7, 9, {}, -1, 3, {}, {}, 1, 2};
    QTest::newRow("falls silent after three channels") << ReadCase{10, 20, {}, 3, 3, noAnswer.arg(13)};
    QTest::newRow("falls silent in the QMB range") << ReadCase{109, 113, {}, 3, 3, noAnswer.arg("Q4")};
}

// One request "ch 00 00 04 10" at a time, up to the channel that did not answer.
void ReadMemoriesTest::read()
{
    QFETCH(ReadCase, c);
    SimBench bench;
    RadioLink link(bench.factory(kSimPort, c.timing));
    link.setPacing(c.pacing);
    for (const auto& [channel, record] : Expected(1, kChannelCount))
        bench.radio->setMemory(channel, record);
    QVERIFY(link.FindRadio({kSimPort}));
    QCOMPARE(bench.radio->pacing(), c.pacing);
    bench.radio->clearLog();
    bench.wire->strayBytes = c.strayBytes;
    sim::Faults faults;
    if (c.fault)
        faults.*c.fault = true;
    if (c.answered >= 0)
        faults.stopAfter = bench.radio->replyCount() + c.answered;
    bench.radio->setFaults(faults);

    Reads got;
    const LinkResult result = link.ReadMemories(c.first, c.last, [&](int ch, const Record& r) {
        got.append({ch, r});
    });
    QCOMPARE(result.error, c.error);
    QCOMPARE(result.ok, c.error.isEmpty());
    QCOMPARE(got, Expected(c.first, c.first + c.recordsRead - 1));
    QStringList requests;
    for (int ch = c.first; ch <= (c.error.isEmpty() ? c.last : c.first + c.recordsRead); ++ch)
        requests << QStringLiteral("%1 00 00 04 10").arg(ch, 2, 16, QLatin1Char('0')).toUpper();
    const QString again = c.error.isEmpty() ? requests.first() : requests.last();
    for (int n = 1; n < c.asked; ++n)
        requests.insert(requests.indexOf(again), again);
    QCOMPARE(bench.sent(), requests);
}

QTEST_GUILESS_MAIN(ReadMemoriesTest)
#include "read_test.moc"
