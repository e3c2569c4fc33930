// SPDX-License-Identifier: GPL-3.0-or-later
// The record decoder and the eight setting encoders: what the grid would show for a record,
// and the exact bytes that go to the radio for a channel.

#include <QRandomGenerator>
#include <QtTest>

#include "codec.h"
#include "framecheck.h"
#include "hexroute.h"
#include "numberformat.h"

using namespace vardo;

namespace {

// A channel every encoder has a frame for.
const Channel kKnown{.Freq = 14025.5f, .Mode = "USB", .Filt82 = "2.4K", .Filt455 = "2.0K", .Ant = "B",
                     .RxRit = "OFF", .TxRit = "OFF", .Rpt = "OFF", .OffsetSign = " "};

const QHash<QString, QString Channel::*> kTextFields{{"Mask", &Channel::Mask}, {"Mode", &Channel::Mode},
    {"Filt82", &Channel::Filt82}, {"Filt455", &Channel::Filt455}, {"Ant", &Channel::Ant},
    {"RxRit", &Channel::RxRit}, {"TxRit", &Channel::TxRit}, {"Rpt", &Channel::Rpt}};

// The named fields, joined by commas; numbers in their shortest form, the offset's sign in brackets.
QString Fields(const Channel& c, const QString& names)
{
    QStringList out;
    for (const QString& name : names.split(','))
        out << (name == "Freq" ? ShortestText(c.Freq)
                : name == "Offset" ? ShortestText(c.Offset) + '[' + c.OffsetSign + ']'
                : kTextFields.contains(name) ? c.*kTextFields[name] : "no field " + name);
    return out.join(',');
}

// The frame the encoder of `field` sends for the known channel with that field set to `value`.
QString Encoded(const QString& field, const QString& value)
{
    static const QHash<QString, std::optional<CatFrame> (*)(const Channel&)> encoders{
        {"Mode", SendMode}, {"Filt82", Send82Filter}, {"Filt455", Send455Filter}, {"Freq", SendFreq},
        {"RxRit", SendRxRit}, {"TxRit", SendTxRit}, {"Offset", SendRitOffset}, {"Rpt", SendRpt}};
    Channel c = kKnown;
    if (field == "Freq")
        c.Freq = value.toFloat();
    else if (field == "Offset")
        c.Offset = value.toFloat();
    else
        c.*kTextFields[field] = value;
    const auto frame = encoders[field](c);
    return frame ? frame->toHex() : "none";
}

}  // namespace

class TestCodec : public QObject {
    Q_OBJECT
private slots:
    void decode_data();
    void decode();
    void randomRecords();
    void encoder_data();
    void encoder();
    void encodeChannel();
};

void TestCodec::decode_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<QString>("fields");
    QTest::addColumn<QString>("expected");
    QTest::newRow("mask bit set") << "80" << "Mask" << "* ";
    QTest::newRow("mask bit clear") << "7F" << "Mask" << "  ";
    QTest::newRow("ignored frequency nibbles") << "00 F0 00 00 0F" << "Freq" << "0";
    QTest::newRow("byte 8 = 34") << "00 00000000 0000 02 34" << "Mode,Filt82,Filt455" << "CW (usb),500,250";
    QTest::newRow("byte 8 = B4") << "00 00000000 0000 02 B4" << "Mode,Filt82,Filt455" << "CW (lsb),500,250";
    QTest::newRow("mode 86 from a real radio") << "00 00000000 0000 86 00" << "Mode" << "PKT (lsb)";
    QTest::newRow("mode code 7 unknown") << "00 00000000 0000 07 00" << "Mode" << "";
    QTest::newRow("455 bit 3 ignored") << "00 00000000 0000 00 0C" << "Filt455" << "250";
    QTest::newRow("filter code 5 unknown") << "00 00000000 0000 00 55" << "Filt82,Filt455" << ",";
    QTest::newRow("byte 9 = 06") << "00 00000000 0000 00 00 06" << "RxRit,TxRit,Rpt" << "ON,OFF,+RPT";
    QTest::newRow("byte 9 = 09") << "00 00000000 0000 00 00 09" << "RxRit,TxRit,Rpt" << "OFF,ON,-RPT";
    QTest::newRow("byte 9 = 0B") << "00 00000000 0000 00 00 0B" << "RxRit,TxRit,Rpt" << "ON,ON,-RPT";
    QTest::newRow("antenna B, high bits ignored") << "00 00000000 0000 00 00 D0" << "Ant,Rpt" << "B,OFF";
    for (int n = 0x0C; n <= 0x0F; ++n)
        QTest::addRow("both shift bits %X", n) << QString("00 00000000 0000 00 00 0%1").arg(n, 0, 16) << "Rpt" << "";
    QTest::newRow("offset +800 steps") << "00 00000000 0320" << "Offset" << "0.5[+]";
    QTest::newRow("offset -800 steps") << "00 00000000 FCE0" << "Offset" << "-0.5[]";
    QTest::newRow("offset zero") << "00 00000000 0000" << "Offset" << "0[ ]";
    QTest::newRow("receive frequency") << "00 00AAE600 0960 00 00 02" << "Freq" << "7001.5";
    QTest::newRow("receive frequency below") << "00 00AAE600 FCE0 00 00 02" << "Freq" << "6999.5";
}

