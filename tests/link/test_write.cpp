// Writing channels through VFO-A into the emulated radio: the exact frames, the batch
// counts, what a failure in the middle leaves behind, and the round trip of every setting.
#include <QtTest>

#include "channelrow.h"
#include "codec.h"
#include "linkfakes.h"
#include "radiolink.h"
#include "simtransport.h"

using namespace vardo;
using namespace vardo::test;

namespace {

const QString kSimPort = QStringLiteral("SIM");

// VFO-A at 7050.00 kHz LSB, 8.2 MHz filter 2.4K, 455 kHz filter 500, receive clarifier on at
// +1.50 kHz: it decodes to a receive frequency of 7051.50.
const Record kVfoARxRit = RecordFromBytes(QByteArray::fromHex("00" "00AC1E80" "0960" "00" "13" "02" "000000000000"));
const QStringList kRestoreFrames{"00 00 00 00 0C", "01 00 00 00 8C", "02 00 00 02 8C", "00 50 70 00 0A",
                                 "00 00 00 01 09", "00 00 00 80 09", "50 01 00 FF 09", "00 00 00 00 84"};

Channel UsbChannel()
{
    Channel c;
    c.Freq = 14195.0f;
    c.Mode = QStringLiteral("USB");
    c.Filt82 = QStringLiteral("2.4K");
    c.Filt455 = QStringLiteral("2.0K");
    c.Ant = QStringLiteral("A");
    c.RxRit = QStringLiteral("OFF");
    c.TxRit = QStringLiteral("OFF");
    c.Rpt = QStringLiteral("OFF");
    c.OffsetSign = QStringLiteral(" ");
    return c;
}
const QStringList kUsbFrames{"00 00 00 01 0C", "01 00 00 00 8C", "02 00 00 01 8C", "00 95 41 01 0A",
                             "00 00 00 00 09", "00 00 00 80 09", "00 00 00 FF 09", "00 00 00 00 84"};

ChannelWrite Write(int channelNo, int maskCode = 2, Channel c = UsbChannel())
{
    return ChannelWrite{c, channelNo, maskCode};
}

QByteArray FrameBytes(const QString& hex)
{
    return QByteArray::fromHex(hex.toLatin1());
}

struct Bench {
    std::shared_ptr<sim::SimRadio> radio = std::make_shared<sim::SimRadio>();
    std::shared_ptr<WireScript> wire = std::make_shared<WireScript>();
    RadioLink link{WithFailures(sim::SimulatedPortFactory(radio, kSimPort, {}, sim::Timing::Fast), wire)};
    QList<int> written;

    Bench()
    {
        radio->setVfoA(kVfoARxRit);
        QVERIFY(link.FindRadio({kSimPort}));
        radio->clearLog();
    }
    LinkResult batch(const QList<ChannelWrite>& writes)
    {
        return link.WriteBatch(writes, [this](int channel) { written << channel; });
    }
    [[nodiscard]] QStringList sent() const { return HexFrames(radio->frameLog()); }
};

}  // namespace

class ChannelWriteTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void singleWrite_data();
    void singleWrite();
    void batchCount_data();
    void batchCount();
    void batchFailure_data();
    void batchFailure();
    void roundTrip_data();
    void roundTrip();
};

void ChannelWriteTest::singleWrite_data()
{
    QTest::addColumn<ChannelWrite>("write");
    QTest::addColumn<QStringList>("settings");
    QTest::addColumn<QStringList>("storeAndMask");

    QTest::newRow("channel 12, not masked") << Write(12) << kUsbFrames
                                            << QStringList{"00 00 00 0C 03", "00 00 02 0C 03"};
    QTest::newRow("channel 1, masked") << Write(1, 1) << kUsbFrames
                                       << QStringList{"00 00 00 01 03", "00 00 01 01 03"};
    QTest::newRow("PMS P9 is channel 108") << Write(108) << kUsbFrames
                                           << QStringList{"00 00 00 6C 03", "00 00 02 6C 03"};
    Channel unknownMode = UsbChannel();
    unknownMode.Mode.clear();
    QTest::newRow("no mode command for an unknown mode")
        << Write(7, 2, unknownMode) << kUsbFrames.mid(1) << QStringList{"00 00 00 07 03", "00 00 02 07 03"};
}

