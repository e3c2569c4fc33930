// SPDX-License-Identifier: GPL-3.0-or-later
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

// The settings columns after the frequency, in the order the tables show them. A write sets
// all of them but the antenna.
constexpr ComparedField kSettingFields[] = {
    {ColMode, "mode"}, {Col82, "8.2 filter"}, {Col455, "455 filter"}, {ColAnt, "antenna"}, {ColRxRit, "Rx RIT"},
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

// The frequency cell's two fields. `onlySent`: a frequency no command can send is not compared.
void AddFrequencyDifferences(const RowCells& expected, const Channel& radio, bool onlySent, bool withMask,
                             QList<FieldDifference>& differences)
{
    const QString expectedFreqCell = Cell(expected, ColFreq);
    const QString expectedFreq = FrequencyOf(expectedFreqCell);
    const QString heldFreq = TwoDecimalText(radio.Freq);
    if ((!onlySent || SendFreq(SentNumbers(expected))) && expectedFreq != heldFreq)
        differences.append({ColFreq, QStringLiteral("frequency"), heldFreq, expectedFreq});
    const bool expectedMask = IsMaskedFreqCell(expectedFreqCell);
    if (withMask && expectedMask != radio.masked())
        differences.append({ColFreq, QStringLiteral("mask"), MaskWord(radio.masked()), MaskWord(expectedMask)});
}

// The columns after the frequency. `onlySent`: the antenna, and an offset no command can send,
// are not compared.
void AddSettingDifferences(const RowCells& expected, const Channel& radio, bool onlySent,
                           QList<FieldDifference>& differences)
{
    const RowCells held = CellsFromChannel(radio);
    const bool offsetSent = SendRitOffset(SentNumbers(expected)).has_value();
    for (const ComparedField& f : kSettingFields) {
        QString want = Cell(expected, f.column).trimmed();
        QString have = Cell(held, f.column).trimmed();
        const bool notSent = f.column == ColAnt || (f.column == ColOffset && !offsetSent);
        if (want.isEmpty() || (onlySent && notSent))
            continue;
        if (f.column == ColOffset) {
            want = OffsetOf(want);
            have = OffsetOf(have);
        }
        if (want != have)
            differences.append({f.column, QString::fromLatin1(f.name), Shown(have), want});
    }
}

[[nodiscard]] QList<FieldDifference> Differences(const RowCells& expected, const Channel& radio, bool onlySent,
                                                 bool withMask)
{
    if (Cell(expected, ColFreq).trimmed().isEmpty())
        return {};
    QList<FieldDifference> differences;
    AddFrequencyDifferences(expected, radio, onlySent, withMask, differences);
    AddSettingDifferences(expected, radio, onlySent, differences);
    return differences;
}

}  // namespace

QList<FieldDifference> RowDifferences(const RowCells& expected, const Channel& radio, Fields fields)
{
    return Differences(expected, radio, fields == Fields::Written, true);
}

HeldComparison CompareHeld(ViewKind view, const RowCells& expected, const Channel& radio)
{
    HeldComparison found;
    for (const FieldDifference& d : Differences(expected, radio, false, view != ViewKind::Qmb))
        (d.column == ColAnt ? found.antenna : found.settings).append(d);
    return found;
}

QString AntennaNote(int channels, const QString& source)
{
    return QStringLiteral("%1 %2 another antenna than the %3 (no command can set the antenna)")
        .arg(channels == 1 ? QStringLiteral("1 channel") : QStringLiteral("%1 channels").arg(channels),
             channels == 1 ? QStringLiteral("holds") : QStringLiteral("hold"), source);
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
