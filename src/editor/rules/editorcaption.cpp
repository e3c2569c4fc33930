// SPDX-License-Identifier: GPL-3.0-or-later
#include "editorcaption.h"

namespace vardo {

std::optional<QString> EditorCaption(ViewKind view, int row)
{
    const int channel = ChannelOfRow(view, row);
    if (view == ViewKind::Qmb || row < 1 || row > RowCount(view) || channel > kLastPms)
        return std::nullopt;
    const QString lead = QStringLiteral(" Enter changes desired for ");
    const QString name = QStringLiteral("Memory Channel ");
    const QString colon = QStringLiteral(": ");
    if (IsPmsChannel(channel))
        return lead + QStringLiteral("PMS ") + name + QStringLiteral("P")
            + QString::number(channel - kLastRegular) + colon;
    return lead + name + QString::number(channel) + colon;
}

}  // namespace vardo