// VFO-A is read first and restored last, with its VFO frequency rather than the receive
// frequency, although its receive clarifier was on.
void ChannelWriteTest::singleWrite()
{
    QFETCH(ChannelWrite, write);
    QFETCH(QStringList, settings);
    QFETCH(QStringList, storeAndMask);

    Bench bench;
    const LinkResult result = bench.link.WriteChannel(write);
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(bench.sent(), QStringList{"00 00 00 02 10"} + settings + storeAndMask + kRestoreFrames);
    QCOMPARE(bench.radio->vfoA(), kVfoARxRit);
}

void ChannelWriteTest::batchCount_data()
{
    QTest::addColumn<int>("count");
    QTest::newRow("one") << 1;
    QTest::newRow("three") << 3;
    QTest::newRow("all PMS and regular") << 108;
}

void ChannelWriteTest::batchCount()
{
    QFETCH(int, count);
    Bench bench;
    QList<ChannelWrite> writes;
    QList<int> channels;
    for (int ch = 1; ch <= count; ++ch) {
        writes << Write(ch, ch % 2 ? 1 : 2);
        channels << ch;
    }
    const LinkResult result = bench.batch(writes);
    QVERIFY2(result.ok, qPrintable(result.error));

    const QStringList sent = bench.sent();
    QCOMPARE(sent.size(), 1 + 10 * count + 8);
    QCOMPARE(sent.first(), QStringLiteral("00 00 00 02 10"));
    QCOMPARE(sent.count(QStringLiteral("00 00 00 02 10")), 1);
    QCOMPARE(sent.mid(sent.size() - 8), kRestoreFrames);
    QCOMPARE(bench.written, channels);
    const Channel last = DecodeRecord(bench.radio->memory(count));
    QCOMPARE(last.Mode, QStringLiteral("USB"));
    QCOMPARE(last.masked(), count % 2 == 1);
}

void ChannelWriteTest::batchFailure_data()
{
    QTest::addColumn<QList<int>>("channels");
    QTest::addColumn<QString>("failFrame");  // the write of this frame fails ...
    QTest::addColumn<int>("failStatus");     // ... with this IoStatus
    QTest::addColumn<bool>("vfoSilent");     // the VFO-A request gets no answer
    QTest::addColumn<QList<int>>("written");
    QTest::addColumn<bool>("restored");
    QTest::addColumn<QString>("error");

    const int timedOut = int(IoStatus::TimedOut);
    const int lost = int(IoStatus::LinkLost);
    QTest::newRow("time-out at the third channel")
        << QList<int>{1, 2, 3, 4} << "00 00 00 03 03" << timedOut << false << QList<int>{1, 2} << true
        << "The command for channel 3 could not be sent to the radio on SIM.\r"
           "The last channel written was 2.\rVFO-A has been set back as it was.";
    QTest::newRow("time-out at the first channel")
        << QList<int>{5, 6} << "00 00 00 05 03" << timedOut << false << QList<int>{} << true
        << "The command for channel 5 could not be sent to the radio on SIM.\r"
           "No channel was written.\rVFO-A has been set back as it was.";
    QTest::newRow("time-out in the PMS channels")
        << QList<int>{99, 100, 101} << "00 00 02 65 03" << timedOut << false << QList<int>{99, 100} << true
        << "The command for channel P2 could not be sent to the radio on SIM.\r"
           "The last channel written was P1.\rVFO-A has been set back as it was.";
    QTest::newRow("link lost at the second channel")
        << QList<int>{1, 2, 3} << "00 00 00 02 03" << lost << false << QList<int>{1} << false
        << "The connection to the radio on SIM was lost.\r"
           "The last channel written was 1.\rVFO-A could not be set back as it was.";
    QTest::newRow("VFO-A does not answer")
        << QList<int>{1, 2} << QString() << 0 << true << QList<int>{} << false
        << "The radio did not answer the request for the VFO-A record.\rNo channel was written.";
    QTest::newRow("a QMB channel is refused before anything is sent")
        << QList<int>{1, 110} << QString() << 0 << false << QList<int>{} << false
        << "Channel Q2 cannot be written into the radio.";
}

