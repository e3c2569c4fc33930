// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where cmdUp and cmdDown may move a channel: each view's rows fall into blocks (regular
// channels, PMS channels) and a channel never leaves its block. QMB rows cannot move at all.

#include <optional>

#include "channelindex.h"

namespace vardo {

enum class Direction { Up, Down };

enum class MoveKind {
    Nothing,  // the row belongs to no movable block: no move and no sound
    Beep,     // the row is at the edge of its block
    Swap      // exchange with `target`
};

struct Move {
    MoveKind kind = MoveKind::Nothing;
    int target = 0;  // the neighbouring grid row, for Swap

    bool operator==(const Move&) const = default;
};

// Grid rows first..last of one movable block of a view.
struct RowBlock {
    int first = 0;
    int last = 0;

    bool operator==(const RowBlock&) const = default;
};

// The block holding grid row `row` of the view; none for QMB rows and rows off the grid.
[[nodiscard]] std::optional<RowBlock> MoveBlock(ViewKind view, int row);

// What one press of cmdUp or cmdDown does to grid row `row`.
[[nodiscard]] Move MoveTarget(ViewKind view, int row, Direction direction);

// A moved row that went out of sight is brought back: moving up it becomes the top row,
// moving down it becomes the bottom row of a 15-row page (the row 14 above it on top).
inline constexpr int kRowsAboveWhenScrolledDown = 14;
[[nodiscard]] int TopRowAfterMove(int row, Direction direction);

}  // namespace vardo
