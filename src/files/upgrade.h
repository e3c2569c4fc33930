// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The start-up conversion of saved files still in the old layout ("," between the fields).

#include <QString>
#include <QStringList>

namespace vardo {

// Converts "AllMem.txt", "99Mem.txt", "Pms.txt" and "Qmb.txt" in `dataDir`, in that order,
// when their first line is in the old layout: exactly the view's line count, written beside
// the file under the program's own scratch name and put in its place in one step, the
// comments' bytes as they were. A file with no line to convert is not touched. A file too short for its line
// count, or one that cannot be read or replaced, is left as it was. Returns one message per
// file left unconverted for such a reason (start-up shows none; the command line prints them).
QStringList UpgradeSavedFiles(const QString& dataDir);

// The start-up step: removes what an interrupted save or upgrade left behind (see
// RemoveStraySaveTemporaries), then UpgradeSavedFiles. Returns the problems of both.
QStringList PrepareSavedFiles(const QString& dataDir);

}  // namespace vardo
