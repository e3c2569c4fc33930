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
    sim::Timing timing = sim::Timing::Virtual;
    int pacing = Cat::kPacing;  // ms between reply bytes, asked for at the search
    QList<int> asked{};  // the requests in order, when they are not one for each channel read
    std::optional<sim::SimLine::Stray> stray{};  // added after the first reply of the read
};

using namespace std::chrono_literals;

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
    const auto fast = sim::Timing::Fast;
    for (const auto& [name, view] : {std::pair{"QMB", ViewKind::Qmb}, std::pair{"PMS", ViewKind::Pms},
                                     std::pair{"1-99", ViewKind::Ch99}, std::pair{"all", ViewKind::All}})
        QTest::newRow(name) << ReadCase{.first = FirstChannel(view), .last = LastChannel(view), .timing = fast};
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
    for (const auto timing : {fast, line})
        QTest::newRow(timing == fast ? "each request echoed, at once" : "each request echoed, at the line's pace")
            << ReadCase{1, 12, &sim::Faults::echo, -1, 12, {}, timing};
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
void ReadMemoriesTest::read()
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
    const LinkResult result = link.ReadMemories(c.first, c.last, [&](int ch, const Record& r) {
        got.append({ch, r});
    });
    QCOMPARE(result.error, c.error);
    QCOMPARE(result.ok, c.error.isEmpty());
    QCOMPARE(got, Expected(c.first, c.first + c.recordsRead - 1));
    QList<int> asked = c.asked;
    const int lastAsked = c.error.isEmpty() ? c.last : c.first + c.recordsRead;
    for (int ch = c.first; c.asked.isEmpty() && ch <= lastAsked; ++ch)
        asked << ch;
    QStringList requests;
    for (int ch : asked)
        requests << QStringLiteral("%1 00 00 04 10").arg(ch, 2, 16, QLatin1Char('0')).toUpper();
    QCOMPARE(bench.sent(), requests);
}

QTEST_GUILESS_MAIN(ReadMemoriesTest)
#include "read_test.moc"
