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

void ViewFamily::fillRow(ViewKind current, int channel, const SettingCells& cells)
{
    // The current view first; a channel the current view does not show still reaches both
    // views that do (frmAll, then its block view).
    ViewKind first = RowOfChannel(current, channel) != 0 ? current : ViewKind::All;
    if (RowOfChannel(first, channel) == 0)
        return;
    table(first).setSettings(RowOfChannel(first, channel), cells);
    const ViewKind mirror = MirrorView(first, channel);
    table(mirror).setSettings(RowOfChannel(mirror, channel), cells);
}

void ViewFamily::setCell(ViewKind kind, int row, int column, const QString& text)
{
    const int mirrorRow = MirrorRow(kind, row);
    table(kind).setCell(row, column, text);
    if (mirrorRow != 0)
        table(MirrorView(kind, ChannelOfRow(kind, row))).setCell(mirrorRow, column, text);
}

void ViewFamily::swapRows(ViewKind kind, int rowA, int rowB)
{
    const int mirrorA = MirrorRow(kind, rowA);
    const int mirrorB = MirrorRow(kind, rowB);
    const ViewKind mirrorView = MirrorView(kind, ChannelOfRow(kind, rowA));
    table(kind).swapCells(rowA, rowB);
    // Both rows lie in one block (moves never cross blocks), so they share one mirror view.
    if (mirrorA != 0 && mirrorB != 0 && mirrorView == MirrorView(kind, ChannelOfRow(kind, rowB)))
        table(mirrorView).swapCells(mirrorA, mirrorB);
}

void ViewFamily::clear(ViewKind kind)
{
    table(kind).layOut();
}

}  // namespace vardo
