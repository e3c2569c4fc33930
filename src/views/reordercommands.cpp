// SPDX-License-Identifier: GPL-3.0-or-later
#include "reordercommands.h"

#include <QApplication>

#include "memoryview.h"
#include "tablesteps.h"
#include "viewfamily.h"
#include "viewhost.h"
#include "viewstate.h"

namespace vardo {

ReorderCommands::ReorderCommands(MemoryView& view, ViewHost& host)
    : QObject(&view), m_view(view), m_host(host)
{
    connect(&view, &MemoryView::upRequested, this, [this] { move(Direction::Up); });
    connect(&view, &MemoryView::downRequested, this, [this] { move(Direction::Down); });
}

void ReorderCommands::move(Direction direction)
{
    if (!m_host.viewState().SortMode)
        return;
    const int row = m_view.pickedRow();
    const Move move = MoveTarget(m_view.kind(), row, direction);
    switch (move.kind) {
    case MoveKind::Nothing:
        return;
    case MoveKind::Beep:
        QApplication::beep();
        Q_EMIT edgeReached();
        return;
    case MoveKind::Swap:
        break;
    }
    const ViewKind kind = m_view.kind();
    const QString what = QStringLiteral("Move %1 and %2")
                             .arg(ChannelLabel(ChannelOfRow(kind, std::min(row, move.target))),
                                  ChannelLabel(ChannelOfRow(kind, std::max(row, move.target))));
    m_host.tableSteps().record(what, [&] { m_host.family().swapRows(kind, row, move.target); });
    if (!m_view.rowVisible(move.target))
        m_view.setTopRow(TopRowAfterMove(move.target, direction));
    // The picked channel stays picked: the next press moves it further.
    m_view.pickRow(move.target);
}

}  // namespace vardo
