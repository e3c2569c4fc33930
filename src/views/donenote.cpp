// SPDX-License-Identifier: GPL-3.0-or-later
#include "donenote.h"

#include <QMainWindow>
#include <QStatusBar>

#include "channeltable.h"

namespace vardo {

int ChannelsHeld(const ChannelTable& table)
{
    int held = 0;
    for (int row = 1; row <= table.channelRows(); ++row)
        held += table.hasData(row) ? 1 : 0;
    return held;
}

QString ChannelCount(qsizetype count)
{
    return count == 1 ? QStringLiteral("1 channel") : QStringLiteral("%1 channels").arg(count);
}

void ShowDoneNote(QMainWindow& view, const QString& note, const QString& shownBefore)
{
    const QString meanwhile = StatusNote(view);
    const bool keep = !meanwhile.isEmpty() && meanwhile != shownBefore;
    view.statusBar()->showMessage(keep ? note + QStringLiteral(". ") + meanwhile : note);
}

QString StatusNote(QMainWindow& view)
{
    return view.statusBar()->currentMessage();
}

}  // namespace vardo
