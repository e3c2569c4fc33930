// The record decoder and the eight setting encoders: what the grid would show for a record,
// and the exact bytes that go to the radio for a channel.

#include <QRandomGenerator>
#include <QtTest>

#include "codec.h"
#include "framecheck.h"
#include "hexroute.h"
#include "numberformat.h"

using namespace vardo;

Q_DECLARE_METATYPE(vardo::Channel)
Q_DECLARE_METATYPE(vardo::CatFrame)

namespace {

// A record from hexadecimal text; blanks are allowed and missing bytes are zero.
Record RecordOf(const QString& hex)
{
    const QByteArray bytes = QByteArray::fromHex(hex.toLatin1());
    Record r{};
    for (int i = 0; i < std::min<int>(bytes.size(), kRecordSize); ++i)
        r[i] = static_cast<std::uint8_t>(bytes[i]);
    return r;
}

// One field of a decoded channel as text; numbers in their shortest exact form.
QString Field(const Channel& c, const QString& name)
{
    if (name == "Mask") return c.Mask;
    if (name == "Freq") return ShortestText(c.Freq);
    if (name == "Mode") return c.Mode;
    if (name == "Filt82") return c.Filt82;
    if (name == "Filt455") return c.Filt455;
    if (name == "Ant") return c.Ant;
    if (name == "RxRit") return c.RxRit;
    if (name == "TxRit") return c.TxRit;
    if (name == "Rpt") return c.Rpt;
    if (name == "Offset") return ShortestText(c.Offset);
    if (name == "OffsetSign") return QLatin1Char('[') + c.OffsetSign + QLatin1Char(']');
    return QStringLiteral("no such field");
}

QString Hex(const std::optional<CatFrame>& f) { return f ? f->toHex() : QStringLiteral("none"); }

QStringList Hex(const std::vector<CatFrame>& frames)
{
    QStringList out;
    for (const CatFrame& f : frames)
        out << f.toHex();
    return out;
}

// A channel every encoder has a frame for.
Channel KnownChannel()
{
    Channel c;
    c.Freq = 14025.5f;
    c.Mode = "USB";
    c.Filt82 = "2.4K";
    c.Filt455 = "2.0K";
    c.Ant = "B";
    c.RxRit = "OFF";
    c.TxRit = "OFF";
    c.Rpt = "OFF";
    c.Offset = 0.0f;
    c.OffsetSign = " ";
    return c;
}

using Encoder = std::optional<CatFrame> (*)(const Channel&);

Encoder EncoderNamed(const QString& name)
{
    static const QHash<QString, Encoder> encoders{
        {"SendMode", SendMode}, {"Send82Filter", Send82Filter}, {"Send455Filter", Send455Filter},
        {"SendFreq", SendFreq}, {"SendRxRit", SendRxRit}, {"SendTxRit", SendTxRit},
        {"SendRitOffset", SendRitOffset}, {"SendRpt", SendRpt}};
    return encoders.value(name);
}

// Sets one field of a channel from its text form.
void SetField(Channel& c, const QString& field, const QString& value)
{
    if (field == "Freq") c.Freq = value.toFloat();
    else if (field == "Offset") c.Offset = value.toFloat();
    else if (field == "Mode") c.Mode = value;
    else if (field == "Filt82") c.Filt82 = value;
    else if (field == "Filt455") c.Filt455 = value;
    else if (field == "RxRit") c.RxRit = value;
    else if (field == "TxRit") c.TxRit = value;
    else if (field == "Rpt") c.Rpt = value;
    else qFatal("no such field %s", qPrintable(field));
}

Record RandomRecord(QRandomGenerator& rng)
{
    Record r{};
    for (auto& b : r)
        b = static_cast<std::uint8_t>(rng.bounded(256));
    return r;
}

}  // namespace

class TestCodec : public QObject {
    Q_OBJECT
private slots:
    void decodeField_data();
    void decodeField();
    void decodeAgreesWithHexRoute();
    void recordHex();

    void encoder_data();
    void encoder();
    void encodeChannelOrder_data();
    void encodeChannelOrder();

    void decodedRecordsSendOnlyKnownCodes();
    void restoreSendsVfoFrequency();

    void frameBuilders_data();
    void frameBuilders();
};

