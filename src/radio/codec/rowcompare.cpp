#include "rowcompare.h"

#include <QStringList>

#include "channelindex.h"
#include "codec.h"
#include "numberformat.h"

namespace vardo {
namespace {

struct ComparedField {
    Column column;
    const char* name;
};

// The settings columns a write sets, in the order the tables show them.
constexpr ComparedField kSetFields[] = {
    {ColMode, "mode"}, {Col82, "8.2 filter"}, {Col455, "455 filter"}, {ColRxRit, "Rx RIT"},
    {ColTxRit, "Tx RIT"}, {ColOffset, "offset"}, {ColRpt, "RPT"},
};

[[nodiscard]] QString Cell(const RowCells& cells, Column column) { return cells[CellIndex(column)]; }

// The number of a frequency cell without its mask mark: "14195.00* " -> "14195.00".
[[nodiscard]] QString FrequencyOf(const QString& cell)
{
    QString text = cell.trimmed();
    if (text.endsWith(QLatin1Char('*')))
        text.chop(1);
    return text.trimmed();
}

// Offsets as two-decimal numbers, so "+1.50", "1.5" and "1.50" agree and " 0.00" is "0.00".
[[nodiscard]] QString OffsetOf(const QString& cell)
{
    return TwoDecimalText(NarrowToFloat(LeadingNumber(cell)));
}

[[nodiscard]] QString MaskWord(bool masked) { return masked ? QStringLiteral("on") : QStringLiteral("off"); }

// The frequency and offset of a row as a write would send them: a value the radio cannot be
// set to (a blank channel's 0.00, an offset of 10 kHz or more) draws no command.
[[nodiscard]] Channel SentNumbers(const RowCells& cells)
{
    Channel c;
    c.Freq = NarrowToFloat(LeadingNumber(FrequencyOf(Cell(cells, ColFreq))));
    c.RxRit = Cell(cells, ColRxRit);
    c.Offset = NarrowToFloat(LeadingNumber(Cell(cells, ColOffset)));
    return c;
}

// An empty value, as the tables show a code they do not know, is named.
[[nodiscard]] QString Shown(const QString& value) { return value.isEmpty() ? QStringLiteral("unknown") : value; }

}  // namespace

QList<FieldDifference> RowDifferences(const RowCells& expected, const Channel& radio, Fields fields)
{
    const QString expectedFreqCell = Cell(expected, ColFreq);
    if (expectedFreqCell.trimmed().isEmpty())
        return {};
    const RowCells held = CellsFromChannel(radio);
    const Channel sent = SentNumbers(expected);
    const bool onlySent = fields == Fields::Written;
    QList<FieldDifference> differences;
    const QString expectedFreq = FrequencyOf(expectedFreqCell);
    const QString heldFreq = FrequencyOf(Cell(held, ColFreq));
    if ((!onlySent || SendFreq(sent)) && expectedFreq != heldFreq)
        differences.append({ColFreq, QStringLiteral("frequency"), heldFreq, expectedFreq});
    const bool expectedMask = IsMaskedFreqCell(expectedFreqCell);
    if (expectedMask != radio.masked())
        differences.append({ColFreq, QStringLiteral("mask"), MaskWord(radio.masked()), MaskWord(expectedMask)});
    for (const ComparedField& f : kSetFields) {
        QString want = Cell(expected, f.column).trimmed();
        QString have = Cell(held, f.column).trimmed();
        if (want.isEmpty() || (onlySent && f.column == ColOffset && !SendRitOffset(sent)))
            continue;
        if (f.column == ColOffset) {
            want = OffsetOf(want);
            have = OffsetOf(have);
        }
        if (want != have)
            differences.append({f.column, QString::fromLatin1(f.name), Shown(have), want});
    }
    return differences;
}

RowCells CellsOfWrite(const ChannelWrite& write)
{
    Channel channel = write.channel;
    channel.Mask = write.MaskCode == 1 ? QStringLiteral("* ") : QStringLiteral("  ");
    return CellsFromChannel(channel);
}

QString DifferenceLine(int channel, const QList<FieldDifference>& differences, const QString& source)
{
    QStringList parts;
    for (const FieldDifference& d : differences)
        parts << QStringLiteral("%1 radio %2, %3 %4").arg(d.field, d.radio, source, d.expected);
    return QStringLiteral("%1: %2").arg(ChannelLabel(channel), parts.join(QStringLiteral("; ")));
}

}  // namespace vardo
