// SPDX-License-Identifier: GPL-3.0-or-later
#include "clioptions.h"

#include <QCommandLineParser>

#include "launch.h"

namespace vardo::cli {
namespace {

// Fills command and view from the positional arguments; false with options.error set.
bool TakeCommand(const QStringList& words, CliOptions& options)
{
    const QString command = words.value(0);
    const bool csv = command == QLatin1String("export") || command == QLatin1String("import");
    const bool needsView = csv || command == QLatin1String("read") || command == QLatin1String("restore")
        || command == QLatin1String("verify") || command == QLatin1String("history");
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
    options.command = command == QLatin1String("probe")     ? Command::Probe
                      : command == QLatin1String("read")    ? Command::Read
                      : command == QLatin1String("restore") ? Command::Restore
                      : command == QLatin1String("verify")  ? Command::Verify
                      : command == QLatin1String("export")  ? Command::Export
                      : command == QLatin1String("import")  ? Command::Import
                      : command == QLatin1String("history") ? Command::History
                                                            : Command::Upgrade;
    if (csv != !options.csvPath.isEmpty()) {
        options.error = csv ? command + " needs --csv FILE" : QStringLiteral("--csv is only for export and import");
        return false;
    }
    if (!options.readBack && options.command != Command::Restore) {
        options.error = QStringLiteral("--no-verify is only for restore");
        return false;
    }
    if (options.readFirst && options.command != Command::Restore) {
        options.error = QStringLiteral("--read-first is only for restore");
        return false;
    }
    if (options.fromSnapshot != 0 && options.command != Command::Restore && options.command != Command::Verify) {
        options.error = QStringLiteral("--from is only for restore and verify");
        return false;
    }
    return true;
}

// --from N: a whole number from 1, as the history listing numbers its snapshots.
bool TakeSnapshotNumber(const QString& text, CliOptions& options)
{
    bool number = false;
    const int n = text.toInt(&number);
    if (!number || n < 1 || text.trimmed() != text) {
        options.error = QStringLiteral("--from takes a snapshot number from 1, as vardo-cli history VIEW lists them");
        return false;
    }
    options.fromSnapshot = n;
    return true;
}

}  // namespace

QString CliUsage()
{
    return QStringLiteral(
        "Usage: vardo-cli [--port NAME]... [--data-dir DIR] [--simulate] [--pacing MS] COMMAND\n"
        "Commands:\n"
        "  probe          find the FT-1000MP and print the port it answered on\n"
        "  read VIEW      read the view's channels and save them to its file (the old file\n"
        "                 becomes the backup; its comments are kept)\n"
        "  restore VIEW [--no-verify] [--read-first] [--from N]\n"
        "                 write the view's saved file into the radio, reading every channel\n"
        "                 back; channels the radio does not hold as written, and channels with a\n"
        "                 value no command can send (left as they are), are named (status 3).\n"
        "                 --no-verify sends the commands alone, without the read-back;\n"
        "                 --read-first keeps the view's channels as a snapshot before writing;\n"
        "                 --from N writes snapshot N of the history instead of the saved file\n"
        "  verify VIEW [--from N]\n"
        "                 compare the radio's channels with the view's saved file (or snapshot\n"
        "                 N), writing nothing: a line for each channel that differs (status 3);\n"
        "                 channels on another antenna, which no command sets, are counted apart\n"
        "  history VIEW   list the view's snapshots, newest (1) first: every read, restore and\n"
        "                 Load keeps one in the data folder's history folder, 200 per view\n"
        "  upgrade        convert saved files of the older layout\n"
        "  print VIEW --pdf FILE\n"
        "                 the view's saved file as a printed listing, into a PDF\n"
        "  export VIEW --csv FILE\n"
        "                 the view's saved file as CSV in CHIRP's layout\n"
        "  import VIEW --csv FILE\n"
        "                 the view's saved file made from such a CSV (the old file becomes the\n"
        "                 backup); rows the radio cannot hold are named and left out (status 3)\n"
        "VIEW is all, 99, pms or qmb.\n"
        "Options:\n"
        "  --port NAME    probe this port (repeatable) instead of the system's ports\n"
        "  --data-dir DIR where the saved files are (default: the user's data folder\n"
        "                 once installed, else the program's folder)\n"
        "  --simulate     use the built-in radio emulator, probed first\n"
        "  --pacing MS    ask the radio for MS milliseconds between reply bytes (0-255,\n"
        "                 default 5; 0 is fastest)\n"
        "  -h, --help     print this help\n"
        "  --version      print the program's version\n");
}

CliOptions ParseCliOptions(const QStringList& arguments)
{
    QCommandLineParser parser;
    const LaunchOptions launch;
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    const QCommandLineOption csv(QStringLiteral("csv"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption noVerify(QStringLiteral("no-verify"));
    const QCommandLineOption readFirst(QStringLiteral("read-first"));
    const QCommandLineOption from(QStringLiteral("from"), QString(), QStringLiteral("N"));
    parser.addOptions(launch.all());
    parser.addOptions({help, version, csv, noVerify, readFirst, from});

    CliOptions options;
    if (!parser.parse(arguments)) {
        options.error = parser.errorText();
        return options;
    }
    if (parser.isSet(help) || parser.isSet(version)) {
        options.showHelp = parser.isSet(help);
        options.showVersion = !options.showHelp;
        return options;
    }
    if (launch.emptyDataDir(parser)) {
        options.error = QString::fromLatin1(kEmptyDataDir);
        return options;
    }
    options.ports = parser.values(launch.port);
    options.dataDir = parser.value(launch.dataDir);
    options.simulate = parser.isSet(launch.simulate);
    options.csvPath = parser.value(csv);
    options.readBack = !parser.isSet(noVerify);
    options.readFirst = parser.isSet(readFirst);
    if (parser.isSet(from) && !TakeSnapshotNumber(parser.value(from), options))
        return options;
    const std::optional<int> pacing = launch.pacingValue(parser, &options.error);
    if (!pacing)
        return options;
    options.pacing = *pacing;
    TakeCommand(parser.positionalArguments(), options);
    return options;
}

}  // namespace vardo::cli
