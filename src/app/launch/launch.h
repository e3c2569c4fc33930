// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What vardo and vardo-cli share at start-up: the options both take (--port, --data-dir,
// --simulate), the view names of the command line, the data folder, the ports to probe in
// order and the ports themselves, with the emulator in front of them on request.

#include <optional>

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QStringList>

#include "channelindex.h"
#include "simtransport.h"
#include "transport.h"

namespace vardo {

// Port name of the emulated radio that --simulate probes first.
inline constexpr char kSimulatedPort[] = "simulated radio";
// How the command line names the views, for its messages.
inline constexpr char kViewNames[] = "all, 99, pms or qmb";

// --port NAME (repeatable), --data-dir DIR, --simulate and --pacing MS, declared once for every
// program.
struct LaunchOptions {
    QCommandLineOption port{QStringLiteral("port"),
                            QStringLiteral("Look for the radio on this serial port (repeatable; "
                                           "replaces the ports the system lists)."),
                            QStringLiteral("NAME")};
    QCommandLineOption dataDir{QStringLiteral("data-dir"),
                               QStringLiteral("Keep the saved memory files in this folder (default: "
                                              "the user's data folder once installed, else the "
                                              "program's folder)."),
                               QStringLiteral("DIR")};
    QCommandLineOption simulate{QStringLiteral("simulate"),
                                QStringLiteral("Run on the built-in radio emulator, tried first.")};
    QCommandLineOption pacing{QStringLiteral("pacing"),
                              QStringLiteral("Ask the radio for MS milliseconds between the bytes of a reply "
                                             "(0-255, default 5)."),
                              QStringLiteral("MS")};

    [[nodiscard]] QList<QCommandLineOption> all() const { return {port, dataDir, simulate, pacing}; }
    // The --pacing value, the default without it; none with `error` set for anything but 0..255.
    [[nodiscard]] std::optional<int> pacingValue(const QCommandLineParser& parser, QString* error) const;
    // An empty --data-dir would quietly mean the default folder; the programs refuse it.
    [[nodiscard]] bool emptyDataDir(const QCommandLineParser& parser) const
    {
        return parser.isSet(dataDir) && parser.value(dataDir).isEmpty();
    }
};

// The view a command-line word names ("all", "99", "pms", "qmb"); none for any other word.
[[nodiscard]] std::optional<ViewKind> ViewFromName(const QString& name);

// The folder of the saved files as an absolute path: `chosen` (--data-dir); else the program's
// own folder when it runs from its build tree, as it always has; else, installed, where that
// folder is not writable, the user's data folder (the same one for vardo and vardo-cli).
[[nodiscard]] QString DataFolder(const QString& chosen);

// Why the saved files are in `folder` (a DataFolder() result), for the About box.
[[nodiscard]] QString DataFolderReason(const QString& folder);

// Makes the data folder when it is missing; the line for the operator when it cannot.
[[nodiscard]] std::optional<QString> CreateDataFolder(const QString& folder);

// The ports to probe, in order: the emulator first with --simulate, then the named ports or,
// without --port, `systemPorts`.
[[nodiscard]] QStringList PortsToProbe(const QStringList& named, bool simulate, const QStringList& systemPorts);

// The serial ports and serial-to-network servers ("tcp://HOST:PORT"); with `simulate`, the
// emulator with its demo memory answers on kSimulatedPort in front of them.
[[nodiscard]] TransportFactory RadioPorts(bool simulate, sim::Timing timing);

}  // namespace vardo
