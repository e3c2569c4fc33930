// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// vardo-cli's command line: [--port NAME]... [--data-dir DIR] [--simulate] [--pacing MS]
// COMMAND [VIEW] [--no-verify] [--read-first] [--from N] [--csv FILE].

#include <QString>
#include <QStringList>

#include "channelindex.h"

namespace vardo::cli {

enum class Command { Probe, Read, Restore, Verify, Upgrade, Export, Import, History };

struct CliOptions {
    QStringList ports;     // replaces the system's port list when not empty
    QString dataDir;       // empty: the program's own directory
    bool simulate = false; // the emulator in-process, probed first
    Command command = Command::Probe;
    ViewKind view = ViewKind::All;
    QString csvPath;       // export and import: the CSV file
    bool readBack = true;  // restore: read every channel back and compare (off with --no-verify)
    bool readFirst = false; // restore: keep the channels about to be overwritten as a snapshot first
    int fromSnapshot = 0;   // restore and verify: snapshot N of the history (1 the newest); 0 the saved file
    int pacing = 5;        // ms the radio is asked to put between reply bytes
    bool showHelp = false;
    bool showVersion = false;
    QString error;         // one line for standard error when the command line is wrong

    bool operator==(const CliOptions&) const = default;
};

// `arguments` starts with the program name, as QCoreApplication::arguments() gives it.
[[nodiscard]] CliOptions ParseCliOptions(const QStringList& arguments);

[[nodiscard]] QString CliUsage();

inline constexpr char kEmptyDataDir[] = "--data-dir needs a folder name";

}  // namespace vardo::cli
