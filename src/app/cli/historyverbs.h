// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// vardo-cli's part of the history: the listing (vardo-cli history VIEW) and the snapshots a
// read or a restore keeps, whose failure is told but fails nothing.

#include <vector>

#include <QByteArray>
#include <QString>

#include "channelindex.h"
#include "history.h"

namespace vardo::cli {

// The view's snapshots, newest (1) first, a line each on standard output; the exit status.
int RunHistoryList(const QString& dataDir, ViewKind view);

// Keeps `rows` as the view's next snapshot; any problem is a line on standard error.
void KeepSnapshotTelling(const QString& dataDir, ViewKind view, SnapshotOperation operation,
                         const std::vector<RowCells>& rows, const QString& result = {});

}  // namespace vardo::cli
