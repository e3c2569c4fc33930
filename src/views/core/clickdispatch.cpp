// SPDX-License-Identifier: GPL-3.0-or-later
#include "clickdispatch.h"

#include <algorithm>

#include "channelrow.h"

namespace vardo {
namespace {

[[nodiscard]] bool IsSettingsColumn(int column) { return column >= Col82 && column <= ColRpt; }

// The first refusal that applies, or an empty text.
[[nodiscard]] QString FirstRefusal(const ClickInput& in)
{
    const bool qmb = IsQmbChannel(ChannelOfRow(in.view, in.row));
    const int c = in.column;
    if (c < ColMode && qmb)
        return QString::fromLatin1(Refusal::kQmbSort);
    if (c == ColMode && qmb)
        return QString::fromLatin1(Refusal::kQmbLoad);
    if (IsSettingsColumn(c) && qmb)
        return QString::fromLatin1(Refusal::kQmbEdit);
    if (c == ColMode && !in.hasData)
        return QString::fromLatin1(Refusal::kNoLoadData);
    if (c == ColMode && in.masked)
        return QString::fromLatin1(Refusal::kMaskedLoad);
    if (c < ColMode && !in.hasData)
        return QString::fromLatin1(Refusal::kNothingToSort);
    if (IsSettingsColumn(c) && !in.hasData)
        return QString::fromLatin1(Refusal::kNothingToEdit);
    return {};
}

}  // namespace

ClickOutcome DispatchClick(const ClickInput& in)
{
    if (in.busy || in.scanning)
        return {};
    if (in.scanMode)
        return {ClickAction::ScanPick, {}, 0};
    if (in.row < 1 || in.row > RowCount(in.view) || in.column < 0 || in.column > ColComment)
        return {};
    if (QString message = FirstRefusal(in); !message.isEmpty())
        return {ClickAction::Refuse, message, 0};
    if (in.column == ColMode)
        return {ClickAction::LoadVfoA, {}, RadioChannelNumber(ChannelOfRow(in.view, in.row))};
    // In sort mode a click on any other column of a row with data picks that row.
    const int column = in.sortMode ? ColLabel : in.column;
    if (column <= ColFreq)
        return in.hasData ? ClickOutcome{ClickAction::PickRow, {}, 0} : ClickOutcome{};
    if (IsSettingsColumn(column))
        return {ClickAction::OpenEditor, {}, 0};
    if (column == ColComment)
        return {ClickAction::EditComment, {}, 0};
    return {};
}

QList<OfferedAction> OfferedActions(ClickInput in)
{
    QList<OfferedAction> offered;
    for (int column : {int(ColLabel), int(ColMode), int(Col82), int(ColComment)}) {
        in.column = column;
        const ClickAction action = DispatchClick(in).action;
        const bool taken = std::any_of(offered.cbegin(), offered.cend(),
                                       [action](const OfferedAction& o) { return o.action == action; });
        const bool useless = action == ClickAction::Nothing || action == ClickAction::Refuse
            || (action == ClickAction::EditComment && !in.hasData);
        if (!taken && !useless)
            offered.append({action, column});
    }
    return offered;
}

}  // namespace vardo
