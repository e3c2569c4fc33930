// SPDX-License-Identifier: GPL-3.0-or-later
// The record decoder, the encoders' exact bytes, number texts, row cells, read-back and line time.

#include <QRandomGenerator>
#include <QtTest>

#include "channelrow.h"
#include "codec.h"
#include "framecheck.h"
#include "hexroute.h"
#include "linetime.h"
#include "numberformat.h"
#include "rowcompare.h"
#include "rowreader.h"

using namespace std::chrono_literals;
using namespace vardo;

Q_DECLARE_METATYPE(vardo::ViewKind)

namespace {

// A channel every encoder has a frame for.
const Channel kKnown{.Freq = 14025.5f, .Mode = "USB", .Filt82 = "2.4K", .Filt455 = "2.0K", .Ant = "B",
                     .RxRit = "OFF", .TxRit = "OFF", .Rpt = "OFF", .OffsetSign = " "};

const QHash<QString, QString Channel::*> kTextFields{{"Mask", &Channel::Mask}, {"Mode", &Channel::Mode},
    {"Filt82", &Channel::Filt82}, {"Filt455", &Channel::Filt455}, {"Ant", &Channel::Ant},
    {"RxRit", &Channel::RxRit}, {"TxRit", &Channel::TxRit}, {"Rpt", &Channel::Rpt}};

// The named fields, joined by commas; numbers in their shortest form, the offset's sign in brackets.
QString Shown(const Channel& c, const QString& names)
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


const Channel kHeld{.Freq = 14074.0f, .Mode = "USB", .Filt82 = "2.4K", .Filt455 = "2.4K", .Ant = "A", .RxRit = "OFF",
                    .TxRit = "OFF", .Rpt = "OFF", .Offset = 1.5f, .OffsetSign = "+"};

// The held row with "column=value" changes.
RowCells Changed(const QStringList& changes)
{
    RowCells row = CellsFromChannel(kHeld);
    for (const QString& change : changes)
        row[CellIndex(Column(change.section(u'=', 0, 0).toInt()))] = change.section(u'=', 1);
    return row;
}

QString LineOf(const QList<FieldDifference>& found) { return found.isEmpty() ? QString() : DifferenceLine(42, found); }

}  // namespace

class TestCodec : public QObject {
    Q_OBJECT
private slots:
    // Every other bit is checked against the hexadecimal route on random records below.
    void decode()
    {
        const char* rows[][4] = {
            {"mode 86 from a real radio", "00 00000000 0000 86 00", "Mode", "PKT (lsb)"},
            {"byte 8 = B4", "00 00000000 0000 02 B4", "Mode,Filt82,Filt455", "CW (lsb),500,250"},
            {"both shift bits", "00 00000000 0000 00 00 0C", "Rpt", ""}, {"offset -800 steps", "00 00000000 FCE0", "Offset", "-0.5[]"},
            {"offset zero", "00 00000000 0000", "Offset", "0[ ]"}, {"receive frequency", "00 00AAE600 FCE0 00 00 02", "Freq", "6999.5"}};
        for (const auto& [name, record, fields, expected] : rows) {
            const QByteArray bytes = QByteArray::fromHex(record).leftJustified(kRecordSize, '\0');
            const QString got = Shown(DecodeRecord(RecordFromBytes(bytes)), fields);
            QVERIFY2(got == expected, qPrintable(name + (": " + got)));
        }
    }

    // A restore with the receive clarifier on sends the VFO frequency, not the receive frequency.
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

    // Each mode and filter text also goes through the emulator's own table in unit_sim_radio.
    void encoder()
    {
        const char* rows[][3] = {
            {"Mode", "LSB", "00 00 00 00 0C"}, {"Mode", "FM", "00 00 00 06 0C"}, {"Mode", "RTTY (lsb)", "00 00 00 08 0C"},
            {"Mode", "PKT (fm)", "00 00 00 0B 0C"}, {"Mode", "usb", "none"}, {"Filt82", "2.4K", "01 00 00 00 8C"},
            {"Filt82", "Thru", "01 00 00 04 8C"}, {"Filt82", "6.0K", "none"}, {"Filt455", "250", "02 00 00 03 8C"},
            {"Filt455", "6.0K", "02 00 00 04 8C"}, {"Filt455", "Thru", "none"},
            {"RxRit", "ON", "00 00 00 01 09"}, {"RxRit", "OFF", "00 00 00 00 09"}, {"TxRit", "ON", "00 00 00 81 09"},
            {"TxRit", "OFF", "00 00 00 80 09"}, {"TxRit", "", "none"}, {"Rpt", "OFF", "00 00 00 00 84"},
            {"Rpt", "-RPT", "00 00 00 01 84"}, {"Rpt", "+RPT", "00 00 00 02 84"},
            {"Offset", "0.015", "02 00 00 FF 09"},     // 24 steps
            {"Offset", "-0.000625", "00 00 00 FF 09"}, // one step
            {"Offset", "9.995", "none"},               // rounds to 10
            {"Offset", "nan", "none"}, {"Freq", "14025.5", "50 25 40 01 0A"}, {"Freq", "30000", "00 00 00 03 0A"},
            {"Freq", "99.995", "00 00 01 00 0A"},  // rounds up to 100
            {"Freq", "99999.99", "99 99 99 09 0A"}, {"Freq", "99.99", "none"}, {"Freq", "100000", "none"}, {"Freq", "nan", "none"}};
        for (const auto& [field, value, expected] : rows) {
            const QString got = Encoded(field, value);
            QVERIFY2(got == expected, qPrintable(QStringLiteral("%1 %2: %3").arg(field, value, got)));
        }
    }

