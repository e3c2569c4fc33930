// SPDX-License-Identifier: GPL-3.0-or-later
#include "moverules.h"

#include <algorithm>

namespace vardo {

std::optional<RowBlock> MoveBlock(ViewKind view, int row)
{
    if (row < 1 || row > RowCount(view))
        return std::nullopt;
    const int channel = ChannelOfRow(view, row);
    if (IsQmbChannel(channel))
        return std::nullopt;
    // The block's channel range, clipped to what the view shows.
    const int firstChannel = std::max(IsPmsChannel(channel) ? kFirstPms : kFirstRegular, FirstChannel(view));
    const int lastChannel = std::min(IsPmsChannel(channel) ? kLastPms : kLastRegular, LastChannel(view));
    return RowBlock{RowOfChannel(view, firstChannel), RowOfChannel(view, lastChannel)};
}

Move MoveTarget(ViewKind view, int row, Direction direction)
{
    const std::optional<RowBlock> block = MoveBlock(view, row);
    if (!block)
        return {};
    const int edge = direction == Direction::Up ? block->first : block->last;
    if (row == edge)
        return {MoveKind::Beep, 0};
    return {MoveKind::Swap, direction == Direction::Up ? row - 1 : row + 1};
}

int TopRowAfterMove(int row, Direction direction)
{
    if (direction == Direction::Up)
        return row;
    return std::max(1, row - kRowsAboveWhenScrolledDown);
}

}  // namespace vardo