void TestCodec::decodeField_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("expected");

    QTest::newRow("mask bit set") << "80" << "Mask" << "* ";
    QTest::newRow("mask bit clear") << "7F" << "Mask" << "  ";
    QTest::newRow("14195 kHz") << "00 01 5A 8E C0" << "Freq" << "14195";
    QTest::newRow("ignored frequency nibbles") << "00 F0 00 00 0F" << "Freq" << "0";
    QTest::newRow("highest frequency") << "00 0F FF FF F0" << "Freq" << "167772.2";
    QTest::newRow("CW variant on") << "00 00000000 0000 02 80" << "Mode" << "CW (lsb)";
    QTest::newRow("CW variant off") << "00 00000000 0000 02 00" << "Mode" << "CW (usb)";
    QTest::newRow("AM sync") << "00 00000000 0000 03 B4" << "Mode" << "AM (sync)";
    QTest::newRow("RTTY variant") << "00 00000000 0000 05 80" << "Mode" << "RTTY (usb)";
    QTest::newRow("mode 86 from a real radio") << "00 00000000 0000 86 00" << "Mode" << "PKT (lsb)";
    QTest::newRow("mode 86 variant") << "00 00000000 0000 86 80" << "Mode" << "PKT (fm)";
    QTest::newRow("mode code 7 unknown") << "00 00000000 0000 07 00" << "Mode" << "";
    QTest::newRow("mode FF unknown") << "00 00000000 0000 FF 80" << "Mode" << "";
    QTest::newRow("mode 81 is USB") << "00 00000000 0000 81 00" << "Mode" << "USB";
    QTest::newRow("8.2 filter code 3") << "00 00000000 0000 00 34" << "Filt82" << "500";
    QTest::newRow("455 filter code 4") << "00 00000000 0000 00 34" << "Filt455" << "250";
    QTest::newRow("8.2 filter under variant") << "00 00000000 0000 00 B4" << "Filt82" << "500";
    QTest::newRow("455 filter under variant") << "00 00000000 0000 00 B4" << "Filt455" << "250";
    QTest::newRow("8.2 filter code 0") << "00 00000000 0000 00 00" << "Filt82" << "Thru";
    QTest::newRow("455 filter code 0") << "00 00000000 0000 00 00" << "Filt455" << "6.0K";
    QTest::newRow("455 bit 3 ignored") << "00 00000000 0000 00 0C" << "Filt455" << "250";
    QTest::newRow("8.2 code 5 unknown") << "00 00000000 0000 00 50" << "Filt82" << "";
    QTest::newRow("8.2 code 7 under variant unknown") << "00 00000000 0000 00 F0" << "Filt82" << "";
    QTest::newRow("455 code 5 unknown") << "00 00000000 0000 00 05" << "Filt455" << "";
    QTest::newRow("455 code F unknown") << "00 00000000 0000 00 0F" << "Filt455" << "";
    QTest::newRow("antenna B") << "00 00000000 0000 00 00 10" << "Ant" << "B";
    QTest::newRow("antenna Rx (A)") << "00 00000000 0000 00 00 20" << "Ant" << "Rx (A)";
    QTest::newRow("antenna high bits ignored") << "00 00000000 0000 00 00 F0" << "Ant" << "Rx (B)";
    QTest::newRow("09=06 rx") << "00 00000000 0000 00 00 06" << "RxRit" << "ON";
    QTest::newRow("09=06 tx") << "00 00000000 0000 00 00 06" << "TxRit" << "OFF";
    QTest::newRow("09=06 rpt") << "00 00000000 0000 00 00 06" << "Rpt" << "+RPT";
    QTest::newRow("09=09 rx") << "00 00000000 0000 00 00 09" << "RxRit" << "OFF";
    QTest::newRow("09=09 tx") << "00 00000000 0000 00 00 09" << "TxRit" << "ON";
    QTest::newRow("09=09 rpt") << "00 00000000 0000 00 00 09" << "Rpt" << "-RPT";
    QTest::newRow("09=0B rx") << "00 00000000 0000 00 00 0B" << "RxRit" << "ON";
    QTest::newRow("09=0B tx") << "00 00000000 0000 00 00 0B" << "TxRit" << "ON";
    QTest::newRow("09=0B rpt") << "00 00000000 0000 00 00 0B" << "Rpt" << "-RPT";
    QTest::newRow("09=00 rpt") << "00 00000000 0000 00 00 00" << "Rpt" << "OFF";
    for (int n = 0x0C; n <= 0x0F; ++n)
        QTest::addRow("both shift bits %X", n) << QStringLiteral("00 00000000 0000 00 00 %1").arg(n, 2, 16, QLatin1Char('0'))
                                              << "Rpt" << "";
    QTest::newRow("09 high bits ignored") << "00 00000000 0000 00 00 C4" << "Rpt" << "+RPT";
    QTest::newRow("offset +800 steps") << "00 00000000 0320" << "Offset" << "0.5";
    QTest::newRow("offset +800 sign") << "00 00000000 0320" << "OffsetSign" << "[+]";
    QTest::newRow("offset -800 steps") << "00 00000000 FCE0" << "Offset" << "-0.5";
    QTest::newRow("offset -800 sign") << "00 00000000 FCE0" << "OffsetSign" << "[]";
    QTest::newRow("offset zero") << "00 00000000 0000" << "Offset" << "0";
    QTest::newRow("offset zero sign") << "00 00000000 0000" << "OffsetSign" << "[ ]";
    QTest::newRow("offset -1 step") << "00 00000000 FFFF" << "Offset" << "-0.000625";
    QTest::newRow("offset most negative") << "00 00000000 8000" << "Offset" << "-20.48";
    QTest::newRow("offset 24 steps") << "00 00000000 0018" << "Offset" << "0.015";
    QTest::newRow("receive frequency") << "00 00AAE600 0960 00 00 02" << "Freq" << "7001.5";
    QTest::newRow("rx clarifier off keeps VFO") << "00 00AAE600 0960 00 00 01" << "Freq" << "7000";
    QTest::newRow("receive frequency below") << "00 00AAE600 FCE0 00 00 02" << "Freq" << "6999.5";
}

