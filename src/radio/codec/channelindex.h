// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one numbering of the 113 channels (1-99 regular, 100-108 PMS P1-P9, 109-113 QMB Q1-Q5)
// and how each of the four tables maps its rows onto it.

#include <QList>
#include <QString>
#include <QStringList>

#include "channel.h"

namespace vardo {

enum class ViewKind { All, Ch99, Pms, Qmb };

inline constexpr ViewKind kAllViews[] = {ViewKind::All, ViewKind::Ch99, ViewKind::Pms, ViewKind::Qmb};

[[nodiscard]] constexpr int FirstChannel(ViewKind v)
{
    switch (v) {
    case ViewKind::All: return kFirstRegular;
    case ViewKind::Ch99: return kFirstRegular;
    case ViewKind::Pms: return kFirstPms;
    case ViewKind::Qmb: return kFirstQmb;
    }
    return kFirstRegular;
}

[[nodiscard]] constexpr int LastChannel(ViewKind v)
{
    switch (v) {
    case ViewKind::All: return kLastQmb;
    case ViewKind::Ch99: return kLastRegular;
    case ViewKind::Pms: return kLastPms;
    case ViewKind::Qmb: return kLastQmb;
    }
    return kLastQmb;
}

// Channel rows of the view: 113, 99, 9 or 5.
[[nodiscard]] constexpr int RowCount(ViewKind v) { return LastChannel(v) - FirstChannel(v) + 1; }

// Grid row (1-based) of a channel index in the view; 0 when the view does not show it.
[[nodiscard]] constexpr int RowOfChannel(ViewKind v, int channel)
{
    if (channel < FirstChannel(v) || channel > LastChannel(v))
        return 0;
    return channel - FirstChannel(v) + 1;
}

// Channel index shown in grid row `row` (1-based) of the view.
[[nodiscard]] constexpr int ChannelOfRow(ViewKind v, int row) { return FirstChannel(v) + row - 1; }

[[nodiscard]] constexpr bool IsQmbChannel(int channel) { return channel >= kFirstQmb; }
[[nodiscard]] constexpr bool IsPmsChannel(int channel) { return channel >= kFirstPms && channel <= kLastPms; }

// The radio's channel number for store, mask and recall; 0 for QMB channels (never written).
[[nodiscard]] constexpr int RadioChannelNumber(int channel) { return IsQmbChannel(channel) ? 0 : channel; }

// Row label: "1".."99", "P1".."P9", "Q1".."Q5".
[[nodiscard]] inline QString ChannelLabel(int channel)
{
    if (IsQmbChannel(channel))
        return QStringLiteral("Q%1").arg(channel - kLastPms);
    if (IsPmsChannel(channel))
        return QStringLiteral("P%1").arg(channel - kLastRegular);
    return QString::number(channel);
}

// Labels of several channels, "5, P1, P9".
[[nodiscard]] inline QString ChannelLabels(const QList<int>& channels)
{
    QStringList labels;
    for (int channel : channels)
        labels << ChannelLabel(channel);
    return labels.join(QStringLiteral(", "));
}

// The other view that shows the same channel: All for the three block views; for All, the
// block view of the channel.
[[nodiscard]] constexpr ViewKind MirrorView(ViewKind v, int channel)
{
    if (v != ViewKind::All)
        return ViewKind::All;
    if (IsQmbChannel(channel))
        return ViewKind::Qmb;
    return IsPmsChannel(channel) ? ViewKind::Pms : ViewKind::Ch99;
}

}  // namespace vardo
