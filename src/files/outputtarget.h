// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where an export (CSV) or a printed PDF may be written. Such a file is a promise like a save:
// it is written whole or not at all, and never into something that is not a plain file (a
// named pipe would block the writer, a device would take the bytes and keep nothing) nor over
// one of the program's own saved files, whose comments exist nowhere else.

#include <QString>

namespace vardo {

// "" when `path` may be written, otherwise the whole message, naming the file and why:
// it exists and is not a regular file (a named pipe, a device, a folder), or it is one of the
// saved files or backups in `dataDir`, compared as the file system sees them, so a link to
// one or another spelling of its path is refused too. Nothing is opened, so it never blocks.
[[nodiscard]] QString OutputTargetProblem(const QString& path, const QString& dataDir);

}  // namespace vardo
