#include "channelrow.h"

#include "numberformat.h"

namespace vardo {
namespace {

// Cell index of a grid column (the cells start at the Freq column).
[[nodiscard]] constexpr std::size_t Cell(Column column) { return static_cast<std::size_t>(column - ColFreq); }

}  // namespace

QString OffsetCell(const Channel& c)
{
    return (c.OffsetSign + TwoDecimalText(c.Offset)).trimmed();
}

SettingCells CellsFromChannel(const Channel& c)
{
    SettingCells cells;
    cells[Cell(ColFreq)] = TwoDecimalText(c.Freq) + c.Mask;
    cells[Cell(ColMode)] = c.Mode;
    cells[Cell(Col82)] = c.Filt82;
    cells[Cell(Col455)] = c.Filt455;
    cells[Cell(ColAnt)] = c.Ant;
    cells[Cell(ColRxRit)] = c.RxRit;
    cells[Cell(ColTxRit)] = c.TxRit;
    cells[Cell(ColOffset)] = OffsetCell(c);
    cells[Cell(ColRpt)] = c.Rpt;
    return cells;
}

bool IsMaskedFreqCell(const QString& text)
{
    const qsizetype n = text.trimmed().size();
    return n > 0 && text.at(n - 1) == QLatin1Char('*');
}

Channel ChannelFromCells(const SettingCells& cells)
{
    Channel c;
    const QString& freq = cells[Cell(ColFreq)];
    c.Freq = NarrowToFloat(LeadingNumber(freq));
    c.Mask = IsMaskedFreqCell(freq) ? QStringLiteral("* ") : QStringLiteral("  ");
    c.Mode = cells[Cell(ColMode)];
    c.Filt82 = cells[Cell(Col82)];
    c.Filt455 = cells[Cell(Col455)];
    c.Ant = cells[Cell(ColAnt)];
    c.RxRit = cells[Cell(ColRxRit)];
    c.TxRit = cells[Cell(ColTxRit)];
    c.Offset = NarrowToFloat(LeadingNumber(cells[Cell(ColOffset)]));
    c.OffsetSign = c.Offset > 0.0f ? QStringLiteral("+") : QString();
    c.Rpt = cells[Cell(ColRpt)];
    return c;
}

}  // namespace vardo
