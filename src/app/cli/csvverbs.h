// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// vardo-cli export VIEW --csv FILE and import VIEW --csv FILE: a view's saved file as CHIRP
// CSV and back. Each runs to its end and returns the exit status.

#include <QString>

#include "channelindex.h"

namespace vardo::cli {

// The view's saved file as CSV in `csvPath`, written whole or not at all, never into anything
// but a plain file that is not one of the program's own. A channel with a comment but no
// frequency (or with no mode CHIRP knows) has no row: each is named on standard error and the
// status is kExitPartly.
int RunCsvExport(const QString& dataDir, ViewKind view, const QString& csvPath);

// The CSV's rows replace the channels at their locations in the view's saved file (through the
// save with backup); every other line stays as it was. Rows the radio cannot hold, and values
// taken otherwise than the CSV gives them, are named on standard error: the status is then
// kExitPartly, after saving. An import that takes no row writes nothing and fails.
int RunCsvImport(const QString& dataDir, ViewKind view, const QString& csvPath);

}  // namespace vardo::cli