void TestCodec::decode()
{
    QFETCH(QString, record);
    QFETCH(QString, fields);
    QFETCH(QString, expected);
    const QByteArray bytes = QByteArray::fromHex(record.toLatin1()).leftJustified(kRecordSize, '\0');
    QCOMPARE(Fields(DecodeRecord(RecordFromBytes(bytes)), fields), expected);
}

// On any record the bit decoder agrees with the hexadecimal route and shows only its columns'
// texts, nothing sent back carries an invented code, and a restore with the receive clarifier
// on sends the VFO frequency, not the receive frequency.
void TestCodec::randomRecords()
{
    QRandomGenerator rng(20240611);
    for (int i = 0; i < 100000; ++i) {
        Record r;
        for (auto& b : r)
            b = static_cast<std::uint8_t>(rng.bounded(256));
        const QString hex = RecordHex(r);
        QCOMPARE(hex, test::HexRouteText(r));
        const Channel c = DecodeRecord(r);
        if (!(c == test::HexRouteDecode(r)) || !test::BadDecodedText(c).isEmpty())
            QFAIL(qPrintable("decoded wrongly: " + hex));
        for (const CatFrame& f : EncodeChannel(c))
            if (!test::IsKnownSettingFrame(f))
                QFAIL(qPrintable(hex + " sends " + f.toHex()));

        // A VFO frequency of 100.00 to 30000.00 kHz in whole 10 Hz units (16 steps each).
        const std::uint32_t steps = (100 * 1600 + rng.bounded(29900 * 1600)) / 16 * 16;
        for (int k = 0; k < 4; ++k)
            r[1 + k] = static_cast<std::uint8_t>(steps >> (24 - 8 * k));
        Record rxOn = r;
        r[9] &= ~0x02;
        rxOn[9] |= 0x02;
        const auto vfo = SendFreq(DecodeRecord(r));
        if (!vfo || SendFreq(DecodeRecord(rxOn)) != vfo)
            QFAIL(qPrintable("restore differs: " + RecordHex(rxOn)));
    }
}

