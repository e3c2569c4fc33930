// The emulator core as a client sees it: bytes in, bytes out, and what the program's own
// decoder reads back from the records it keeps.

#include <QTemporaryDir>
#include <QTest>

#include "codec.h"
#include "numberformat.h"
#include "recordfields.h"
#include "simradio.h"

using namespace vardo;
using namespace vardo::sim;

namespace {

QByteArray Hex(const char* text) { return QByteArray::fromHex(QByteArray(text).replace(' ', "")); }

Record RecordOf(const char* text) { return RecordFromBytes(Hex(text)); }

const Record kSample = RecordOf("80 01 5A 8E C0 03 20 02 B4 16 00 00 00 00 00 00");

// The decoded field a table row names.
QString Field(const Channel& c, const QString& name)
{
    if (name == "Freq") return TwoDecimalText(c.Freq);
    if (name == "Offset") return c.OffsetSign + TwoDecimalText(c.Offset);
    if (name == "Mode") return c.Mode;
    if (name == "Filt82") return c.Filt82;
    if (name == "Filt455") return c.Filt455;
    if (name == "RxRit") return c.RxRit;
    if (name == "TxRit") return c.TxRit;
    if (name == "Rpt") return c.Rpt;
    return QStringLiteral("?");
}

}  // namespace

class SimRadioTest : public QObject {
    Q_OBJECT

private slots:
    void framesSplitAnywhere_data();
    void framesSplitAnywhere();
    void replies_data();
    void replies();
    void settingCommands_data();
    void settingCommands();
    void encodersRoundTrip();
    void memoryOperations();
    void meterFollowsRecall();
    void faults_data();
    void faults();
    void imageRoundTrip();
    void imageErrors_data();
    void imageErrors();
    void demoImage();
};

void SimRadioTest::framesSplitAnywhere_data()
{
    QTest::addColumn<QList<QByteArray>>("chunks");
    const QByteArray both = Hex("00 00 00 00 FA 00 00 00 02 10");
    QList<QByteArray> bytes;
    for (char b : both)
        bytes << QByteArray(1, b);
    QTest::newRow("one write") << QList<QByteArray>{both};
    QTest::newRow("byte by byte") << bytes;
    QTest::newRow("3 + 7") << QList<QByteArray>{both.left(3), both.mid(3)};
    QTest::newRow("7 + 3") << QList<QByteArray>{both.left(7), both.mid(7)};
    QTest::newRow("4 + 2 + 4") << QList<QByteArray>{both.left(4), both.mid(4, 2), both.mid(6)};
}

void SimRadioTest::framesSplitAnywhere()
{
    QFETCH(QList<QByteArray>, chunks);
    SimRadio radio;
    radio.setVfoA(kSample);
    QByteArray reply;
    for (const QByteArray& chunk : chunks)
        reply += radio.feed(chunk);
    QCOMPARE(reply, Hex("00 00 00 03 93") + RecordBytes(kSample));
    const auto log = radio.frameLog();
    QCOMPARE(log.size(), std::size_t(2));
    QCOMPARE(log[0].toBytes(), Hex("00 00 00 00 FA"));
    QCOMPARE(log[1].toBytes(), Hex("00 00 00 02 10"));
    QVERIFY(!radio.hasPartialFrame());
}

void SimRadioTest::replies_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("reply");
    const QByteArray a = RecordBytes(kSample);
    const QByteArray b = Hex("00 00 AC 1E 80 00 00 00 11 00 00 00 00 00 00 00");
    const QByteArray ch5 = Hex("00 01 57 9A 80 00 00 01 11 00 00 00 00 00 00 00");
    QTest::newRow("status") << Hex("00 00 00 00 FA") << Hex("00 00 00 03 93");
    QTest::newRow("VFO-A") << Hex("00 00 00 02 10") << a;
    QTest::newRow("both VFOs") << Hex("00 00 00 03 10") << a + b;
    QTest::newRow("channel 5") << Hex("05 00 00 04 10") << ch5;
    QTest::newRow("blank channel 113") << Hex("71 00 00 04 10") << QByteArray(16, '\0');
    QTest::newRow("channel 0") << Hex("00 00 00 04 10") << QByteArray();
    QTest::newRow("channel 114") << Hex("72 00 00 04 10") << QByteArray();
    QTest::newRow("meter, nothing recalled") << Hex("00 00 00 00 F7") << Hex("00 00 00 00 F7");
    QTest::newRow("pacing") << Hex("00 00 00 05 0E") << QByteArray();
    QTest::newRow("setting") << Hex("00 00 00 01 0C") << QByteArray();
    QTest::newRow("unknown opcode") << Hex("00 00 00 00 77") << QByteArray();
}