void TestCodec::decodeField()
{
    QFETCH(QString, record);
    QFETCH(QString, field);
    QFETCH(QString, expected);
    QCOMPARE(Field(DecodeRecord(RecordOf(record.remove(' '))), field), expected);
}

void TestCodec::decodeAgreesWithHexRoute()
{
    QRandomGenerator rng(20240611);
    for (int i = 0; i < 200000; ++i) {
        const Record r = RandomRecord(rng);
        const Channel bits = DecodeRecord(r);
        const Channel text = test::HexRouteDecode(r);
        if (!(bits == text))
            QFAIL(qPrintable(QStringLiteral("records differ for %1").arg(RecordHex(r))));
        QVERIFY2(test::BadDecodedText(bits).isEmpty(), qPrintable(RecordHex(r)));
    }
}

void TestCodec::recordHex()
{
    const Record r = RecordOf("0A1B2C3D4E5F60718293A4B5C6D7E8F9");
    QCOMPARE(RecordHex(r), QStringLiteral("0A1B2C3D4E5F60718293A4B5C6D7E8F9"));
    QCOMPARE(RecordHex(Record{}), QString(32, QLatin1Char('0')));
}

void TestCodec::encoder_data()
{
    QTest::addColumn<QString>("encoder");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected");

    const QList<std::pair<const char*, const char*>> modes{{"LSB", "00"}, {"USB", "01"}, {"CW (usb)", "02"},
        {"CW (lsb)", "03"}, {"AM (env)", "04"}, {"AM (sync)", "05"}, {"FM", "06"}, {"RTTY (lsb)", "08"},
        {"RTTY (usb)", "09"}, {"PKT (lsb)", "0A"}, {"PKT (fm)", "0B"}};
    for (const auto& [text, code] : modes)
        QTest::addRow("mode %s", text) << "SendMode" << "Mode" << text << QStringLiteral("00 00 00 %1 0C").arg(code);
    QTest::newRow("mode lower case") << "SendMode" << "Mode" << "usb" << "none";
    QTest::newRow("mode padded") << "SendMode" << "Mode" << "USB " << "none";
    QTest::newRow("mode empty") << "SendMode" << "Mode" << "" << "none";

    const QList<std::pair<const char*, const char*>> filters{{"2.4K", "00"}, {"2.0K", "01"}, {"500", "02"}, {"250", "03"}};
    for (const auto& [text, code] : filters) {
        QTest::addRow("8.2 %s", text) << "Send82Filter" << "Filt82" << text << QStringLiteral("01 00 00 %1 8C").arg(code);
        QTest::addRow("455 %s", text) << "Send455Filter" << "Filt455" << text << QStringLiteral("02 00 00 %1 8C").arg(code);
    }
    QTest::newRow("8.2 Thru") << "Send82Filter" << "Filt82" << "Thru" << "01 00 00 04 8C";
    QTest::newRow("455 6.0K") << "Send455Filter" << "Filt455" << "6.0K" << "02 00 00 04 8C";
    QTest::newRow("8.2 has no 6.0K") << "Send82Filter" << "Filt82" << "6.0K" << "none";
    QTest::newRow("455 has no Thru") << "Send455Filter" << "Filt455" << "Thru" << "none";
    QTest::newRow("8.2 empty") << "Send82Filter" << "Filt82" << "" << "none";

    QTest::newRow("rx on") << "SendRxRit" << "RxRit" << "ON" << "00 00 00 01 09";
    QTest::newRow("rx off") << "SendRxRit" << "RxRit" << "OFF" << "00 00 00 00 09";
    QTest::newRow("rx lower case") << "SendRxRit" << "RxRit" << "on" << "none";
    QTest::newRow("tx on") << "SendTxRit" << "TxRit" << "ON" << "00 00 00 81 09";
    QTest::newRow("tx off") << "SendTxRit" << "TxRit" << "OFF" << "00 00 00 80 09";
    QTest::newRow("tx empty") << "SendTxRit" << "TxRit" << "" << "none";

    QTest::newRow("rpt off") << "SendRpt" << "Rpt" << "OFF" << "00 00 00 00 84";
    QTest::newRow("rpt minus") << "SendRpt" << "Rpt" << "-RPT" << "00 00 00 01 84";
    QTest::newRow("rpt plus") << "SendRpt" << "Rpt" << "+RPT" << "00 00 00 02 84";
    QTest::newRow("rpt unknown") << "SendRpt" << "Rpt" << "RPT" << "none";

    QTest::newRow("offset +1.23") << "SendRitOffset" << "Offset" << "1.23" << "23 01 00 FF 09";
    QTest::newRow("offset -0.50") << "SendRitOffset" << "Offset" << "-0.5" << "50 00 FF FF 09";
    QTest::newRow("offset 0") << "SendRitOffset" << "Offset" << "0" << "00 00 00 FF 09";
    QTest::newRow("offset -9.99") << "SendRitOffset" << "Offset" << "-9.99" << "99 09 FF FF 09";
    QTest::newRow("offset 9.99") << "SendRitOffset" << "Offset" << "9.99" << "99 09 00 FF 09";
    QTest::newRow("offset 24 steps") << "SendRitOffset" << "Offset" << "0.015" << "02 00 00 FF 09";
    QTest::newRow("offset -1 step") << "SendRitOffset" << "Offset" << "-0.000625" << "00 00 00 FF 09";
    QTest::newRow("offset rounds to 10") << "SendRitOffset" << "Offset" << "9.995" << "none";
    QTest::newRow("offset 10") << "SendRitOffset" << "Offset" << "10" << "none";
    QTest::newRow("offset -12.34") << "SendRitOffset" << "Offset" << "-12.34" << "none";
    QTest::newRow("offset nan") << "SendRitOffset" << "Offset" << "nan" << "none";

    QTest::newRow("freq 14025.50") << "SendFreq" << "Freq" << "14025.5" << "50 25 40 01 0A";
    QTest::newRow("freq 30000") << "SendFreq" << "Freq" << "30000" << "00 00 00 03 0A";
    QTest::newRow("freq 7050") << "SendFreq" << "Freq" << "7050" << "00 50 70 00 0A";
    QTest::newRow("freq 100") << "SendFreq" << "Freq" << "100" << "00 00 01 00 0A";
    QTest::newRow("freq 123.45") << "SendFreq" << "Freq" << "123.45" << "45 23 01 00 0A";
    QTest::newRow("freq rounds up to 100") << "SendFreq" << "Freq" << "99.995" << "00 00 01 00 0A";
    QTest::newRow("freq 99999.99") << "SendFreq" << "Freq" << "99999.99" << "99 99 99 09 0A";
    QTest::newRow("freq 99.99") << "SendFreq" << "Freq" << "99.99" << "none";
    QTest::newRow("freq 100000") << "SendFreq" << "Freq" << "100000" << "none";
    QTest::newRow("freq 0") << "SendFreq" << "Freq" << "0" << "none";
    QTest::newRow("freq negative") << "SendFreq" << "Freq" << "-7050" << "none";
    QTest::newRow("freq nan") << "SendFreq" << "Freq" << "nan" << "none";
    QTest::newRow("freq inf") << "SendFreq" << "Freq" << "inf" << "none";
}