void ChannelWriteTest::batchFailure()
{
    QFETCH(QList<int>, channels);
    QFETCH(QString, failFrame);
    QFETCH(int, failStatus);
    QFETCH(bool, vfoSilent);
    QFETCH(QList<int>, written);
    QFETCH(bool, restored);
    QFETCH(QString, error);

    Bench bench;
    const QByteArray failing = FrameBytes(failFrame);
    bench.wire->failWrite = [&](const QByteArray& frame) -> std::optional<IoStatus> {
        if (!failing.isEmpty() && frame == failing)
            return IoStatus(failStatus);
        return std::nullopt;
    };
    if (vfoSilent) {
        sim::Faults silent;
        silent.silent = true;
        bench.radio->setFaults(silent);
    }
    QList<ChannelWrite> writes;
    for (int ch : channels)
        writes << Write(ch);

    const LinkResult result = bench.batch(writes);
    QVERIFY(!result.ok);
    QCOMPARE(result.error, error);
    QCOMPARE(bench.written, written);
    const QStringList sent = bench.sent();
    QCOMPARE(sent.size() >= 8 && sent.mid(sent.size() - 8) == kRestoreFrames, restored);
    if (vfoSilent)
        QCOMPARE(sent, QStringList{"00 00 00 02 10"});
}

void ChannelWriteTest::roundTrip_data()
{
    QTest::addColumn<QString>("mode");
    for (const QString& mode : ModeTexts())
        QTest::newRow(qPrintable(mode)) << mode;
}

// Every combination of filters, clarifier switches and repeater shift, for each mode: written
// into a memory channel through VFO-A and read back, the channel shows the same texts.
void ChannelWriteTest::roundTrip()
{
    QFETCH(QString, mode);
    Bench bench;
    int combination = 0;
    for (const QString& f82 : Filter82Texts())
        for (const QString& f455 : Filter455Texts())
            for (const QString& rx : RitTexts())
                for (const QString& tx : RitTexts())
                    for (const QString& rpt : RptTexts()) {
                        Channel c = UsbChannel();
                        c.Mode = mode;
                        c.Filt82 = f82;
                        c.Filt455 = f455;
                        c.RxRit = rx;
                        c.TxRit = tx;
                        c.Rpt = rpt;
                        c.Freq = 14195.5f;
                        c.Offset = (combination % 2) ? -1.25f : 9.99f;
                        c.OffsetSign = (combination % 2) ? QString() : QStringLiteral("+");
                        const bool masked = combination % 3 == 0;
                        c.Mask = masked ? QStringLiteral("* ") : QStringLiteral("  ");
                        const int channel = 1 + combination % 108;
                        ++combination;

                        const LinkResult w = bench.link.WriteChannel(Write(channel, masked ? 1 : 2, c));
                        QVERIFY2(w.ok, qPrintable(w.error));
                        Channel back;
                        const LinkResult r = bench.link.ReadMemories(channel, channel, [&](int, const Record& rec) {
                            back = DecodeRecord(rec);
                        });
                        QVERIFY2(r.ok, qPrintable(r.error));
                        SettingCells expected = CellsFromChannel(c);
                        SettingCells got = CellsFromChannel(back);
                        expected[ColAnt - 1] = got[ColAnt - 1];  // the antenna is never written
                        QCOMPARE(got, expected);
                    }
    QCOMPARE(combination, 5 * 5 * 2 * 2 * 3);
}

QTEST_GUILESS_MAIN(ChannelWriteTest)
#include "test_write.moc"
