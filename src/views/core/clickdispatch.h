// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a click on a grid cell does, decided from the view, the cell and the view state alone.

#include <QList>
#include <QString>

#include "channelindex.h"

namespace vardo {

enum class ClickAction {
    Nothing,     // busy, scanning, or a click that has no action
    ScanPick,    // the scan set-up takes the click (range picking)
    Refuse,      // show `message`, focus to cmdLoad
    LoadVfoA,    // send the row's channel to VFO-A, focus to cmdExit
    PickRow,     // enter (or stay in) sort mode with this row selected
    OpenEditor,  // the channel editor on this row
    EditComment  // the comment box on this row
};

struct ClickInput {
    ViewKind view = ViewKind::All;
    int row = 0;          // grid row, 1-based
    int column = 0;       // 0..10
    bool hasData = false; // the row's Freq cell is not empty
    bool masked = false;
    bool busy = false;    // a long operation runs
    bool sortMode = false;
    bool scanMode = false;
    bool scanning = false;
};

struct ClickOutcome {
    ClickAction action = ClickAction::Nothing;
    QString message;      // the refusal text for Refuse
    int radioChannel = 0; // for LoadVfoA

    bool operator==(const ClickOutcome&) const = default;
};

[[nodiscard]] ClickOutcome DispatchClick(const ClickInput& in);

// An action a row offers besides its click (Enter on a cell, the row's context menu): what
// the click rules do on `column`, the first column of the row that does it.
struct OfferedAction {
    ClickAction action = ClickAction::Nothing;
    int column = 0;

    bool operator==(const OfferedAction&) const = default;
};

// The row actions the click rules allow on `in.row` (its column is ignored), one per kind, in
// column order; refusals and a comment on a row without data are left out.
[[nodiscard]] QList<OfferedAction> OfferedActions(ClickInput in);

// The refusal texts, in the order they are tested.
namespace Refusal {
inline constexpr char kQmbSort[] = "Quick Memory Banks cannot be sorted!";
inline constexpr char kQmbLoad[] = "Cannot load QMB memory channels into VFO-A!";
inline constexpr char kQmbEdit[] = "Quick Memory Banks cannot be edited!";
inline constexpr char kNoLoadData[] = "No memory channel data to load into VFO-A!";
inline constexpr char kMaskedLoad[] = "Cannot load masked memory channels into VFO-A!";
inline constexpr char kNothingToSort[] = "Nothing to sort!";
inline constexpr char kNothingToEdit[] = "Nothing to edit!";
}  // namespace Refusal

}  // namespace vardo
