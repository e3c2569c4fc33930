// SPDX-License-Identifier: GPL-3.0-or-later
// vardo-cli: probe, read, restore and upgrade without windows.

#include <cstdio>

#include <QCoreApplication>

#include "clioptions.h"
#include "clisession.h"
#include "interrupts.h"
#include "launch.h"
#include "portlist.h"
#include "printcommand.h"

int main(int argc, char* argv[])
{
    using namespace vardo;
    if (cli::IsPrintCommand(argc, argv))
        return cli::RunPrintMain(argc, argv);  // fonts and the PDF printer need a QGuiApplication
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vardo-cli"));

    const cli::CliOptions options = cli::ParseCliOptions(QCoreApplication::arguments());
    if (options.showHelp) {
        std::fputs(qUtf8Printable(cli::CliUsage()), stdout);
        return cli::kExitOk;
    }
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "vardo-cli: %s (try --help)\n", qUtf8Printable(options.error));
        return cli::kExitUsage;
    }
    if (options.showVersion) {
        std::fputs("vardo-cli " VARDO_VERSION "\n", stdout);
        return cli::kExitOk;
    }
    const QString dataDir = DataFolder(options.dataDir);
    if (const std::optional<QString> problem = CreateDataFolder(dataDir)) {
        std::fprintf(stderr, "vardo-cli: %s\n", qUtf8Printable(*problem));
        return cli::kExitFailed;
    }
    // The emulator, when asked for, answers without the serial line's pace.
    cli::CliSession session(options, RadioPorts(options.simulate, sim::Timing::Fast),
                            PortsToProbe(options.ports, options.simulate, DefaultPortNames()), dataDir);
    QObject::connect(&session, &cli::CliSession::done, &application, &QCoreApplication::exit, Qt::QueuedConnection);
    cli::InterruptNotifier interrupts;
    QString interruptError;
    if (!interrupts.install(&interruptError)) {
        std::fprintf(stderr, "vardo-cli: %s\n", qUtf8Printable(interruptError));
        return cli::kExitFailed;
    }
    QObject::connect(&interrupts, &cli::InterruptNotifier::interrupted, &session, &cli::CliSession::interrupt);
    QMetaObject::invokeMethod(&session, &cli::CliSession::start, Qt::QueuedConnection);
    return QCoreApplication::exec();
}
