// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a Load does with a checked saved file, worked out before anything is touched: the
// cells for every row of the view and the channel writes for the radio's batch.

#include <optional>
#include <vector>

#include <QList>
#include <QString>
#include <QStringList>

#include "channel.h"
#include "channelindex.h"
#include "savedfileformat.h"

namespace vardo {

// A value of a saved line that no command can send to the radio, as the tables show it:
// {"offset", "+12.50"}, {"frequency", "0.00"}.
struct UnsendableValue {
    QString field;
    QString value;
    bool operator==(const UnsendableValue&) const = default;
};

// A channel left out of the batch, and why.
struct LeftOutChannel {
    int channel = 0;
    QList<UnsendableValue> values;
    bool operator==(const LeftOutChannel&) const = default;
};

struct RestorePlan {
    std::vector<RowCells> rows;  // rows 1..RowCount(view)
    // In line order: channels 1..108 that have data; none for QMB lines, none for frmQmb.
    QList<ChannelWrite> writes;
    // Channels with a value no command can send, in line order. A channel is written whole or
    // not at all: stored without its offset it would hold VFO-A's, and stored without its
    // frequency (a blank channel reads as 0.00) VFO-A's frequency.
    QList<LeftOutChannel> leftOut;
    bool operator==(const RestorePlan&) const = default;
};

// Freq is the two-decimal frequency and the mask marker, Offset the signed offset.
[[nodiscard]] RowCells CellsFromSavedLine(const SavedLine& line);

// The values of `channel` that no command can send: a frequency outside the radio's digits
// (with the receive clarifier on, the VFO frequency under it), an offset beyond 9.99 kHz.
[[nodiscard]] QList<UnsendableValue> UnsendableValues(const Channel& channel);

// An empty saved row stays empty in the grid and nothing is written to its channel (writing
// it would store whatever VFO-A holds into the channel); a row with a value no command can
// send is left out too. A row without channel data keeps its comment.
[[nodiscard]] RestorePlan PlanRestore(ViewKind view, const std::vector<std::optional<SavedLine>>& lines);

// What a restore tells the operator about the channels it left out, a line each: a heading,
// then one line for each reason with its channels ("42: offset +12.50 cannot be sent to the
// radio", "78, 79: frequency 0.00 cannot be sent to the radio"). Empty when none were.
[[nodiscard]] QStringList LeftOutReport(const QList<LeftOutChannel>& leftOut);

}  // namespace vardo
