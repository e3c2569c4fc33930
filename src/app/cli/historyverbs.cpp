// SPDX-License-Identifier: GPL-3.0-or-later
#include "historyverbs.h"

#include <cstdio>

#include <QDir>

#include "clisession.h"
#include "safefile.h"
#include "savedfilenames.h"
#include "terminal.h"

namespace vardo::cli {

int RunHistoryList(const QString& dataDir, ViewKind view)
{
    const QStringList lines = HistoryListing(dataDir, view);
    if (lines.isEmpty()) {
        PrintLine(stdout, QStringLiteral("No snapshot of these channels in %1")
                              .arg(QDir::toNativeSeparators(HistoryFolder(dataDir))));
        return kExitOk;
    }
    for (const QString& line : lines)
        PrintLine(stdout, line);
    return kExitOk;
}

void KeepSnapshotTelling(const QString& dataDir, ViewKind view, SnapshotOperation operation,
                         const std::vector<RowCells>& rows, const QString& result)
{
    for (const QString& problem : KeepRowsSnapshot(dataDir, view, operation, rows, result))
        PrintLine(stderr, "vardo-cli: " + OneLine(problem));
}

}  // namespace vardo::cli
