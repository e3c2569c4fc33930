// SPDX-License-Identifier: GPL-3.0-or-later
// What the radio holds against what a row says: which fields count, and the operator's line.
// Also the line-time account the link ends its writes by.

#include <QTest>

#include "channelrow.h"
#include "linetime.h"
#include "rowcompare.h"

using namespace std::chrono_literals;
using namespace vardo;

Q_DECLARE_METATYPE(vardo::ViewKind)

namespace {

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

class RowCompareTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void differences_data()
    {
        QTest::addColumn<int>("column");  // the cell the row changes, ColLabel for none
        QTest::addColumn<QString>("rowValue");
        QTest::addColumn<QString>("line");      // the read-back's line for channel 42, empty: none
        QTest::addColumn<QString>("heldLine");  // comparing every setting held, "same": as the read-back
        const QString same = "same";
        QTest::newRow("same") << int(ColLabel) << "" << "" << same;
        QTest::newRow("frequency") << int(ColFreq) << "14250.00  " << "42: frequency radio 14074.00, file 14250.00" << same;
        QTest::newRow("mask only") << int(ColFreq) << "14074.00* " << "42: mask radio off, file on" << same;
        QTest::newRow("frequency and mask") << int(ColFreq) << "7000.00* "
                                            << "42: frequency radio 14074.00, file 7000.00; mask radio off, file on" << same;
        QTest::newRow("mode") << int(ColMode) << "LSB" << "42: mode radio USB, file LSB" << same;
        QTest::newRow("455 filter") << int(Col455) << "500" << "42: 455 filter radio 2.4K, file 500" << same;
        QTest::newRow("Tx RIT") << int(ColTxRit) << "ON" << "42: Tx RIT radio OFF, file ON" << same;
        QTest::newRow("RPT") << int(ColRpt) << "-RPT" << "42: RPT radio OFF, file -RPT" << same;
        QTest::newRow("offset") << int(ColOffset) << "-1.50" << "42: offset radio 1.50, file -1.50" << same;
        QTest::newRow("offset written the other way") << int(ColOffset) << "1.5" << "" << same;
        QTest::newRow("offset no command can send") << int(ColOffset) << "12.00" << "" << "42: offset radio 1.50, file 12.00";
        QTest::newRow("antenna: no command sets it") << int(ColAnt) << "B" << "" << "42: antenna radio A, file B";
        QTest::newRow("blank antenna") << int(ColAnt) << "" << "" << same;
        QTest::newRow("blank mode: nothing was sent") << int(ColMode) << "" << "" << same;
        QTest::newRow("blank channel's frequency is never sent") << int(ColFreq) << "0.00  " << ""
                                                                << "42: frequency radio 14074.00, file 0.00";
        QTest::newRow("row without channel data") << int(ColFreq) << "" << "" << same;
    }
    void differences()
    {
        QFETCH(int, column);
        QFETCH(QString, rowValue);
        QFETCH(QString, line);
        QFETCH(QString, heldLine);
        const RowCells row = Changed(column == ColLabel ? QStringList() : QStringList{QStringLiteral("%1=").arg(column) + rowValue});
        QCOMPARE(LineOf(RowDifferences(row, kHeld, Fields::Written)), line);
        const QList<FieldDifference> held = RowDifferences(row, kHeld, Fields::Held);
        QCOMPARE(LineOf(held), heldLine == "same" ? line : heldLine);
        for (const FieldDifference& d : held)
            QCOMPARE(int(d.column), column);  // each mark lands on the cell the row changed
    }

    // What a write would mend, and apart from it the antenna, which it would not.
    void heldComparison_data()
    {
        QTest::addColumn<ViewKind>("view");
        QTest::addColumn<QStringList>("changes");  // "column=value" for the row
        QTest::addColumn<QString>("settings");     // the line of the differences a write would mend
        QTest::addColumn<QString>("antenna");      // the radio's antenna when it differs
        QTest::newRow("all: mask") << ViewKind::All << QStringList{"1=14074.00* "} << "42: mask radio off, file on" << "";
        QTest::newRow("qmb: the mask is never compared") << ViewKind::Qmb << QStringList{"1=14074.00* "} << "" << "";
        QTest::newRow("qmb: the frequency is") << ViewKind::Qmb << QStringList{"1=7074.00* "}
                                               << "42: frequency radio 14074.00, file 7074.00" << "";
        QTest::newRow("antenna alone") << ViewKind::Ch99 << QStringList{"5=B"} << "" << "A";
        QTest::newRow("antenna apart from the mode") << ViewKind::Pms << QStringList{"5=Rx (B)", "2=LSB"}
                                                     << "42: mode radio USB, file LSB" << "A";
        QTest::newRow("blank antenna cell") << ViewKind::All << QStringList{"5="} << "" << "";
        QTest::newRow("row without channel data") << ViewKind::All << QStringList{"1=", "5=B"} << "" << "";
    }
    void heldComparison()
    {
        QFETCH(ViewKind, view);
        QFETCH(QStringList, changes);
        QFETCH(QString, antenna);
        const HeldComparison found = CompareHeld(view, Changed(changes), kHeld);
        QTEST(LineOf(found.settings), "settings");
        QCOMPARE(found.antenna.size(), antenna.isEmpty() ? 0 : 1);
        for (const auto& d : found.antenna)
            QVERIFY(d.radio == antenna && d.column == ColAnt);
    }

    // The read-back compares against the mask the write sets, not the channel's own Mask text;
    // the receive clarifier shows the receive frequency on both sides.
    void writeCellsCarryTheMask()
    {
        Channel radio = kHeld;
        radio.RxRit = "ON";
        radio.Freq = 14075.5f;
        const ChannelWrite masked{radio, 100, 1};
        QCOMPARE(DifferenceLine(100, RowDifferences(CellsOfWrite(masked), radio, Fields::Written)), "P1: mask radio off, file on");
        radio.Mask = "* ";
        QVERIFY(RowDifferences(CellsOfWrite(masked), radio, Fields::Written).isEmpty());
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

QTEST_APPLESS_MAIN(RowCompareTest)
#include "rowcompare_test.moc"
