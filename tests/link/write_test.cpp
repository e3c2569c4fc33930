// SPDX-License-Identifier: GPL-3.0-or-later
// Writing channels through VFO-A: the exact frames, failures midway, every setting's round trip.
#include <map>

#include <QtTest>

#include "codec.h"
#include "linkfakes.h"
#include "rowreader.h"

using namespace vardo;
using namespace vardo::test;
using namespace std::chrono_literals;

namespace {

// VFO-A at 7050.00 kHz LSB, 8.2 MHz filter 2.4K, 455 kHz filter 500, receive clarifier on at
// +1.50 kHz: it decodes to a receive frequency of 7051.50.
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
    bool vfoSilent = false;             // the VFO-A request gets no answer
    bool restored = true;
    int cancelAfter = 0;                // the batch is cancelled once this channel is written
    QList<int> written = batch ? channels : QList<int>{};  // reported by the batch
    RadioLink::Check check = RadioLink::Check::None;
    int dropStore = 0;  // the radio ignores stores into this channel, which holds kVfoARxRit
    int silentAt = 0;   // the radio stops answering at this channel's read-back
    QString error{};
    QList<int> alsoStored{};  // stored, but not reported as written
    sim::Timing timing = sim::Timing::Fast;
    bool echo = false;  // the interface echoes every byte sent
    std::optional<sim::SimLine::Stray> stray{};  // after the first read-back reply (or every one)
    bool strayEvery = false;
    QStringList frames{};  // between the VFO-A request and its restore, when not the plain sequence
};

// A channel's settings, store and mask, as kUsbFrames sets it up.
QStringList ChannelFrames(int channel)
{
    return kUsbFrames + QStringList{ChannelFrame(channel, "03"), ChannelFrame(channel, "03", channel % 2 ? 1 : 2)};
}

// The memory request "ch 00 00 04 10".
QStringList Asked(int channel) { return {QStringLiteral("%1 00 00 04 10").arg(channel, 2, 16, QChar('0')).toUpper()}; }

}  // namespace

class ChannelWriteTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void write_data();
    void write();
    void roundTrip_data();
    void roundTrip();
};

