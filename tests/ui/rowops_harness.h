#pragma once
// The program on the emulator (it attaches the row operations to every view itself), and
// the small readings the row-operation tests share.

#include <QItemSelectionModel>
#include <QStringList>

#include "app_harness.h"
#include "channelrow.h"
#include "viewfamily.h"

namespace vardo::test {

class RowOpsHarness : public AppHarness {
public:
    explicit RowOpsHarness(std::function<void(sim::SimRadio&)> prepare = {})
        : AppHarness(sim::Timing::Fast, std::move(prepare))
    {
    }

    // Writes columns 1..10 of grid row `row` of `kind` (and its mirror row) with texts
    // naming the row, so a moved channel can be told apart: "7050.<row>", "c<row>", ...
    void fillRow(ViewKind kind, int row) const
    {
        const QString tag = QString::number(row);
        app->family().setCell(kind, row, ColFreq, QStringLiteral("7050.") + tag);
        for (int column = ColMode; column <= ColRpt; ++column)
            app->family().setCell(kind, row, column, QStringLiteral("s%1.%2").arg(column).arg(tag));
        app->family().setCell(kind, row, ColComment, QStringLiteral("comment ") + tag);
    }
    void fillRows(ViewKind kind, int first, int last) const
    {
        for (int row = first; row <= last; ++row)
            fillRow(kind, row);
    }
};

// Columns 1..10 of a row, the part of a channel that moves.
[[nodiscard]] inline QStringList Contents(const ChannelTable& table, int row)
{
    QStringList cells;
    for (int column = ColFreq; column <= ColComment; ++column)
        cells << table.cell(row, column);
    return cells;
}

// The selected cells as "row:first-last" (rows from 1); empty when nothing is selected.
[[nodiscard]] inline QString SelectedCells(MemoryView& view)
{
    const QModelIndexList cells = view.grid()->selectionModel()->selectedIndexes();
    if (cells.isEmpty())
        return {};
    int first = kColumnCount;
    int last = -1;
    for (const QModelIndex& index : cells) {
        if (index.row() != cells.first().row())
            return QStringLiteral("several rows");
        first = std::min(first, index.column());
        last = std::max(last, index.column());
    }
    return QStringLiteral("%1:%2-%3").arg(cells.first().row() + 1).arg(first).arg(last);
}

// The grid's top visible row (from 1).
[[nodiscard]] inline int TopRow(MemoryView& view)
{
    return view.grid()->rowAt(0) + 1;
}

}  // namespace vardo::test
