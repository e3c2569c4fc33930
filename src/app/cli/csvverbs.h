#pragma once
// vardo-cli export VIEW --csv FILE and import VIEW --csv FILE: a view's saved file as CHIRP
// CSV and back. Each runs to its end and returns the exit status.

#include <QString>

#include "channelindex.h"

namespace vardo::cli {

// The view's saved file as CSV in `csvPath`, written whole or not at all.
int RunCsvExport(const QString& dataDir, ViewKind view, const QString& csvPath);

// The view's saved file made from the CSV in `csvPath`, through the save with backup. Rows
// the radio cannot hold are named on standard error and left out: the status is then
// kExitPartly, after the rest has been saved.
int RunCsvImport(const QString& dataDir, ViewKind view, const QString& csvPath);

}  // namespace vardo::cli
