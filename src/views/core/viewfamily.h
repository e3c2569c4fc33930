// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The four views' tables and the one place that knows which views show a channel. Every
// write that must reach a channel's row in both of its views (a read, an edit, a comment, a
// move, a load from file) goes through here, so no view reaches into another's cells.

#include <array>
#include <memory>

#include <QObject>

#include "channeltable.h"

namespace vardo {

class ViewFamily : public QObject {
    Q_OBJECT
public:
    explicit ViewFamily(QObject* parent = nullptr);

    [[nodiscard]] ChannelTable& table(ViewKind kind);
    [[nodiscard]] const ChannelTable& table(ViewKind kind) const;

    // Writes the settings of `cells` (Freq .. RPT) into the `current` view's row of `channel`
    // first, then into the other view that shows the channel (the row filling of a read or an
    // edit: frmAll plus the block view). Both rows keep their comments.
    void fillRow(ViewKind current, int channel, const RowCells& cells);

    // Writes all of `cells` into grid row `row` of `kind` and into the mirror row.
    void setRow(ViewKind kind, int row, const RowCells& cells);

    // Writes one cell of grid row `row` of `kind` and the same cell of the mirror row.
    void setCell(ViewKind kind, int row, int column, const QString& text);

    // Writes a comment into grid row `row` of `kind`, and into the mirror row when that row
    // has channel data: a row without data in the other view gets no lone comment.
    void setComment(ViewKind kind, int row, const QString& text);

    // Exchanges columns 1..10 of two rows of `kind`, then writes both rows as they now stand
    // into their mirror rows.
    void swapRows(ViewKind kind, int rowA, int rowB);

    // Writes `rows` into the rows of `kind` alone, skipping rows that already hold them (an
    // undo puts back every table it touched, mirrors included, one by one).
    void putRows(ViewKind kind, const std::vector<RowCells>& rows);

    // Empties one view and lays it out again; the other views keep their rows.
    void clear(ViewKind kind);

    // Grid row of the mirror of row `row` of `kind` (0 when there is none).
    [[nodiscard]] static int MirrorRow(ViewKind kind, int row);

private:
    // Calls write(table, row) for grid row `row` of `kind`, then for its mirror row if any.
    template <typename Write>
    void writeWithMirror(ViewKind kind, int row, Write write);

    std::array<std::unique_ptr<ChannelTable>, 4> m_tables;
};

}  // namespace vardo
