#pragma once
// The program's command line: --port NAME (repeatable), --data-dir DIR, --simulate.

#include <QStringList>

namespace vardo {

struct CommandLine {
    QStringList ports;    // replaces the system's port list when not empty
    QString dataDir;      // empty: the program's own directory
    bool simulate = false;
    bool showHelp = false;
    bool showVersion = false;
    QString error;        // a line for standard error; the program ends when not empty
    QString helpText;

    bool operator==(const CommandLine&) const = default;
};

// `arguments` includes the program name first, as QCoreApplication::arguments() gives it.
[[nodiscard]] CommandLine ParseCommandLine(const QStringList& arguments);

}  // namespace vardo
