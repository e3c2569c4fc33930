// vardo-cli: probe, read, restore and upgrade without windows.

#include <cstdio>
#include <memory>

#include <QCoreApplication>
#include <QDir>

#include "clioptions.h"
#include "clisession.h"
#include "printcommand.h"
#include "portlist.h"
#include "serialtransport.h"
#include "simtransport.h"

namespace {

// The port name the in-process emulator answers on.
constexpr char kSimulatedPort[] = "simulated radio";

}  // namespace

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
    const QString dataDir =
        QDir(options.dataDir.isEmpty() ? QCoreApplication::applicationDirPath() : options.dataDir).absolutePath();

    TransportFactory factory = SerialTransport::factory();
    QStringList ports = options.ports.isEmpty() ? DefaultPortNames() : options.ports;
    if (options.simulate) {
        // The emulator with its demo memory, without the serial line's pace.
        auto radio = std::make_shared<sim::SimRadio>();
        radio->loadDemoImage();
        factory = sim::SimulatedPortFactory(radio, QString::fromLatin1(kSimulatedPort), factory, sim::Timing::Fast);
        ports.prepend(QString::fromLatin1(kSimulatedPort));
    }

    cli::CliSession session(options, factory, ports, dataDir);
    QObject::connect(&session, &cli::CliSession::done, &application, &QCoreApplication::exit, Qt::QueuedConnection);
    QMetaObject::invokeMethod(&session, &cli::CliSession::start, Qt::QueuedConnection);
    return QCoreApplication::exec();
}
