// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a view window needs from the program around it: the shared state, the tables, the
// radio operations it starts itself, and the program-wide commands (switching, ending, help).

#include <functional>

#include "channelindex.h"

namespace vardo {

class BusyState;
class MemoryView;
class TableSteps;
class UnsavedViews;
class ViewFamily;
struct ViewState;

// The window of each view, for the commands that serve all four.
using ViewLookup = std::function<MemoryView&(ViewKind)>;

class ViewHost {
public:
    virtual ~ViewHost() = default;

    [[nodiscard]] virtual BusyState& busyState() = 0;
    [[nodiscard]] virtual ViewState& viewState() = 0;
    [[nodiscard]] virtual ViewFamily& family() = 0;
    // Undo and Redo over the tables; every change of a table that did not write the radio
    // goes through here as a step.
    [[nodiscard]] virtual TableSteps& tableSteps() = 0;
    // The rows of each view's last Save or Load.
    [[nodiscard]] virtual UnsavedViews& unsavedViews() = 0;

    // Reads the view's channel range from the radio into the tables.
    virtual void readChannels(ViewKind kind) = 0;
    // Copies radio channel `channel` into VFO-A.
    virtual void loadVfoA(int channel) = 0;
    // Ends a running scan at its next check.
    virtual void stopScan() = 0;

    // Hides `from` and makes `to` the current view (closing the editor first).
    virtual void switchView(ViewKind from, ViewKind to) = 0;
    // Records `kind` as the current view (the main window's option follows).
    virtual void setCurrentView(ViewKind kind) = 0;
    // Closes every window and ends the program; a close while busy waits for the operation,
    // and unsaved views are asked about first.
    virtual void closeAll() = 0;
    virtual void showHelp() = 0;
    virtual void showAbout() = 0;
};

}  // namespace vardo