void TestCodec::encoder_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected");
    const std::pair<const char*, const char*> modes[]{{"LSB", "00"}, {"USB", "01"}, {"CW (usb)", "02"},
        {"CW (lsb)", "03"}, {"AM (env)", "04"}, {"AM (sync)", "05"}, {"FM", "06"}, {"RTTY (lsb)", "08"},
        {"RTTY (usb)", "09"}, {"PKT (lsb)", "0A"}, {"PKT (fm)", "0B"}};
    for (const auto& [text, code] : modes)
        QTest::addRow("mode %s", text) << "Mode" << text << QString("00 00 00 %1 0C").arg(code);
    QTest::newRow("mode lower case") << "Mode" << "usb" << "none";
    const std::tuple<const char*, const char*, const char*> filters[]{{"2.4K", "2.4K", "00"}, {"2.0K", "2.0K", "01"},
        {"500", "500", "02"}, {"250", "250", "03"}, {"Thru", "6.0K", "04"}};
    for (const auto& [text82, text455, code] : filters) {
        QTest::addRow("8.2 %s", text82) << "Filt82" << text82 << QString("01 00 00 %1 8C").arg(code);
        QTest::addRow("455 %s", text455) << "Filt455" << text455 << QString("02 00 00 %1 8C").arg(code);
    }
    QTest::newRow("8.2 has no 6.0K") << "Filt82" << "6.0K" << "none";
    QTest::newRow("455 has no Thru") << "Filt455" << "Thru" << "none";
    QTest::newRow("rx on") << "RxRit" << "ON" << "00 00 00 01 09";
    QTest::newRow("rx off") << "RxRit" << "OFF" << "00 00 00 00 09";
    QTest::newRow("tx on") << "TxRit" << "ON" << "00 00 00 81 09";
    QTest::newRow("tx off") << "TxRit" << "OFF" << "00 00 00 80 09";
    QTest::newRow("tx empty") << "TxRit" << "" << "none";
    QTest::newRow("rpt off") << "Rpt" << "OFF" << "00 00 00 00 84";
    QTest::newRow("rpt minus") << "Rpt" << "-RPT" << "00 00 00 01 84";
    QTest::newRow("rpt plus") << "Rpt" << "+RPT" << "00 00 00 02 84";
    QTest::newRow("offset -9.99") << "Offset" << "-9.99" << "99 09 FF FF 09";
    QTest::newRow("offset 9.99") << "Offset" << "9.99" << "99 09 00 FF 09";
    QTest::newRow("offset 24 steps") << "Offset" << "0.015" << "02 00 00 FF 09";
    QTest::newRow("offset -1 step") << "Offset" << "-0.000625" << "00 00 00 FF 09";
    QTest::newRow("offset rounds to 10") << "Offset" << "9.995" << "none";
    QTest::newRow("offset nan") << "Offset" << "nan" << "none";
    QTest::newRow("freq 14025.50") << "Freq" << "14025.5" << "50 25 40 01 0A";
    QTest::newRow("freq 30000") << "Freq" << "30000" << "00 00 00 03 0A";
    QTest::newRow("freq rounds up to 100") << "Freq" << "99.995" << "00 00 01 00 0A";
    QTest::newRow("freq 99999.99") << "Freq" << "99999.99" << "99 99 99 09 0A";
    QTest::newRow("freq 99.99") << "Freq" << "99.99" << "none";
    QTest::newRow("freq 100000") << "Freq" << "100000" << "none";
    QTest::newRow("freq nan") << "Freq" << "nan" << "none";
}

void TestCodec::encoder()
{
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(QString, expected);
    QCOMPARE(Encoded(field, value), expected);
}

// All eight frames in the fixed order, never one for the antenna; with the receive clarifier
// on, the VFO frequency is sent rather than the receive frequency.
void TestCodec::encodeChannel()
{
    const auto sent = [](const Channel& c) {
        QStringList frames;
        for (const CatFrame& f : EncodeChannel(c))
            frames << f.toHex();
        return frames;
    };
    Channel c = kKnown;
    c.Ant = "Rx (B)";
    QCOMPARE(sent(c), QStringList({"00 00 00 01 0C", "01 00 00 00 8C", "02 00 00 01 8C", "50 25 40 01 0A",
                                   "00 00 00 00 09", "00 00 00 80 09", "00 00 00 FF 09", "00 00 00 00 84"}));
    c.RxRit = c.TxRit = "ON";
    c.Offset = 1.5f;
    c.OffsetSign = "+";
    QCOMPARE(sent(c), QStringList({"00 00 00 01 0C", "01 00 00 00 8C", "02 00 00 01 8C", "00 24 40 01 0A",
                                   "00 00 00 01 09", "00 00 00 81 09", "50 01 00 FF 09", "00 00 00 00 84"}));
}

QTEST_GUILESS_MAIN(TestCodec)
#include "codec_test.moc"