void SimRadioTest::replies()
{
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, reply);
    SimRadio radio;
    radio.setVfoA(kSample);
    radio.setVfoB(RecordOf("00 00 AC 1E 80 00 00 00 11 00 00 00 00 00 00 00"));
    radio.setMemory(5, RecordOf("00 01 57 9A 80 00 00 01 11 00 00 00 00 00 00 00"));
    QCOMPARE(radio.feed(request), reply);
    QCOMPARE(radio.frameLog().size(), std::size_t(1));
}

void SimRadioTest::settingCommands_data()
{
    QTest::addColumn<QByteArray>("frames");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    const char* modes[] = {"LSB", "USB", "CW (usb)", "CW (lsb)", "AM (env)", "AM (sync)", "FM", nullptr,
                           "RTTY (lsb)", "RTTY (usb)", "PKT (lsb)", "PKT (fm)"};
    for (int m = 0; m < 12; ++m) {
        if (!modes[m])
            continue;
        QTest::addRow("mode %02X", m) << Hex("00 00 00 00 0C").replace(3, 1, QByteArray(1, char(m))) << "Mode" << modes[m];
    }
    QTest::newRow("mode 07 ignored") << Hex("00 00 00 07 0C") << "Mode" << "USB";
    QTest::newRow("8.2 2.4K") << Hex("01 00 00 00 8C") << "Filt82" << "2.4K";
    QTest::newRow("8.2 2.0K") << Hex("01 00 00 01 8C") << "Filt82" << "2.0K";
    QTest::newRow("8.2 500") << Hex("01 00 00 02 8C") << "Filt82" << "500";
    QTest::newRow("8.2 250") << Hex("01 00 00 03 8C") << "Filt82" << "250";
    QTest::newRow("8.2 Thru") << Hex("01 00 00 04 8C") << "Filt82" << "Thru";
    QTest::newRow("8.2 width 05 ignored") << Hex("01 00 00 05 8C") << "Filt82" << "Thru";
    QTest::newRow("455 6.0K") << Hex("02 00 00 04 8C") << "Filt455" << "6.0K";
    QTest::newRow("455 250 keeps 8.2") << Hex("02 00 00 03 8C") << "Filt82" << "Thru";
    QTest::newRow("455 250") << Hex("02 00 00 03 8C") << "Filt455" << "250";
    QTest::newRow("rx clarifier on") << Hex("00 00 00 01 09") << "RxRit" << "ON";
    QTest::newRow("rx clarifier off") << Hex("00 00 00 01 09 00 00 00 00 09") << "RxRit" << "OFF";
    QTest::newRow("tx clarifier on") << Hex("00 00 00 81 09") << "TxRit" << "ON";
    QTest::newRow("tx leaves rx") << Hex("00 00 00 81 09") << "RxRit" << "OFF";
    QTest::newRow("tx clarifier off") << Hex("00 00 00 81 09 00 00 00 80 09") << "TxRit" << "OFF";
    QTest::newRow("offset +1.23") << Hex("23 01 00 FF 09") << "Offset" << "+1.23";
    QTest::newRow("offset -0.50") << Hex("50 00 FF FF 09") << "Offset" << "-0.50";
    QTest::newRow("offset -9.99") << Hex("99 09 FF FF 09") << "Offset" << "-9.99";
    QTest::newRow("offset +9.99") << Hex("99 09 00 FF 09") << "Offset" << "+9.99";
    QTest::newRow("offset 0") << Hex("23 01 00 FF 09 00 00 00 FF 09") << "Offset" << " 0.00";
    QTest::newRow("offset not BCD ignored") << Hex("2A 01 00 FF 09") << "Offset" << " 0.00";
    QTest::newRow("rx clarifier adds offset") << Hex("00 00 70 00 0A 50 01 00 FF 09 00 00 00 01 09") << "Freq"
                                              << "7001.50";
    QTest::newRow("shift -") << Hex("00 00 00 01 84") << "Rpt" << "-RPT";
    QTest::newRow("shift +") << Hex("00 00 00 02 84") << "Rpt" << "+RPT";
    QTest::newRow("shift off") << Hex("00 00 00 02 84 00 00 00 00 84") << "Rpt" << "OFF";
    QTest::newRow("shift 03 ignored") << Hex("00 00 00 03 84") << "Rpt" << "OFF";
    QTest::newRow("freq 14025.50") << Hex("50 25 40 01 0A") << "Freq" << "14025.50";
    QTest::newRow("freq 7050.00") << Hex("00 50 70 00 0A") << "Freq" << "7050.00";
    QTest::newRow("freq 30000.00") << Hex("00 00 00 03 0A") << "Freq" << "30000.00";
    QTest::newRow("freq 100.00") << Hex("00 00 01 00 0A") << "Freq" << "100.00";
    QTest::newRow("freq 0.01") << Hex("01 00 00 00 0A") << "Freq" << "0.01";
    QTest::newRow("freq not BCD ignored") << Hex("0A 00 00 00 0A") << "Freq" << "0.00";
    QTest::newRow("VFO-B freq leaves A") << Hex("00 50 70 00 8A") << "Freq" << "0.00";
    QTest::newRow("VFO-B mode leaves A") << Hex("00 00 00 84 0C") << "Mode" << "USB";
}

