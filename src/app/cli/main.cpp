// vardo-cli: probe, read, restore and upgrade without windows.

#include <cstdio>

#include <QCoreApplication>

#include "clioptions.h"
#include "clisession.h"
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
    // The emulator, when asked for, answers without the serial line's pace.
    cli::CliSession session(options, RadioPorts(options.simulate, sim::Timing::Fast),
                            PortsToProbe(options.ports, options.simulate, DefaultPortNames()),
                            DataFolder(options.dataDir));
    QObject::connect(&session, &cli::CliSession::done, &application, &QCoreApplication::exit, Qt::QueuedConnection);
    QMetaObject::invokeMethod(&session, &cli::CliSession::start, Qt::QueuedConnection);
    return QCoreApplication::exec();
}