void ChannelWriteTest::write_data()
{
    QTest::addColumn<WriteCase>("c");
    QList<int> allWritable;
    for (int ch = 1; ch <= kLastPms; ++ch)
        allWritable << ch;
    QTest::newRow("channel 11") << WriteCase{.channels = {11}, .batch = false};
    QTest::newRow("batch of every writable channel") << WriteCase{.channels = allWritable};

    QTest::newRow("time-out at the third channel")
        << WriteCase{.channels = {1, 2, 3, 4}, .stopAt = "00 00 00 03 03", .failure = IoStatus::TimedOut,
                     .written = {1, 2}, .error = "The command for channel 3 could not be sent to the radio on SIM.\r"
                                                 "The last channel written was 2.\rVFO-A has been set back as it was."};
    QTest::newRow("link lost at the first channel")
        << WriteCase{.channels = {1, 2}, .stopAt = "00 00 00 01 03", .failure = IoStatus::LinkLost, .restored = false,
                     .written = {}, .error = "The connection to the radio on SIM was lost.\r"
                                             "No channel was written.\rVFO-A could not be set back as it was."};
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
    QTest::newRow("read back: each channel after its store") << WriteCase{.channels = {1, 2, 100}, .check = readBack};
    QTest::newRow("read back: a store the radio did not take is named, the batch goes on")
        << WriteCase{.channels = {1, 2, 3}, .check = readBack, .dropStore = 2,
                     .error = "The radio does not hold channel 2 as written:\r2: frequency radio 7051.50, file "
                              "14195.00; mode radio LSB, file USB; 455 filter radio 500, file 2.0K; Rx RIT radio ON, "
                              "file OFF; offset radio 1.50, file 0.00\rEvery other channel was written and read back "
                              "as written.\rVFO-A has been set back as it was."};
    // The channel was stored: the message names it, not the one before it.
    QTest::newRow("read back: the radio stops answering at the second channel")
        << WriteCase{.channels = {1, 2, 3}, .written = {1}, .check = readBack, .silentAt = 2,
                     .error = "The radio did not answer the request for memory channel 2.\rChannel 2 was stored, but "
                              "it could not be read back to check it.\rVFO-A has been set back as it was.",
                     .alsoStored = {2}};
    QTest::newRow("read back: the radio stops answering at the first channel")
        << WriteCase{.channels = {100, 101}, .written = {}, .check = readBack, .silentAt = 100,
                     .error = "The radio did not answer the request for memory channel P1.\rChannel P1 was stored, "
                              "but it could not be read back to check it.\rVFO-A has been set back as it was.",
                     .alsoStored = {100}};
    // A channel counts as written once the read-back after it has framed cleanly too.
    QTest::newRow("read back: stopped after the first channel, two more under way")
        << WriteCase{.channels = {1, 2, 3, 4, 5}, .cancelAfter = 1, .written = {1, 2, 3}, .check = readBack,
                     .error = "The write was stopped after channel 3.\rVFO-A has been set back as it was."};
    const auto line = sim::Timing::Virtual;
    QTest::newRow("read back through an interface that echoes: each channel asked for once")
        << WriteCase{.channels = {1, 2, 3, 100}, .check = readBack, .timing = line, .echo = true};
    QTest::newRow("read back: a stray byte in the window, asked for again")
        << WriteCase{.channels = {1, 2, 3}, .check = readBack, .timing = line, .stray = sim::SimLine::Stray{3ms},
                     .frames = ChannelFrames(1) + Asked(1) + ChannelFrames(2) + Asked(2) + Asked(1) + Asked(2)
                         + ChannelFrames(3) + Asked(3)};
    QTest::newRow("read back: 20-byte records")
        << WriteCase{.channels = {1, 2, 3}, .written = {}, .check = readBack,
                     .error = "The radio's replies to the request for memory channel 1 were malformed (20 bytes where "
                              "16 were expected).\rChannels 1 and 2 were stored, but they could not be read back to "
                              "check them.\rVFO-A has been set back as it was.",
                     .alsoStored = {1, 2}, .timing = line,
                     .stray = sim::SimLine::Stray{sim::kByteTime + 5ms, 4}, .strayEvery = true,
                     .frames = ChannelFrames(1) + Asked(1) + ChannelFrames(2) + Asked(2) + Asked(1)};
    QTest::newRow("VFO-A does not answer")
        << WriteCase{.channels = {1, 2}, .stopAt = kUsbFrames[0], .vfoSilent = true, .restored = false, .written = {},
                     .error = "The radio did not answer the request for the VFO-A record.\rNo channel was written."};
    QTest::newRow("a QMB channel is refused before anything is sent")
        << WriteCase{.channels = {1, 110}, .stopAt = kVfoARequest, .restored = false, .written = {},
                     .error = "Channel Q2 cannot be written into the radio."};
}

