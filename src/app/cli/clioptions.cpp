#include "clioptions.h"

#include <QCommandLineParser>

#include "launch.h"

namespace vardo::cli {
namespace {

// Fills command and view from the positional arguments; false with options.error set.
bool TakeCommand(const QStringList& words, CliOptions& options)
{
    const QString command = words.value(0);
    const bool needsView = command == QLatin1String("read") || command == QLatin1String("restore");
    const bool plain = command == QLatin1String("probe") || command == QLatin1String("upgrade");
    if (!needsView && !plain) {
        options.error = command.isEmpty() ? QStringLiteral("no command given") : "unknown command \"" + command + "\"";
        return false;
    }
    const qsizetype wanted = needsView ? 2 : 1;
    if (words.size() != wanted) {
        options.error = needsView ? command + " needs one VIEW: " + kViewNames
                                  : command + " takes no further arguments";
        return false;
    }
    const std::optional<ViewKind> view = ViewFromName(words.value(1));
    if (needsView && !view) {
        options.error = "unknown VIEW \"" + words[1] + "\": use " + kViewNames;
        return false;
    }
    options.view = view.value_or(ViewKind::All);
    options.command = command == QLatin1String("probe")  ? Command::Probe
                      : command == QLatin1String("read") ? Command::Read
                      : command == QLatin1String("restore") ? Command::Restore
                                                             : Command::Upgrade;
    return true;
}

}  // namespace

QString CliUsage()
{
    return QStringLiteral(
        "Usage: vardo-cli [--port NAME]... [--data-dir DIR] [--simulate] COMMAND\n"
        "Commands:\n"
        "  probe          find the FT-1000MP and print the port it answered on\n"
        "  read VIEW      read the view's channels and save them to its file (the old file\n"
        "                 becomes the backup; its comments are kept)\n"
        "  restore VIEW   write the view's saved file into the radio\n"
        "  upgrade        convert saved files of the older layout\n"
        "  print VIEW --pdf FILE\n"
        "                 the view's saved file as a printed listing, into a PDF\n"
        "VIEW is all, 99, pms or qmb.\n"
        "Options:\n"
        "  --port NAME    probe this port (repeatable) instead of the system's ports\n"
        "  --data-dir DIR where the saved files are (default: the program's folder)\n"
        "  --simulate     use the built-in radio emulator, probed first\n");
}

CliOptions ParseCliOptions(const QStringList& arguments)
{
    QCommandLineParser parser;
    const LaunchOptions launch;
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    parser.addOptions(launch.all());
    parser.addOption(help);

    CliOptions options;
    if (!parser.parse(arguments)) {
        options.error = parser.errorText();
        return options;
    }
    if (parser.isSet(help)) {
        options.showHelp = true;
        return options;
    }
    options.ports = parser.values(launch.port);
    options.dataDir = parser.value(launch.dataDir);
    options.simulate = parser.isSet(launch.simulate);
    TakeCommand(parser.positionalArguments(), options);
    return options;
}

}  // namespace vardo::cli
