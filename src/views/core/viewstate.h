// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The view state shared by all four views: one set for the whole program.

#include "channelindex.h"

namespace vardo {

struct ViewState {
    ViewKind current = ViewKind::All;  // the view whose option is set; decides the row filling
    bool SortMode = false;   // a row is picked for moving; Up/Down/Ok show
    // Set and cleared by the scan alone; the views read them to route grid clicks.
    bool ScanMode = false;   // a scan is being set up or runs; cleared by Esc
    bool Scanning = false;   // the scan loop runs; grid clicks are ignored

    bool operator==(const ViewState&) const = default;
};

}  // namespace vardo