    // A typed number's leading number in single precision; the two-decimal text rounds the shortest.
    void numberTexts()
    {
        const QString largest = "340282300000000000000000000000000000000";
        const std::tuple<const char*, QString, QString, QString> rows[] = {
            {"24 offset steps", "0.015", "0.015", "0.02"}, {"half away from zero", "-0.005", "-0.005", "-0.01"},
            {"2.675 from its decimal text", "2.675", "2.675", "2.68"}, {"carry into new digit", "99.995", "99.995", "100.00"},
            {"seven digits at most", "0.333333333", "0.3333333", "0.33"}, {"top of the record", "167772.15", "167772.2", "167772.20"},
            {"no exponent small", "0.000000001", "0.000000001", "0.00"},
            {"negative zero", "-0", "0", "0.00"}, {"tiny negative rounds to zero", "-0.004", "-0.004", "0.00"},
            {"leading blanks", "   7050.5", "7050.5", "7050.50"}, {"plus sign", "+1.50", "1.5", "1.50"},
            {"no leading digit", "-.5", "-0.5", "-0.50"}, {"stops at second point", "1.2.3", "1.2", "1.20"},
            {"stops at comma", "1,5", "1", "1.00"}, {"no number", "abc", "0", "0.00"}, {"empty", "", "0", "0.00"},
            {"largest float", "340282346638528859811704183484516925440", largest, largest + ".00"},
            {"just above the largest float", "340282347000000000000000000000000000000", largest, largest + ".00"},
            {"overflow", QString(400, '9'), "inf", "inf"}, {"negative overflow", "-" + QString(400, '9'), "-inf", "-inf"}};
        for (const auto& [name, typed, shortest, two] : rows) {
            const float value = NarrowToFloat(LeadingNumber(typed));
            const QString got = ShortestText(value) + " " + TwoDecimalText(value);
            QVERIFY2(got == shortest + " " + two, qPrintable(name + (": " + got)));
        }
    }

    // Frequency and offset cells read into a channel, and the cells that channel shows again.
    void cells()
    {
        const char* rows[][3] = {{"14195.00  |0.00", "14195|  |0|", "14195.00  |0.00"},  // typed, read, shown
                                 {"14195.00* |+1.50", "14195|* |1.5|+", "14195.00* |+1.50"},
                                 {"|", "0|  |0|", "0.00  |0.00"},
                                 {"14025.00*|1", "14025|* |1|+", "14025.00* |+1.00"},     // mark without its blank
                                 {"14025*.00  |0", "14025|  |0|", "14025.00  |0.00"},     // mark not at the end
                                 {"100.00  |0.015", "100|  |0.015|+", "100.00  |+0.02"}};  // 24 offset steps
        for (const auto& [typed, read, shown] : rows) {
            RowCells cells{QString(typed).section('|', 0, 0), "CW (lsb)", "Thru", "6.0K", "Rx (A)", "OFF", "ON",
                           QString(typed).section('|', 1), "-RPT"};
            const Channel c = test::ChannelFromCells(cells);
            QCOMPARE(QStringList({ShortestText(c.Freq), c.Mask, ShortestText(c.Offset), c.OffsetSign}).join('|'), read);
            cells[CellIndex(ColFreq)] = QString(shown).section('|', 0, 0);
            cells[CellIndex(ColOffset)] = QString(shown).section('|', 1);
            QCOMPARE(CellsFromChannel(c), cells);
        }
    }

