#include "commandline.h"

#include <QCommandLineParser>

namespace vardo {

CommandLine ParseCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Manages the memory channels of a Yaesu FT-1000MP over its CAT serial link."));
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("Look for the radio on this serial port (repeatable; "
                                                 "replaces the ports the system lists)."),
                                  QStringLiteral("NAME"));
    const QCommandLineOption dataDir(QStringLiteral("data-dir"),
                                     QStringLiteral("Keep the saved memory files in this folder "
                                                    "(default: the program's folder)."),
                                     QStringLiteral("DIR"));
    const QCommandLineOption simulate(QStringLiteral("simulate"),
                                      QStringLiteral("Run on the built-in radio emulator, tried first."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addOptions({port, dataDir, simulate});

    CommandLine line;
    // Help is answered before the application object exists, so name the program here.
    line.helpText = parser.helpText().replace(QStringLiteral("<executable_name>"), QStringLiteral("vardo"));
    if (!parser.parse(arguments)) {
        line.error = parser.errorText();
        return line;
    }
    if (!parser.positionalArguments().isEmpty()) {
        line.error = QStringLiteral("Unexpected argument: %1").arg(parser.positionalArguments().constFirst());
        return line;
    }
    line.ports = parser.values(port);
    line.dataDir = parser.value(dataDir);
    line.simulate = parser.isSet(simulate);
    line.showHelp = parser.isSet(help);
    line.showVersion = parser.isSet(version);
    if (parser.isSet(dataDir) && line.dataDir.isEmpty())
        line.error = QStringLiteral("--data-dir needs a folder name.");
    return line;
}

QStringList PortsToProbe(const CommandLine& line, const QStringList& systemPorts)
{
    QStringList ports = line.ports.isEmpty() ? systemPorts : line.ports;
    if (line.simulate)
        ports.prepend(QString::fromLatin1(kSimulatedPort));
    return ports;
}

}  // namespace vardo
