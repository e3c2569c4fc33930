// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewfamily.h"

namespace vardo {
namespace {

[[nodiscard]] std::size_t Slot(ViewKind kind) { return static_cast<std::size_t>(kind); }

}  // namespace

ViewFamily::ViewFamily(QObject* parent) : QObject(parent)
{
    for (ViewKind kind : kAllViews)
        m_tables[Slot(kind)] = std::make_unique<ChannelTable>(kind);
}

ChannelTable& ViewFamily::table(ViewKind kind) { return *m_tables[Slot(kind)]; }

const ChannelTable& ViewFamily::table(ViewKind kind) const { return *m_tables[Slot(kind)]; }

int ViewFamily::MirrorRow(ViewKind kind, int row)
{
    const int channel = ChannelOfRow(kind, row);
    if (RowOfChannel(kind, channel) == 0)
        return 0;
    return RowOfChannel(MirrorView(kind, channel), channel);
}

template <typename Write>
void ViewFamily::writeWithMirror(ViewKind kind, int row, Write write)
{
    const int mirrorRow = MirrorRow(kind, row);
    write(table(kind), row);
    if (mirrorRow != 0)
        write(table(MirrorView(kind, ChannelOfRow(kind, row))), mirrorRow);
}

void ViewFamily::fillRow(ViewKind current, int channel, const RowCells& cells)
{
    // The current view first; a channel the current view does not show still reaches both
    // views that do (frmAll, then its block view).
    const ViewKind first = RowOfChannel(current, channel) != 0 ? current : ViewKind::All;
    if (RowOfChannel(first, channel) == 0)
        return;
    writeWithMirror(first, RowOfChannel(first, channel),
                    [&](ChannelTable& t, int r) { t.setSettings(r, cells); });
}

void ViewFamily::setRow(ViewKind kind, int row, const RowCells& cells)
{
    writeWithMirror(kind, row, [&](ChannelTable& t, int r) { t.setRow(r, cells); });
}

void ViewFamily::setCell(ViewKind kind, int row, int column, const QString& text)
{
    writeWithMirror(kind, row, [&](ChannelTable& t, int r) { t.setCell(r, column, text); });
}

void ViewFamily::setComment(ViewKind kind, int row, const QString& text)
{
    writeWithMirror(kind, row, [&](ChannelTable& t, int r) {
        if (&t == &table(kind) || t.hasData(r))
            t.setCell(r, ColComment, text);
    });
}

void ViewFamily::swapRows(ViewKind kind, int rowA, int rowB)
{
    table(kind).swapCells(rowA, rowB);
    // The mirror takes the moved rows as this view shows them, even where it held something
    // else before: afterwards both views show the same channel in the same place.
    for (int row : {rowA, rowB})
        writeWithMirror(kind, row, [&](ChannelTable& t, int r) {
            if (&t != &table(kind))
                t.setRow(r, table(kind).row(row));
        });
}

void ViewFamily::putRows(ViewKind kind, const std::vector<RowCells>& rows)
{
    ChannelTable& t = table(kind);
    const int count = std::min(t.channelRows(), int(rows.size()));
    for (int row = 1; row <= count; ++row)
        if (t.row(row) != rows[std::size_t(row - 1)])
            t.setRow(row, rows[std::size_t(row - 1)]);
}

void ViewFamily::clear(ViewKind kind)
{
    table(kind).layOut();
}

}  // namespace vardo