// VFO-A is read once first and restored once last, with its VFO frequency rather than the
// receive frequency, although its receive clarifier was on.
void ChannelWriteTest::write()
{
    QFETCH(WriteCase, c);
    LinkBench bench(c.timing);
    bench.radio->setVfoA(kVfoARxRit);
    sim::Faults faults;
    faults.echo = c.echo;
    bench.radio->setFaults(faults);
    QVERIFY(bench.find());
    bench.wire->failWrite = [&](const QByteArray& frame) {
        return frame == QByteArray::fromHex(c.stopAt.toLatin1()) ? c.failure : std::nullopt;
    };
    if (c.stray)  // the first reply is VFO-A's
        bench.wire->stray = [stray = *c.stray, every = c.strayEvery, n = 0]() mutable {
            return ++n == 2 || (every && n > 2) ? std::optional(stray) : std::nullopt;
        };
    faults.silent = c.vfoSilent;
    faults.dropStore = c.dropStore;
    // VFO-A and each read-back before silentAt are answered.
    if (c.silentAt)
        faults.stopAfter = bench.radio->replyCount() + 1 + int(c.channels.indexOf(c.silentAt));
    bench.radio->setFaults(faults);
    bench.radio->setMemory(c.dropStore, kVfoARxRit);
    const bool readBack = c.check == RadioLink::Check::ReadBack;

    QList<ChannelWrite> writes;
    QStringList expected{kVfoARequest};
    for (int ch : c.channels) {
        writes << ChannelWrite{kUsb, ch, ch % 2 ? 1 : 2};
        expected << kUsbFrames << ChannelFrame(ch, "03") << ChannelFrame(ch, "03", writes.last().MaskCode);
        if (readBack)
            expected << Asked(ch);
    }
    QList<int> written;
    std::atomic<bool> cancel = false;
    bench.link.setCancelFlag(&cancel);
    const auto note = [&](int ch) { written << ch, cancel = cancel || ch == c.cancelAfter; };
    const LinkResult result = bench.link.WriteBatch(writes, c.batch ? RadioLink::WrittenSink(note) : nullptr, c.check);
    QCOMPARE(result.error, c.error);
    QCOMPARE(result.ok, c.error.isEmpty());
    QCOMPARE(result.cancelled, c.cancelAfter != 0);
    QCOMPARE(result.mismatches.size(), c.dropStore ? 1 : 0);
    QCOMPARE(written, c.written);
    qsizetype end = c.stopAt.isEmpty() ? expected.size() : expected.indexOf(c.stopAt);
    if (c.cancelAfter)  // the next channel's settings and store never go out
        end = expected.indexOf(ChannelFrame(c.written.last() + 1, "03")) - kUsbFrames.size();
    if (c.silentAt)  // the read-back that got no answer is the last frame before VFO-A goes back
        end = expected.indexOf(Asked(c.silentAt)[0]) + 1;
    expected = c.frames.isEmpty() ? expected.mid(0, end) : QStringList{kVfoARequest} + c.frames;
    QCOMPARE(bench.sent(), c.restored ? expected + kRestoreFrames : expected);
    if (c.restored)
        QCOMPARE(bench.radio->vfoA(), kVfoARxRit);
    // Every channel reported, and the one stored but not checked, holds what was written.
    const QList<int> stored = (c.batch ? c.written : c.channels) + c.alsoStored;
    for (int ch = 1; ch <= kLastPms; ++ch)
        QCOMPARE(DecodeRecord(bench.radio->memory(ch)).Freq == 14195.0f, stored.contains(ch) && ch != c.dropStore);
}

void ChannelWriteTest::roundTrip_data()
{
    QTest::addColumn<QString>("mode");
    for (const QString& mode : ModeTexts())
        QTest::newRow(qPrintable(mode)) << mode;
}

// Every combination of filters, clarifier switches and repeater shift, for each mode, written
// into memory channels through VFO-A in one batch: the read-back finds every channel as written,
// and a read of its own afterwards shows the last combination each channel got.
void ChannelWriteTest::roundTrip()
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
    QCOMPARE(writes.size(), 5 * 5 * 2 * 2 * 3);
    const LinkResult result = bench.link.WriteBatch(writes);
    QVERIFY2(result.ok, qPrintable(result.error));
    std::map<int, Channel> back;
    QVERIFY(bench.link.ReadMemories(kFirstRegular, kLastPms, [&](int ch, const Record& r) { back[ch] = DecodeRecord(r); }).ok);
    for (auto& [channel, c] : last) {
        c.Ant = back[channel].Ant;  // the antenna is never written
        QCOMPARE(CellsFromChannel(back[channel]), CellsFromChannel(c));
    }
}

QTEST_GUILESS_MAIN(ChannelWriteTest)
#include "write_test.moc"
