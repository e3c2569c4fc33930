#include "restoreplan.h"

#include "channelrow.h"
#include "codec.h"

namespace vardo {

RowCells CellsFromSavedLine(const SavedLine& line)
{
    RowCells cells = CellsFromChannel(line.channel);
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
        if (!line || view == ViewKind::Qmb || channelNo == 0)
            continue;
        if (SendFreq(line->channel))
            plan.writes.append(ChannelWrite{line->channel, channelNo, line->MaskCode});
        else
            plan.unsendable.append(channelNo);
    }
    return plan;
}

}  // namespace vardo