void TestCodec::encoder()
{
    QFETCH(QString, encoder);
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(QString, expected);
    Channel c = KnownChannel();
    SetField(c, field, value);
    QVERIFY(EncoderNamed(encoder));
    QCOMPARE(Hex(EncoderNamed(encoder)(c)), expected);
}

void TestCodec::encodeChannelOrder_data()
{
    QTest::addColumn<Channel>("channel");
    QTest::addColumn<QStringList>("expected");

    const Channel known = KnownChannel();
    QTest::newRow("every field known") << known << QStringList{"00 00 00 01 0C", "01 00 00 00 8C",
        "02 00 00 01 8C", "50 25 40 01 0A", "00 00 00 00 09", "00 00 00 80 09", "00 00 00 FF 09", "00 00 00 00 84"};

    Channel rit = known;
    rit.RxRit = "ON";
    rit.TxRit = "ON";
    rit.Offset = 1.5f;
    rit.OffsetSign = "+";
    rit.Rpt = "+RPT";
    QTest::newRow("receive clarifier sends the VFO frequency") << rit << QStringList{"00 00 00 01 0C",
        "01 00 00 00 8C", "02 00 00 01 8C", "00 24 40 01 0A", "00 00 00 01 09", "00 00 00 81 09",
        "50 01 00 FF 09", "00 00 00 02 84"};

    Channel unknown = known;
    unknown.Mode.clear();
    unknown.Filt455.clear();
    unknown.Rpt.clear();
    QTest::newRow("unknown fields send nothing") << unknown << QStringList{"01 00 00 00 8C",
        "50 25 40 01 0A", "00 00 00 00 09", "00 00 00 80 09", "00 00 00 FF 09"};

    Channel otherAnt = known;
    otherAnt.Ant = "Rx (B)";
    QTest::newRow("antenna is never sent") << otherAnt << Hex(EncodeChannel(known));
}

