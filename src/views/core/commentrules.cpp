// SPDX-License-Identifier: GPL-3.0-or-later
#include "commentrules.h"

namespace vardo {

QString CommentCaption(ViewKind view, int row)
{
    const int channel = ChannelOfRow(view, row);
    QString name;
    if (IsQmbChannel(channel))
        name = QStringLiteral("QMB memory channel %1:").arg(channel - kLastPms);
    else if (IsPmsChannel(channel))
        name = QStringLiteral("PMS memory channel %1:").arg(channel - kLastRegular);
    else
        name = QStringLiteral("memory channel %1:").arg(channel);
    return QStringLiteral("Edit comments for ") + name;
}

}  // namespace vardo
