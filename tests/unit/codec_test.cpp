// SPDX-License-Identifier: GPL-3.0-or-later
// The record decoder and the eight setting encoders: what the grid shows for a record, and the
// exact bytes that go to the radio for a channel.

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
    void decode_data()
    {
        QTest::addColumn<QString>("record");
        QTest::addColumn<QString>("fields");
        QTest::addColumn<QString>("expected");
        const char* rows[][4] = {
            {"mask bit set", "80", "Mask", "* "}, {"mask bit clear", "7F", "Mask", "  "},
            {"ignored frequency nibbles", "00 F0 00 00 0F", "Freq", "0"},
            {"byte 8 = 34", "00 00000000 0000 02 34", "Mode,Filt82,Filt455", "CW (usb),500,250"},
            {"byte 8 = B4", "00 00000000 0000 02 B4", "Mode,Filt82,Filt455", "CW (lsb),500,250"},
            {"mode 86 from a real radio", "00 00000000 0000 86 00", "Mode", "PKT (lsb)"},
            {"mode code 7 unknown", "00 00000000 0000 07 00", "Mode", ""},
            {"455 bit 3 ignored", "00 00000000 0000 00 0C", "Filt455", "250"},
            {"filter code 5 unknown", "00 00000000 0000 00 55", "Filt82,Filt455", ","},
            {"byte 9 = 06", "00 00000000 0000 00 00 06", "RxRit,TxRit,Rpt", "ON,OFF,+RPT"},
            {"byte 9 = 09", "00 00000000 0000 00 00 09", "RxRit,TxRit,Rpt", "OFF,ON,-RPT"},
            {"byte 9 = 0B", "00 00000000 0000 00 00 0B", "RxRit,TxRit,Rpt", "ON,ON,-RPT"},
            {"antenna B, high bits ignored", "00 00000000 0000 00 00 D0", "Ant,Rpt", "B,OFF"},
            {"both shift bits C", "00 00000000 0000 00 00 0C", "Rpt", ""}, {"both shift bits F", "00 00000000 0000 00 00 0F", "Rpt", ""},
            {"offset +800 steps", "00 00000000 0320", "Offset", "0.5[+]"}, {"offset -800 steps", "00 00000000 FCE0", "Offset", "-0.5[]"},
            {"offset zero", "00 00000000 0000", "Offset", "0[ ]"}, {"receive frequency", "00 00AAE600 0960 00 00 02", "Freq", "7001.5"},
            {"receive frequency below", "00 00AAE600 FCE0 00 00 02", "Freq", "6999.5"}};
        for (const auto& [name, record, fields, expected] : rows)
            QTest::newRow(name) << QString(record) << QString(fields) << QString(expected);
    }
    void decode()
    {
        QFETCH(QString, record);
        QFETCH(QString, fields);
        const QByteArray bytes = QByteArray::fromHex(record.toLatin1()).leftJustified(kRecordSize, '\0');
        QTEST(Fields(DecodeRecord(RecordFromBytes(bytes)), fields), "expected");
    }

    // On any record the bit decoder agrees with the hexadecimal route and shows only its columns'
    // texts, nothing sent back carries an invented code, and a restore with the receive clarifier
    // on sends the VFO frequency, not the receive frequency.
    void randomRecords()
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

    void encoder_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("expected");
        const char* rows[][3] = {
            {"Mode", "LSB", "00 00 00 00 0C"}, {"Mode", "USB", "00 00 00 01 0C"}, {"Mode", "CW (usb)", "00 00 00 02 0C"},
            {"Mode", "CW (lsb)", "00 00 00 03 0C"}, {"Mode", "AM (env)", "00 00 00 04 0C"}, {"Mode", "AM (sync)", "00 00 00 05 0C"},
            {"Mode", "FM", "00 00 00 06 0C"}, {"Mode", "RTTY (lsb)", "00 00 00 08 0C"}, {"Mode", "RTTY (usb)", "00 00 00 09 0C"},
            {"Mode", "PKT (lsb)", "00 00 00 0A 0C"}, {"Mode", "PKT (fm)", "00 00 00 0B 0C"}, {"Mode", "usb", "none"},
            {"Filt82", "2.4K", "01 00 00 00 8C"}, {"Filt82", "2.0K", "01 00 00 01 8C"}, {"Filt82", "500", "01 00 00 02 8C"},
            {"Filt82", "250", "01 00 00 03 8C"}, {"Filt82", "Thru", "01 00 00 04 8C"}, {"Filt82", "6.0K", "none"},
            {"Filt455", "2.4K", "02 00 00 00 8C"}, {"Filt455", "2.0K", "02 00 00 01 8C"}, {"Filt455", "500", "02 00 00 02 8C"},
            {"Filt455", "250", "02 00 00 03 8C"}, {"Filt455", "6.0K", "02 00 00 04 8C"}, {"Filt455", "Thru", "none"},
            {"RxRit", "ON", "00 00 00 01 09"}, {"RxRit", "OFF", "00 00 00 00 09"}, {"TxRit", "ON", "00 00 00 81 09"},
            {"TxRit", "OFF", "00 00 00 80 09"}, {"TxRit", "", "none"}, {"Rpt", "OFF", "00 00 00 00 84"},
            {"Rpt", "-RPT", "00 00 00 01 84"}, {"Rpt", "+RPT", "00 00 00 02 84"},
            {"Offset", "-9.99", "99 09 FF FF 09"}, {"Offset", "9.99", "99 09 00 FF 09"},
            {"Offset", "0.015", "02 00 00 FF 09"},     // 24 steps
            {"Offset", "-0.000625", "00 00 00 FF 09"}, // one step
            {"Offset", "9.995", "none"},               // rounds to 10
            {"Offset", "nan", "none"}, {"Freq", "14025.5", "50 25 40 01 0A"}, {"Freq", "30000", "00 00 00 03 0A"},
            {"Freq", "99.995", "00 00 01 00 0A"},  // rounds up to 100
            {"Freq", "99999.99", "99 99 99 09 0A"}, {"Freq", "99.99", "none"}, {"Freq", "100000", "none"}, {"Freq", "nan", "none"}};
        for (const auto& [field, value, expected] : rows)
            QTest::addRow("%s %s", field, value) << QString(field) << QString(value) << QString(expected);
    }
    void encoder()
    {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QTEST(Encoded(field, value), "expected");
    }

    // All eight frames in the fixed order, never one for the antenna; with the receive clarifier
    // on, the VFO frequency is sent rather than the receive frequency.
    void encodeChannel()
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
};

QTEST_GUILESS_MAIN(TestCodec)
#include "codec_test.moc"