void TestCodec::encodeChannelOrder()
{
    QFETCH(Channel, channel);
    QFETCH(QStringList, expected);
    QCOMPARE(Hex(EncodeChannel(channel)), expected);
}

void TestCodec::decodedRecordsSendOnlyKnownCodes()
{
    QRandomGenerator rng(7);
    for (int i = 0; i < 100000; ++i) {
        const Record r = RandomRecord(rng);
        for (const CatFrame& f : EncodeChannel(DecodeRecord(r)))
            QVERIFY2(test::IsKnownSettingFrame(f), qPrintable(RecordHex(r) + " -> " + f.toHex()));
    }
}

// Restoring VFO-A decodes its record and sends it back: with the receive clarifier on the
// frequency frame must still carry the VFO frequency, not the receive frequency.
void TestCodec::restoreSendsVfoFrequency()
{
    constexpr std::uint32_t kTenHzSteps = 16;
    constexpr std::uint32_t kMaxSteps = 30000 * 1600;
    QRandomGenerator rng(11);
    for (int i = 0; i < 50000; ++i) {
        Record r = RandomRecord(rng);
        const std::uint32_t steps = (160000 + rng.bounded(kMaxSteps - 160000)) / kTenHzSteps * kTenHzSteps;
        r[1] = static_cast<std::uint8_t>(steps >> 24);
        r[2] = static_cast<std::uint8_t>(steps >> 16);
        r[3] = static_cast<std::uint8_t>(steps >> 8);
        r[4] = static_cast<std::uint8_t>(steps);
        Record vfoOnly = r;
        vfoOnly[9] &= ~0x02;
        r[9] |= 0x02;
        const auto expected = SendFreq(DecodeRecord(vfoOnly));
        QVERIFY(expected);
        QCOMPARE(Hex(SendFreq(DecodeRecord(r))), expected->toHex());
    }
}

void TestCodec::frameBuilders_data()
{
    QTest::addColumn<CatFrame>("frame");
    QTest::addColumn<QString>("expected");
    QTest::newRow("pacing") << Cat::SetPacing(Cat::kPacing) << "00 00 00 05 0E";
    QTest::newRow("status") << Cat::StatusRequest() << "00 00 00 00 FA";
    QTest::newRow("memory Q5") << Cat::MemoryRequest(113) << "71 00 00 04 10";
    QTest::newRow("VFO-A") << Cat::VfoARequest() << "00 00 00 02 10";
    QTest::newRow("store 1") << Cat::StoreVfoA(1) << "00 00 00 01 03";
    QTest::newRow("store P9") << Cat::StoreVfoA(108) << "00 00 00 6C 03";
    QTest::newRow("mask 12") << Cat::SetMask(1, 12) << "00 00 01 0C 03";
    QTest::newRow("unmask 12") << Cat::SetMask(2, 12) << "00 00 02 0C 03";
    QTest::newRow("recall 99") << Cat::RecallChannel(99) << "00 00 00 63 06";
    QTest::newRow("meter") << Cat::MeterRequest() << "00 00 00 00 F7";
}

void TestCodec::frameBuilders()
{
    QFETCH(CatFrame, frame);
    QFETCH(QString, expected);
    QCOMPARE(frame.toHex(), expected);
    QCOMPARE(frame.toBytes(), QByteArray::fromHex(expected.toLatin1()));
}

QTEST_GUILESS_MAIN(TestCodec)
#include "test_codec.moc"
