// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What tells the four views apart: names, caption, grid geometry and which controls exist.

#include <array>

#include "channelindex.h"

namespace vardo {

struct ViewDescriptor {
    ViewKind kind;
    const char* objectName;   // "frmAll" ...
    const char* caption;      // the window caption
    const char* optionName;   // its own option button, "optAll" ...
    const char* optionText;   // "All Memories" ...
    int gridTwips;            // grid width
    int commentTwips;         // Comments column width
    bool moveButtons;         // cmdUp, cmdDown, cmdOK
    bool scanControls;        // cmdScan, txtScan, lblScan, lblEscape
};

[[nodiscard]] const ViewDescriptor& Descriptor(ViewKind kind);

// Column widths of Ch# .. RPT in twips; the Comments width comes from the descriptor.
inline constexpr std::array<int, 10> kColumnTwips{400, 900, 950, 850, 850, 600, 600, 600, 600, 550};

[[nodiscard]] int ColumnTwips(ViewKind kind, int column);

}  // namespace vardo