void SimRadioTest::settingCommands()
{
    QFETCH(QByteArray, frames);
    QFETCH(QString, field);
    QFETCH(QString, text);
    SimRadio radio;
    radio.setVfoA(RecordOf("00 00 00 00 00 00 00 01 00 00 00 00 00 00 00 00"));  // 0 kHz USB
    QVERIFY(radio.feed(frames).isEmpty());
    QCOMPARE(Field(DecodeRecord(radio.vfoA()), field), text);
}

// Every combination the encoders can send comes back from VFO-A as the same texts.
void SimRadioTest::encodersRoundTrip()
{
    SimRadio radio;
    int checked = 0;
    for (const QString& mode : ModeTexts())
        for (const QString& f82 : Filter82Texts())
            for (const QString& f455 : Filter455Texts())
                for (const QString& rx : RitTexts())
                    for (const QString& tx : RitTexts())
                        for (const QString& rpt : RptTexts()) {
                            Channel c;
                            c.Freq = rx == "ON" ? 14025.5f - 1.25f : 14025.5f;
                            c.Offset = -1.25f;
                            c.Mode = mode, c.Filt82 = f82, c.Filt455 = f455;
                            c.RxRit = rx, c.TxRit = tx, c.Rpt = rpt;
                            for (const CatFrame& f : EncodeChannel(c))
                                QVERIFY(radio.feed(f.toBytes()).isEmpty());
                            radio.feed(Cat::StoreVfoA(42).toBytes());
                            const Channel back = DecodeRecord(radio.memory(42));
                            QCOMPARE(back.Mode, mode);
                            QCOMPARE(back.Filt82, f82);
                            QCOMPARE(back.Filt455, f455);
                            QCOMPARE(back.RxRit, rx);
                            QCOMPARE(back.TxRit, tx);
                            QCOMPARE(back.Rpt, rpt);
                            QCOMPARE(TwoDecimalText(back.Freq), TwoDecimalText(c.Freq));
                            QCOMPARE(TwoDecimalText(back.Offset), QStringLiteral("-1.25"));
                            ++checked;
                        }
    QCOMPARE(checked, 11 * 5 * 5 * 2 * 2 * 3);
}

void SimRadioTest::memoryOperations()
{
    SimRadio radio;
    radio.setVfoA(kSample);  // its mask bit is set: a store shows the channel again
    radio.setMemory(12, RecordOf("80 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"));
    radio.feed(Hex("00 00 00 0C 03"));  // store VFO-A into 12
    Record expected = kSample;
    SetMasked(expected, false);
    QCOMPARE(radio.memory(12), expected);
    radio.feed(Hex("00 00 01 0C 03"));  // mask
    QVERIFY(IsMasked(radio.memory(12)));
    QCOMPARE(DecodeRecord(radio.memory(12)).Mask, QStringLiteral("* "));
    radio.feed(Hex("00 00 02 0C 03"));  // unmask
    QCOMPARE(radio.memory(12), expected);
    radio.feed(Hex("00 00 01 0C 03"));
    radio.setVfoA(Record{});
    radio.feed(Hex("00 00 00 0C 06"));  // recall the masked channel: VFO-A is not masked
    QCOMPARE(radio.vfoA(), expected);
    QVERIFY(IsMasked(radio.memory(12)));
    QCOMPARE(radio.recalledChannel(), 12);
    radio.feed(Hex("00 00 00 72 03 00 00 01 00 03 00 00 03 0C 03"));  // out of range, bad mask code
    QCOMPARE(radio.frameLog().size(), std::size_t(8));
    QVERIFY(IsMasked(radio.memory(12)));
}

