// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The editor's heading (lblChanges) for the row it was opened on.

#include <optional>

#include <QString>

#include "channelindex.h"

namespace vardo {

// " Enter changes desired for Memory Channel 12: " or "... PMS Memory Channel P4: "; none for
// a row the editor never opens on (the Quick Memory Banks).
[[nodiscard]] std::optional<QString> EditorCaption(ViewKind view, int row);

}  // namespace vardo
