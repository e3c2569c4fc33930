// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The channel row: the texts of one grid row's columns Freq .. Comments, the one shape every
// table, saved file, listing and the editor share, and a channel's settings as those texts.

#include <array>
#include <cstddef>

#include <QString>

#include "channel.h"

namespace vardo {

inline constexpr int kColumnCount = 11;  // Ch#, Freq .. RPT, Comments
enum Column { ColLabel = 0, ColFreq = 1, ColMode, Col82, Col455, ColAnt, ColRxRit, ColTxRit,
              ColOffset, ColRpt, ColComment = 10 };

// Where the text of grid column `column` (ColFreq .. ColComment) sits in a RowCells.
[[nodiscard]] constexpr std::size_t CellIndex(Column column) { return static_cast<std::size_t>(column - ColFreq); }

// The texts of grid columns Freq .. Comments of one row. The row label is not part of it: it
// follows from the row's place in its view (ChannelLabel(ChannelOfRow(view, row))), and a
// label never moves. Freq .. RPT are the row's settings, Comments its comment.
using RowCells = std::array<QString, CellIndex(ColComment) + 1>;

// The settings as a row shows them ("14195.00  " / "14195.00* ", mode .. "+1.50" .. RPT);
// the comment is empty (comments live only in the grids and the saved files).
[[nodiscard]] RowCells CellsFromChannel(const Channel& c);

// The offset cell: OffsetSign followed by the two-decimal offset, trimmed.
[[nodiscard]] QString OffsetCell(const Channel& c);

// A frequency cell is masked when the character at the length of its trimmed text is "*":
// the number followed by "* ". The one test of the mask mark, so that the tables and the
// tests that read a row back agree on it.
[[nodiscard]] bool IsMaskedFreqCell(const QString& text);

}  // namespace vardo
