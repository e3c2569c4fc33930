// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The context menu of a grid row (a right click, the Menu key, Shift+F10): the actions the
// click rules allow on the row, each with the keys that do it without the menu; on the row
// picked for moving, the moving commands.

class QPoint;

namespace vardo {

class MemoryView;

// Opens the menu of grid row `row` (from 1) of `view` at `globalPos`; it goes when closed.
void ShowRowMenu(MemoryView& view, int row, const QPoint& globalPos);

}  // namespace vardo