void SimRadioTest::meterFollowsRecall()
{
    SimRadio radio;
    radio.setMeterLevel(7, 0x78);
    radio.setMeterLevel(8, 0xC8);
    const QByteArray meter = Hex("00 00 00 00 F7");
    radio.feed(Hex("00 00 00 07 06"));
    QCOMPARE(radio.feed(meter), Hex("78 78 78 78 F7"));
    radio.feed(Hex("00 00 00 08 06"));
    QCOMPARE(radio.feed(meter).at(0), char(0xC8));
    radio.feed(Hex("00 00 00 09 06"));
    QCOMPARE(radio.feed(meter).at(0), char(0));
}

void SimRadioTest::faults_data()
{
    QTest::addColumn<Faults>("faults");
    QTest::addColumn<QList<int>>("replySizes");  // status, VFO-A, channel 1, both VFOs, meter
    QTest::addColumn<QByteArray>("status");
    Faults f;
    QTest::newRow("none") << f << QList<int>{5, 16, 16, 32, 5} << Hex("00 00 00 03 93");
    f = {};
    f.ident = std::array<std::uint8_t, 2>{0x03, 0x94};
    QTest::newRow("ident") << f << QList<int>{5, 16, 16, 32, 5} << Hex("00 00 00 03 94");
    f = {};
    f.silent = true;
    QTest::newRow("silent") << f << QList<int>{0, 0, 0, 0, 0} << QByteArray();
    f = {};
    f.stopAfter = 2;
    QTest::newRow("stop after 2") << f << QList<int>{5, 16, 0, 0, 0} << Hex("00 00 00 03 93");
    f = {};
    f.stopAfter = 0;
    QTest::newRow("stop after 0") << f << QList<int>{0, 0, 0, 0, 0} << QByteArray();
    f = {};
    f.shortReplies = true;
    QTest::newRow("short") << f << QList<int>{5, 15, 15, 31, 5} << Hex("00 00 00 03 93");
    f = {};
    f.longReplies = true;
    QTest::newRow("long") << f << QList<int>{5, 20, 20, 36, 5} << Hex("00 00 00 03 93");
    f = {};
    f.garbage = true;
    QTest::newRow("garbage") << f << QList<int>{5, 16, 16, 32, 5} << Hex("00 00 00 03 93");
}

void SimRadioTest::faults()
{
    QFETCH(Faults, faults);
    QFETCH(QList<int>, replySizes);
    QFETCH(QByteArray, status);
    SimRadio radio;
    radio.setVfoA(kSample);
    radio.setMemory(1, kSample);
    radio.setFaults(faults);
    const QByteArray requests[] = {Hex("00 00 00 00 FA"), Hex("00 00 00 02 10"), Hex("01 00 00 04 10"),
                                   Hex("00 00 00 03 10"), Hex("00 00 00 00 F7")};
    QList<QByteArray> replies;
    QList<int> sizes;
    for (const QByteArray& r : requests) {
        replies << radio.feed(r);
        sizes << int(replies.last().size());
    }
    QCOMPARE(sizes, replySizes);
    QCOMPARE(replies[0], status);
    QCOMPARE(radio.frameLog().size(), std::size_t(5));  // heard, answered or not
    const QByteArray vfoReply = replies[1];
    if (faults.garbage)
        QVERIFY(vfoReply != RecordBytes(kSample));
    else if (!vfoReply.isEmpty())
        QCOMPARE(vfoReply.left(15), RecordBytes(kSample).left(15));
}