    // The read-back's line, what a write would mend, and apart from it the antenna, which it would not.
    void differences_data()
    {
        QTest::addColumn<ViewKind>("view");
        QTest::addColumn<QStringList>("changes");  // "column=value" for the row
        QTest::addColumn<QString>("line");         // the read-back's line for channel 42, empty: none
        QTest::addColumn<QString>("held");         // what a write would mend, "same": as the read-back
        QTest::addColumn<QString>("antenna");      // the radio's antenna when it differs
        const auto row = [](const char* name, const QString& change, const QString& line, const QString& held = "same",
                            const QString& antenna = {}, ViewKind view = ViewKind::All) {
            QTest::newRow(name) << view << change.split('|', Qt::SkipEmptyParts) << line << held << antenna;
        };
        row("same", "", "");
        row("frequency", "1=14250.00  ", "42: frequency radio 14074.00, file 14250.00");
        row("mask only", "1=14074.00* ", "42: mask radio off, file on");
        row("frequency and mask", "1=7000.00* ", "42: frequency radio 14074.00, file 7000.00; mask radio off, file on");
        row("Tx RIT", "7=ON", "42: Tx RIT radio OFF, file ON");
        row("RPT", "9=-RPT", "42: RPT radio OFF, file -RPT");
        row("offset", "8=-1.50", "42: offset radio 1.50, file -1.50");
        row("offset written the other way", "8=1.5", "");
        row("offset no command can send", "8=12.00", "", "42: offset radio 1.50, file 12.00");
        row("blank antenna", "5=", "");
        row("blank mode: nothing was sent", "2=", "");
        row("blank channel's frequency is never sent", "1=0.00  ", "", "42: frequency radio 14074.00, file 0.00");
        row("row without channel data", "1=|5=B", "");
        row("qmb: the mask is never compared", "1=14074.00* ", "42: mask radio off, file on", "", {}, ViewKind::Qmb);
        row("qmb: the frequency is", "1=7074.00* ", "42: frequency radio 14074.00, file 7074.00; mask radio off, file on",
            "42: frequency radio 14074.00, file 7074.00", {}, ViewKind::Qmb);
        row("antenna: no command sets it", "5=B", "", "", "A", ViewKind::Ch99);
        row("antenna apart from the mode", "5=Rx (B)|2=LSB", "42: mode radio USB, file LSB", "same", "A", ViewKind::Pms);
    }
    void differences()
    {
        QFETCH(ViewKind, view);
        QFETCH(QStringList, changes);
        QFETCH(QString, line);
        QFETCH(QString, held);
        QFETCH(QString, antenna);
        const RowCells row = Changed(changes);
        QCOMPARE(LineOf(RowDifferences(row, kHeld, Fields::Written)), line);
        const HeldComparison found = CompareHeld(view, row, kHeld);
        QCOMPARE(LineOf(found.settings), held == "same" ? line : held);
        QCOMPARE(found.antenna.size(), antenna.isEmpty() ? 0 : 1);
        for (const auto& d : found.antenna)
            QVERIFY(d.radio == antenna && d.column == ColAnt);
        for (const FieldDifference& d : found.settings)  // each mark lands on a cell the row changed
            QVERIFY(changes.join('|').contains(QStringLiteral("%1=").arg(int(d.column))));
    }

    // Against the mask the write sets, not the Mask text; the receive frequency on both sides.
    void writeCellsCarryTheMask()
    {
        Channel radio = kHeld;
        radio.RxRit = "ON";
        radio.Freq = 14075.5f;
        const ChannelWrite masked{radio, 100, 1};
        radio.Mask = "* ";
        radio.Mode.clear();
        QCOMPARE(DifferenceLine(100, RowDifferences(CellsOfWrite(masked), radio, Fields::Written), "table"),
                 "P1: mode radio unknown, table USB");
    }

    // Bytes handed over while the line is busy wait their turn; an idle line starts afresh.
    void lineClockQueuesBytes()
    {
        LineClock line;
        const LineClock::Clock::time_point t0{};
        line.sent(5, t0);
        line.sent(5, t0 + 1ms);
        QCOMPARE(line.freeAt(), t0 + LineTime(10));
        QCOMPARE(line.pending(t0 + LineTime(4)), LineTime(6));
        line.sent(1, t0 + 1s);
        QCOMPARE(line.freeAt(), t0 + 1s + LineTime(1));
        QCOMPARE(line.pending(t0 + 2s), 0ns);
        QCOMPARE(LineTime(4800), std::chrono::nanoseconds(11s));  // 11 bits a byte at 4800 baud
        QCOMPARE(ReplyTime(16, 5), LineTime(16) + 75ms);
        QCOMPARE(ReplyTime(0, 5), 0ns);
    }
};

QTEST_GUILESS_MAIN(TestCodec)
#include "codec_test.moc"
