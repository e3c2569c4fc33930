#pragma once
// One view's grid of cell texts: 11 columns (Ch#, Freq .. RPT, Comments) and one row per
// channel of the view. The texts are the store of channel data between a read and a save, so
// saving, printing and the editor read them back from here, never from the widgets.
// Rows are numbered as the operator sees them: 1 is the first channel row (model row 0).

#include <vector>

#include <QAbstractTableModel>
#include <QStringList>

#include "channelindex.h"
#include "channelrow.h"

namespace vardo {

// The grid header, one centred field per column (a leading caret centres a column).
inline constexpr char kGridFormat[] =
    "^Ch#|^Freq (kHz)|^Mode|^8.2 Filter|^455 Filter|^Ant|^Rx RIT|^Tx RIT|^Offset|^RPT|^Comments";

// Header texts of the 11 columns, from the format string.
[[nodiscard]] const QStringList& ColumnHeaders();

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
};

// Alignment of channel-row cells: Freq right, Comments left, everything else centred.
[[nodiscard]] Qt::Alignment CellAlignment(int column);

}  // namespace vardo
