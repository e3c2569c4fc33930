#pragma once
// The channel row: the texts of grid columns 1 to 9 for one channel, and back.

#include <array>

#include <QString>

#include "channel.h"

namespace vardo {

inline constexpr int kColumnCount = 11;  // Ch#, Freq .. RPT, Comments
enum Column { ColLabel = 0, ColFreq = 1, ColMode, Col82, Col455, ColAnt, ColRxRit, ColTxRit,
              ColOffset, ColRpt, ColComment = 10 };

using SettingCells = std::array<QString, 9>;  // columns 1..9

// "14195.00  " / "14195.00* ", mode .. "+1.50" .. RPT.
[[nodiscard]] SettingCells CellsFromChannel(const Channel& c);

// The offset cell: OffsetSign followed by the two-decimal offset, trimmed.
[[nodiscard]] QString OffsetCell(const Channel& c);

// A frequency cell is masked when the character at the length of its trimmed text is "*":
// the number followed by "* ". The one test of the mask mark that the tables and the writer share.
[[nodiscard]] bool IsMaskedFreqCell(const QString& text);

// Reads a row's cells back into a channel for writing (numbers by the leading-number
// reading; masked when the trimmed frequency text ends in "*").
[[nodiscard]] Channel ChannelFromCells(const SettingCells& cells);

}  // namespace vardo
