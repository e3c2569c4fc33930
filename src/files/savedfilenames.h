// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The fixed file names of the saved memory files and their backups, and the texts the views
// show about them.

#include <QString>

#include "channelindex.h"

namespace vardo {

// "AllMem.txt", "99Mem.txt", "Pms.txt", "Qmb.txt".
[[nodiscard]] QString SavedFileName(ViewKind v);
// "AllMem", "99Mem", "Pms", "Qmb": what the names of a view's other files start with.
[[nodiscard]] QString SavedFileStem(ViewKind v);
// "AllMem.bak", "99Mem.bak", "Pms.bak", "Qmb.bak".
[[nodiscard]] QString BackupFileName(ViewKind v);

// Load's message when the view's file is not there.
[[nodiscard]] QString NeverSavedMessage(ViewKind v);

// Save's messages.
[[nodiscard]] QString NothingToSaveMessage();
[[nodiscard]] QString OverwriteQuestion();

// dir + "/" + name.
[[nodiscard]] QString PathIn(const QString& dir, const QString& name);

}  // namespace vardo
