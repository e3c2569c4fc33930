// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One line of a saved memory file: the ten cell texts of grid columns 1 to 10 joined by ":".
// Field 1 is the frequency with the masked mark "*" right after it (never in "Qmb.txt"),
// field 8 the offset as shown, field 10 the comment, which may itself hold colons.

#include <tuple>

#include <QString>

#include "channel.h"
#include "channelindex.h"
#include "channelrow.h"

namespace vardo {

inline constexpr int kSavedFieldCount = 10;
inline constexpr int kSavedColonCount = kSavedFieldCount - 1;
// A line holds one field per cell of a row, in the row's order.
static_assert(kSavedFieldCount == std::tuple_size_v<RowCells>);

// What a saved line holds: the channel's settings, its mask code and its comment.
struct SavedLine {
    Channel channel;  // Freq, Mask, the setting texts, Offset, OffsetSign, Rpt
    int MaskCode = 2; // 1 masked, 2 not masked
    QString CommentText;
    // False for a row without channel data that carries a comment: nine colons, then the
    // comment. Only CommentText counts then.
    bool hasChannel = true;

    bool operator==(const SavedLine&) const = default;
};

// Field 1 from the Freq cell: a cell whose characters 5 to 10 hold "*" keeps the mark and
// loses its trailing blank; any other cell loses its two-character marker. keepMark false
// (the QMB view) always drops both. A cell shorter than two characters gives "".
[[nodiscard]] QString SavedFreqField(const QString& freqCell, bool keepMark);

// The line for one row. Line breaks inside a cell would split the row, so they become blanks.
[[nodiscard]] QString SavedLineFromCells(const RowCells& cells, bool keepMark);

// Whether a view's file keeps the masked mark (every view but frmQmb).
[[nodiscard]] constexpr bool KeepsMaskMark(ViewKind v) { return v != ViewKind::Qmb; }

// Reads a line as the old reader did: the mark searched in characters 5 to 10, numbers by
// the leading-number reading with the first "," taken as the decimal point. Never fails;
// a field whose colon is missing is empty and the rest of the line is the comment.
[[nodiscard]] SavedLine ReadSavedLine(const QString& line);

// Why a line cannot be loaded ("" when it can): fewer than nine colons, a number field that
// is not a number, or a setting that is neither empty nor one of its column's texts. A
// comment-only line can always be loaded.
[[nodiscard]] QString SavedLineProblem(const QString& line);

// A line of nine colons and nothing else: what an empty grid row is saved as.
[[nodiscard]] bool IsEmptySavedLine(const QString& line);

// Nine colons and then a comment: what a row without channel data but with a comment is
// saved as. Its comment is taken whole (no masked mark is looked for in it).
[[nodiscard]] bool IsCommentOnlySavedLine(const QString& line);

// A piece of a line as an error message quotes it: at most 60 characters, and control
// characters (a NUL byte among them) shown as their visible symbols, so that the message is
// neither cut short nor garbled.
[[nodiscard]] QString QuotedText(const QString& text);

// Old layout: "," where the current one has ":". Judged on a file's first line: none of its
// characters 6 to 10 is ":".
[[nodiscard]] bool IsOldLayout(const QString& firstLine);

// The first nine commas of an old-layout line become colons; later ones belong to the comment.
[[nodiscard]] QString ConvertOldLine(const QString& line);

}  // namespace vardo
