// SPDX-License-Identifier: GPL-3.0-or-later
#include "commandline.h"

#include <QCommandLineParser>

#include "launch.h"

namespace vardo {

CommandLine ParseCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Manages the memory channels of a Yaesu FT-1000MP over its CAT serial link."));
    const LaunchOptions options;
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addOptions(options.all());

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
    line.ports = parser.values(options.port);
    line.dataDir = parser.value(options.dataDir);
    line.simulate = parser.isSet(options.simulate);
    line.showHelp = parser.isSet(help);
    line.showVersion = parser.isSet(version);
    if (options.emptyDataDir(parser)) {
        line.error = QStringLiteral("--data-dir needs a folder name.");
        return line;
    }
    if (const std::optional<int> pacing = options.pacingValue(parser, &line.error))
        line.pacing = *pacing;
    line.pacingGiven = parser.isSet(options.pacing);
    return line;
}

Connection ConnectionForRun(const CommandLine& line, const Connection& stored)
{
    Connection run = stored;
    if (!line.ports.isEmpty())
        run.ports = line.ports;
    if (line.pacingGiven)
        run.pacing = line.pacing;
    run.simulate = line.simulate;
    return run;
}

}  // namespace vardo
