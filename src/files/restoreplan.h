#pragma once
// What a Load does with a checked saved file, worked out before anything is touched: the
// cells for every row of the view and the channel writes for the radio's batch.

#include <optional>
#include <vector>

#include <QList>
#include <QString>

#include "channel.h"
#include "channelindex.h"
#include "savedfileformat.h"

namespace vardo {

struct RestorePlan {
    std::vector<RowCells> rows;  // rows 1..RowCount(view)
    // In line order: channels 1..108 that have data; none for QMB lines, none for frmQmb.
    QList<ChannelWrite> writes;
    // Channels left out of the batch because the radio cannot be set to their frequency
    // (a blank channel reads as 0.00 kHz): storing them would store the frequency VFO-A held.
    QList<int> unsendable;
    bool operator==(const RestorePlan&) const = default;
};

// Freq is the two-decimal frequency and the mask marker, Offset the signed offset.
[[nodiscard]] RowCells CellsFromSavedLine(const SavedLine& line);

// An empty saved row stays empty in the grid and nothing is written to its channel (writing
// it would store whatever VFO-A holds into the channel); the same for a frequency the radio
// cannot be set to. A row without channel data keeps its comment.
[[nodiscard]] RestorePlan PlanRestore(ViewKind view, const std::vector<std::optional<SavedLine>>& lines);

// What Load tells the operator about the channels it left out as unsendable:
// "Channels 78, 79 were left as they are in the radio: ..."
[[nodiscard]] QString LeftAsTheyWereMessage(const QList<int>& channels);

}  // namespace vardo
