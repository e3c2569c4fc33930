// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One view's grid of cell texts: 11 columns (Ch#, Freq .. RPT, Comments) and one row per
// channel of the view. The texts are the store of channel data between a read and a save, so
// saving, printing and the editor read them back from here, never from the widgets. The
// marks of cells the radio holds otherwise (Compare, a write's read-back) live here too, as
// the cells' background, tooltip and accessible description.
// Rows are numbered as the operator sees them: 1 is the first channel row (model row 0).

#include <vector>

#include <QAbstractTableModel>
#include <QColor>
#include <QHash>
#include <QStringList>

#include "channelindex.h"
#include "channelrow.h"
#include "rowcompare.h"

namespace vardo {

// The grid header, one centred field per column (a leading caret centres a column).
inline constexpr char kGridFormat[] =
    "^Ch#|^Freq (kHz)|^Mode|^8.2 Filter|^455 Filter|^Ant|^Rx RIT|^Tx RIT|^Offset|^RPT|^Comments";

// Header texts of the 11 columns, from the format string.
[[nodiscard]] const QStringList& ColumnHeaders();

// The background of a cell whose field the radio holds otherwise: a light amber, told apart
// from the white cells and the blue selection by its lightness as much as by its hue.
inline constexpr QRgb kMarkColour = qRgb(0xFF, 0xD8, 0x80);
// The same for a field no command can set (the antenna): a neutral grey, since a write would
// not change it and the operator has nothing to mend.
inline constexpr QRgb kUnsettableMarkColour = qRgb(0xD8, 0xD8, 0xD8);

// Which of the two a mark is.
enum class MarkKind { Differs, Unsettable };

// A marked cell's tooltip: the radio's value of each field the cell shows ("Radio: 14250.00",
// "Radio: mask off"), one line each.
[[nodiscard]] QString MarkText(const QList<FieldDifference>& differences);

class ChannelTable : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ChannelTable(ViewKind kind, QObject* parent = nullptr);

    [[nodiscard]] ViewKind kind() const { return m_kind; }
    [[nodiscard]] int channelRows() const { return RowCount(m_kind); }

    // Cell text of grid row `row` (1..channelRows()) and column 0..10; empty outside the grid.
    [[nodiscard]] QString cell(int row, int column) const;
    void setCell(int row, int column, const QString& text);
    // Columns Freq .. Comments of a row; empty cells outside the grid.
    [[nodiscard]] RowCells row(int row) const;
    // Every row, in grid order.
    [[nodiscard]] std::vector<RowCells> rows() const;
    // Writes all of `cells` into a row.
    void setRow(int row, const RowCells& cells);
    // Writes the settings of `cells` (Freq .. RPT) into a row; the row keeps its comment.
    void setSettings(int row, const RowCells& cells);

    // A row has data when its Freq cell is not empty.
    [[nodiscard]] bool hasData(int row) const;
    // The mask marker test: the character at the position of the trimmed text's length is "*".
    [[nodiscard]] bool masked(int row) const;

    // Exchanges columns first..last of two rows; the labels never move.
    void swapCells(int rowA, int rowB, int firstColumn = ColFreq, int lastColumn = ColComment);

    // Empties every cell, then writes the row labels again: the grid as after start-up.
    void layOut();

    // Marks the cells of a row whose fields the radio holds otherwise (Compare, a write's
    // read-back): the cell's background, by `kind`, and a tooltip with the radio's value. The
    // marks stay until the table's texts change (a read, a load, an edit, a clear) or
    // clearMarks(): then the table no longer shows what was compared.
    void markDifferences(int row, const QList<FieldDifference>& differences, MarkKind kind = MarkKind::Differs);
    // The same for every channel of `mismatches` this table shows.
    void markMismatches(const QList<ChannelMismatch>& mismatches);
    void clearMarks();
    // A cell's mark (its tooltip text); empty when the cell is not marked.
    [[nodiscard]] QString mark(int row, int column) const;
    [[nodiscard]] int markCount() const { return int(m_marks.size()); }

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                      int role = Qt::DisplayRole) const override;

private:
    [[nodiscard]] bool inGrid(int row, int column) const;
    [[nodiscard]] qsizetype at(int row, int column) const { return (row - 1) * kColumnCount + column; }
    // Columns Freq .. `last` of a row from `cells`, announced as one change.
    void writeCells(int row, const RowCells& cells, Column last);

    ViewKind m_kind;
    QStringList m_cells;  // row-major, channelRows() x kColumnCount
    struct Mark {
        QString text;
        MarkKind kind = MarkKind::Differs;
    };
    QHash<qsizetype, Mark> m_marks;  // by cell position, as m_cells
};

// Alignment of channel-row cells: Freq right, Comments left, everything else centred.
[[nodiscard]] Qt::Alignment CellAlignment(int column);

}  // namespace vardo
