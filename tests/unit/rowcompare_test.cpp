// SPDX-License-Identifier: GPL-3.0-or-later
// What the radio holds against what a row says: which fields count, and the operator's line.
// Also the line-time account the link ends its writes by.

#include <QTest>

#include "channelrow.h"
#include "linetime.h"
#include "rowcompare.h"

using namespace std::chrono_literals;
using namespace vardo;

namespace {

Channel Held()
{
    Channel c;
    c.Freq = 14074.0f;
    c.Mode = "USB";
    c.Filt82 = "2.4K";
    c.Filt455 = "2.4K";
    c.Ant = "A";
    c.RxRit = "OFF";
    c.TxRit = "OFF";
    c.Rpt = "OFF";
    c.Offset = 1.5f;
    c.OffsetSign = "+";
    return c;
}

}  // namespace

class RowCompareTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void differences_data();
    void differences();
    void heldComparison_data();
    void heldComparison();
    void writeCellsCarryTheMask();
    void lineClockQueuesBytes();
};

// The comparison of every setting held finds what the read-back finds.
const QString kSame = QStringLiteral("same");

void RowCompareTest::differences_data()
{
    QTest::addColumn<int>("column");  // the cell the row changes, ColLabel for none
    QTest::addColumn<QString>("rowValue");
    QTest::addColumn<QString>("line");      // the read-back's DifferenceLine for channel 42, empty: none
    QTest::addColumn<QString>("heldLine");  // comparing every setting held, when that differs

    QTest::newRow("same") << int(ColLabel) << "" << "" << kSame;
    QTest::newRow("frequency") << int(ColFreq) << "14250.00  " << "42: frequency radio 14074.00, file 14250.00"
                               << kSame;
    QTest::newRow("mask only") << int(ColFreq) << "14074.00* " << "42: mask radio off, file on" << kSame;
    QTest::newRow("frequency and mask") << int(ColFreq) << "7000.00* "
                                        << "42: frequency radio 14074.00, file 7000.00; mask radio off, file on" << kSame;
    QTest::newRow("mode") << int(ColMode) << "LSB" << "42: mode radio USB, file LSB" << kSame;
    QTest::newRow("455 filter") << int(Col455) << "500" << "42: 455 filter radio 2.4K, file 500" << kSame;
    QTest::newRow("Tx RIT") << int(ColTxRit) << "ON" << "42: Tx RIT radio OFF, file ON" << kSame;
    QTest::newRow("RPT") << int(ColRpt) << "-RPT" << "42: RPT radio OFF, file -RPT" << kSame;
    QTest::newRow("offset") << int(ColOffset) << "-1.50" << "42: offset radio 1.50, file -1.50" << kSame;
    QTest::newRow("offset written the other way") << int(ColOffset) << "1.5" << "" << kSame;
    QTest::newRow("offset no command can send") << int(ColOffset) << "12.00" << ""
                                                << "42: offset radio 1.50, file 12.00";
    QTest::newRow("antenna: no command sets it") << int(ColAnt) << "B" << "" << "42: antenna radio A, file B";
    QTest::newRow("blank antenna") << int(ColAnt) << "" << "" << kSame;
    QTest::newRow("blank mode: nothing was sent") << int(ColMode) << "" << "" << kSame;
    QTest::newRow("blank channel's frequency is never sent") << int(ColFreq) << "0.00  " << ""
                                                            << "42: frequency radio 14074.00, file 0.00";
    QTest::newRow("row without channel data") << int(ColFreq) << "" << "" << kSame;
}

void RowCompareTest::differences()
{
    QFETCH(int, column);
    QFETCH(QString, rowValue);
    QFETCH(QString, line);
    QFETCH(QString, heldLine);
    RowCells row = CellsFromChannel(Held());
    if (column != ColLabel)
        row[CellIndex(Column(column))] = rowValue;
    const auto lineOf = [](const QList<FieldDifference>& found) {
        return found.isEmpty() ? QString() : DifferenceLine(42, found);
    };
    const QList<FieldDifference> written = RowDifferences(row, Held(), Fields::Written);
    QCOMPARE(lineOf(written), line);
    const QList<FieldDifference> held = RowDifferences(row, Held(), Fields::Held);
    QCOMPARE(lineOf(held), heldLine == kSame ? line : heldLine);
    for (const FieldDifference& d : held)
        QCOMPARE(int(d.column), column);  // each mark lands on the cell the row changed
}

Q_DECLARE_METATYPE(vardo::ViewKind)

void RowCompareTest::heldComparison_data()
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

// What a write would mend, and apart from it the antenna, which it would not.
void RowCompareTest::heldComparison()
{
    QFETCH(ViewKind, view);
    QFETCH(QStringList, changes);
    QFETCH(QString, settings);
    QFETCH(QString, antenna);
    RowCells row = CellsFromChannel(Held());
    for (const QString& change : changes)
        row[CellIndex(Column(change.section(u'=', 0, 0).toInt()))] = change.section(u'=', 1);
    const HeldComparison found = CompareHeld(view, row, Held());
    QCOMPARE(found.settings.isEmpty() ? QString() : DifferenceLine(42, found.settings), settings);
    QCOMPARE(found.antenna.size(), antenna.isEmpty() ? 0 : 1);
    if (!antenna.isEmpty()) {
        QCOMPARE(found.antenna[0].radio, antenna);
        QCOMPARE(int(found.antenna[0].column), int(ColAnt));
    }
}

// The read-back compares against the mask the write sets, not the channel's own Mask text;
// the receive clarifier shows the receive frequency on both sides.
void RowCompareTest::writeCellsCarryTheMask()
{
    Channel radio = Held();
    radio.RxRit = "ON";
    radio.Freq = 14075.5f;
    const ChannelWrite masked{radio, 100, 1};
    QCOMPARE(DifferenceLine(100, RowDifferences(CellsOfWrite(masked), radio, Fields::Written)),
             "P1: mask radio off, file on");
    radio.Mask = "* ";
    QVERIFY(RowDifferences(CellsOfWrite(masked), radio, Fields::Written).isEmpty());
    Channel unknownMode = radio;
    unknownMode.Mode.clear();
    QCOMPARE(DifferenceLine(100, RowDifferences(CellsOfWrite(masked), unknownMode, Fields::Written), "table"),
             "P1: mode radio unknown, table USB");
}

// Bytes handed over while the line is busy wait their turn; an idle line starts afresh.
void RowCompareTest::lineClockQueuesBytes()
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

QTEST_APPLESS_MAIN(RowCompareTest)
#include "rowcompare_test.moc"
