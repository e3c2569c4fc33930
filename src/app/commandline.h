// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's command line: --port NAME (repeatable), --data-dir DIR, --simulate,
// --pacing MS. The port, --simulate and --pacing override the remembered connection for the run.

#include <QStringList>

#include "catframe.h"
#include "connection.h"

namespace vardo {

struct CommandLine {
    QStringList ports;    // replaces the system's port list when not empty
    QString dataDir;      // empty: the program's own directory
    bool simulate = false;
    int pacing = Cat::kPacing;  // ms the radio is asked for between the bytes of a reply
    bool pacingGiven = false;   // --pacing was there
    bool showHelp = false;
    bool showVersion = false;
    QString error;        // a line for standard error; the program ends when not empty
    QString helpText;

    bool operator==(const CommandLine&) const = default;
};

// `arguments` includes the program name first, as QCoreApplication::arguments() gives it.
[[nodiscard]] CommandLine ParseCommandLine(const QStringList& arguments);

// The connection of this run: `stored` with what the command line names instead.
[[nodiscard]] Connection ConnectionForRun(const CommandLine& line, const Connection& stored);

}  // namespace vardo
