// SPDX-License-Identifier: GPL-3.0-or-later
#include "channelrow.h"

#include "numberformat.h"

namespace vardo {

QString OffsetCell(const Channel& c)
{
    return (c.OffsetSign + TwoDecimalText(c.Offset)).trimmed();
}

RowCells CellsFromChannel(const Channel& c)
{
    RowCells cells;
    cells[CellIndex(ColFreq)] = TwoDecimalText(c.Freq) + c.Mask;
    cells[CellIndex(ColMode)] = c.Mode;
    cells[CellIndex(Col82)] = c.Filt82;
    cells[CellIndex(Col455)] = c.Filt455;
    cells[CellIndex(ColAnt)] = c.Ant;
    cells[CellIndex(ColRxRit)] = c.RxRit;
    cells[CellIndex(ColTxRit)] = c.TxRit;
    cells[CellIndex(ColOffset)] = OffsetCell(c);
    cells[CellIndex(ColRpt)] = c.Rpt;
    return cells;
}

bool IsMaskedFreqCell(const QString& text)
{
    const qsizetype n = text.trimmed().size();
    return n > 0 && text.at(n - 1) == QLatin1Char('*');
}

}  // namespace vardo