void SimRadioTest::imageRoundTrip()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("image.txt");
    SimRadio radio;
    QVERIFY(radio.loadDemoImage());
    radio.setMemory(99, kSample);
    radio.setMeterLevel(99, 7);
    radio.setVfoB(kSample);
    QString error;
    QVERIFY2(radio.saveImage(path, &error), qPrintable(error));
    SimRadio again;
    QVERIFY2(again.loadImage(path, &error), qPrintable(error));
    for (int ch = 1; ch <= kChannelCount; ++ch) {
        QCOMPARE(again.memory(ch), radio.memory(ch));
        QCOMPARE(again.meterLevel(ch), radio.meterLevel(ch));
    }
    QCOMPARE(again.vfoA(), radio.vfoA());
    QCOMPARE(again.vfoB(), kSample);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    QVERIFY(text.contains("\n6: 0001579A800000011100000000000000  meter=200  # FT8 20 m\n"));
    QVERIFY(text.contains("\n99: 80015A8EC0032002B416000000000000  meter=7  # 14195.50 kHz CW (lsb) (masked)\n"));
    QVERIFY(text.contains("\nP1: "));
    QVERIFY(text.contains("\nQ5: "));
}

void SimRadioTest::imageErrors_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("error");
    const QByteArray good = "# fine\n1:\t0001579A 80000001 11000000 00000000\r\n";
    QTest::newRow("no colon") << good + "2 0001579A800000011100000000000000\n" << "line 3: expected \"name: record\"";
    QTest::newRow("unknown channel") << good + "114: 0001579A800000011100000000000000\n"
                                     << "line 3: unknown channel \"114\"";
    QTest::newRow("P10") << good + "P10: 0001579A800000011100000000000000\n" << "line 3: unknown channel \"P10\"";
    QTest::newRow("short record") << good + "2: 0001579A8000000111000000000000\n"
                                  << "line 3: the record must be 32 hexadecimal digits";
    QTest::newRow("not hex") << good + "2: 0001579A80000001110000000000000G\n"
                             << "line 3: the record must be 32 hexadecimal digits";
    QTest::newRow("twice") << good + "\n01: 0001579A800000011100000000000000\n" << "line 4: 1 is listed twice";
    QTest::newRow("meter") << good + "2: 0001579A800000011100000000000000 meter=256\n"
                           << "line 3: meter level must be 0 to 255";
    QTest::newRow("binary") << QByteArray("\x01\x02\xff\xfe", 4) << "line 1: expected \"name: record\"";
}

void SimRadioTest::imageErrors()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, error);
    QTemporaryDir dir;
    const QString path = dir.filePath("bad.txt");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
    file.close();
    SimRadio radio;
    radio.setMemory(1, kSample);
    QString message;
    QVERIFY(!radio.loadImage(path, &message));
    QCOMPARE(message, path + ": " + error);
    QCOMPARE(radio.memory(1), kSample);  // nothing changed
}

void SimRadioTest::demoImage()
{
    SimRadio radio;
    QVERIFY(radio.loadDemoImage());
    struct Expect {
        int ch;
        const char* freq;
        const char* mode;
    };
    const Expect expected[] = {{6, "14074.00", "USB"},  {30, "10000.00", "AM (env)"}, {36, "14100.00", "CW (usb)"},
                               {60, "29620.00", "FM"},  {100, "1800.00", "CW (usb)"}, {101, "2000.00", "LSB"},
                               {109, "14195.00", "USB"}, {77, "7074.00", "USB"}};
    for (const Expect& e : expected) {
        const Channel c = DecodeRecord(radio.memory(e.ch));
        QCOMPARE(TwoDecimalText(c.Freq), QString(e.freq));
        QCOMPARE(c.Mode, QString(e.mode));
    }
    QCOMPARE(DecodeRecord(radio.memory(60)).Rpt, QStringLiteral("-RPT"));
    QCOMPARE(DecodeRecord(radio.memory(49)).Freq, 7091.2f);  // receive clarifier +1.20
    int masked = 0;
    for (int ch = 1; ch <= kChannelCount; ++ch)
        masked += IsMasked(radio.memory(ch)) ? 1 : 0;
    QCOMPARE(masked, 2);
    QCOMPARE(TwoDecimalText(DecodeRecord(radio.vfoA()).Freq), QStringLiteral("14195.00"));
}

QTEST_GUILESS_MAIN(SimRadioTest)
#include "sim_radio_test.moc"
