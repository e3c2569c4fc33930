// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reads a row's cells back into a channel, so a test can hand the encoders what a grid row shows
// (masked when the trimmed frequency text ends in "*"; the comment ignored).

#include "channel.h"
#include "channelrow.h"
#include "numberformat.h"

namespace vardo::test {

[[nodiscard]] inline Channel ChannelFromCells(const RowCells& cells)
{
    Channel c;
    const QString& freq = cells[CellIndex(ColFreq)];
    c.Freq = NarrowToFloat(LeadingNumber(freq));
    c.Mask = IsMaskedFreqCell(freq) ? QStringLiteral("* ") : QStringLiteral("  ");
    c.Mode = cells[CellIndex(ColMode)];
    c.Filt82 = cells[CellIndex(Col82)];
    c.Filt455 = cells[CellIndex(Col455)];
    c.Ant = cells[CellIndex(ColAnt)];
    c.RxRit = cells[CellIndex(ColRxRit)];
    c.TxRit = cells[CellIndex(ColTxRit)];
    c.Offset = NarrowToFloat(LeadingNumber(cells[CellIndex(ColOffset)]));
    c.OffsetSign = c.Offset > 0.0f ? QStringLiteral("+") : QString();
    c.Rpt = cells[CellIndex(ColRpt)];
    return c;
}

}  // namespace vardo::test
