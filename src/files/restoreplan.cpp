#include "restoreplan.h"

#include "channelrow.h"
#include "codec.h"

namespace vardo {

RowCells CellsFromSavedLine(const SavedLine& line)
{
    RowCells cells = line.hasChannel ? CellsFromChannel(line.channel) : RowCells{};
    cells[CellIndex(ColComment)] = line.CommentText;
    return cells;
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
        if (SendFreq(line->channel))
            plan.writes.append(ChannelWrite{line->channel, channelNo, line->MaskCode});
        else
            plan.unsendable.append(channelNo);
    }
    return plan;
}

QString LeftAsTheyWereMessage(const QList<int>& channels)
{
    const bool one = channels.size() == 1;
    const auto pick = [one](const char* single, const char* several) { return QString::fromLatin1(one ? single : several); };
    return QStringLiteral("%1 %2 %3 left as %4 in the radio: the file gives %5 no frequency the radio can be set to "
                          "(a blank channel reads as 0.00).")
        .arg(pick("Channel", "Channels"), ChannelLabels(channels), pick("was", "were"),
             pick("it is", "they are"), pick("it", "them"));
}

}  // namespace vardo
