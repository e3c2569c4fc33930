// SPDX-License-Identifier: GPL-3.0-or-later
#include "restoreplan.h"

#include "channelrow.h"
#include "codec.h"
#include "numberformat.h"

namespace vardo {
namespace {

// "offset +12.50", "frequency 0.00 and offset +12.50".
[[nodiscard]] QString ReasonText(const QList<UnsendableValue>& values)
{
    QStringList parts;
    for (const UnsendableValue& v : values)
        parts << v.field + u' ' + v.value;
    return parts.join(QStringLiteral(" and "));
}

}  // namespace

RowCells CellsFromSavedLine(const SavedLine& line)
{
    RowCells cells = line.hasChannel ? CellsFromChannel(line.channel) : RowCells{};
    cells[CellIndex(ColComment)] = line.CommentText;
    return cells;
}

QList<UnsendableValue> UnsendableValues(const Channel& channel)
{
    QList<UnsendableValue> values;
    if (!SendFreq(channel))
        values.append({QStringLiteral("frequency"), TwoDecimalText(channel.Freq)});
    if (!SendRitOffset(channel))
        values.append({QStringLiteral("offset"), OffsetCell(channel)});
    return values;
}

RestorePlan PlanRestore(ViewKind view, const std::vector<std::optional<SavedLine>>& lines)
{
    RestorePlan plan;
    plan.rows.reserve(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::optional<SavedLine>& line = lines[i];
        plan.rows.push_back(line ? CellsFromSavedLine(*line) : RowCells{});
        const int channelNo = RadioChannelNumber(ChannelOfRow(view, static_cast<int>(i) + 1));
        if (!line || !line->hasChannel || view == ViewKind::Qmb || channelNo == 0)
            continue;
        if (QList<UnsendableValue> unsendable = UnsendableValues(line->channel); !unsendable.isEmpty())
            plan.leftOut.append({channelNo, std::move(unsendable)});
        else
            plan.writes.append(ChannelWrite{line->channel, channelNo, line->MaskCode});
    }
    return plan;
}

QStringList LeftOutReport(const QList<LeftOutChannel>& leftOut)
{
    if (leftOut.isEmpty())
        return {};
    // Channels with the same reason share a line, so a run of blank channels takes one.
    QStringList reasons;
    QList<QList<int>> channels;
    for (const LeftOutChannel& c : leftOut) {
        const QString reason = ReasonText(c.values);
        const qsizetype at = reasons.indexOf(reason);
        if (at >= 0) {
            channels[at].append(c.channel);
        } else {
            reasons << reason;
            channels.append(QList<int>{c.channel});
        }
    }
    QStringList report{leftOut.size() == 1
                           ? QStringLiteral("1 channel was not written (the radio keeps what it held):")
                           : QStringLiteral("%1 channels were not written (the radio keeps what they held):")
                                 .arg(leftOut.size())};
    for (qsizetype i = 0; i < reasons.size(); ++i)
        report << QStringLiteral("%1: %2 cannot be sent to the radio").arg(ChannelLabels(channels[i]), reasons[i]);
    return report;
}

}  // namespace vardo
