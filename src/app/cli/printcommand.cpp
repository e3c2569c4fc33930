#include "printcommand.h"

#include <cstdio>

#include <QCommandLineParser>
#include <QDir>
#include <QGuiApplication>
#include <QPrinter>

#include "clisession.h"
#include "listing.h"
#include "listingprinter.h"
#include "restoreplan.h"
#include "safefile.h"
#include "savedfilenames.h"
#include "savedfilestore.h"

namespace vardo::cli {
namespace {

constexpr char kPrintWord[] = "print";
constexpr char kPlatformVariable[] = "QT_QPA_PLATFORM";

// Options of vardo-cli that take a value: their value is not the command word.
[[nodiscard]] bool TakesValue(const QString& option)
{
    return option == QLatin1String("--port") || option == QLatin1String("--data-dir")
           || option == QLatin1String("--pdf");
}

[[nodiscard]] bool ViewFromWord(const QString& word, ViewKind& view)
{
    const QStringList words{QStringLiteral("all"), QStringLiteral("99"), QStringLiteral("pms"), QStringLiteral("qmb")};
    const qsizetype at = words.indexOf(word);
    if (at < 0)
        return false;
    view = kAllViews[at];
    return true;
}

int Fail(const QString& line, int code)
{
    std::fprintf(stderr, "vardo-cli: %s\n", qUtf8Printable(line));
    return code;
}

// Printing needs a platform for its fonts; a headless machine has no display to offer one.
void ChooseHeadlessPlatform()
{
#if !defined(Q_OS_WIN) && !defined(Q_OS_MACOS)
    if (qEnvironmentVariableIsEmpty(kPlatformVariable) && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv(kPlatformVariable, "offscreen");
#endif
}

// The carriage returns of the program's messages become line breaks on a terminal.
[[nodiscard]] QString TerminalText(QString message)
{
    return message.replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

}  // namespace

bool IsPrintCommand(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QString word = QString::fromLocal8Bit(argv[i]);
        if (TakesValue(word))
            ++i;
        else if (!word.startsWith(QLatin1Char('-')))
            return word == QLatin1String(kPrintWord);
    }
    return false;
}

QList<QStringList> SavedListingRows(const QString& dataDir, ViewKind view, QString* problem)
{
    if (!ExactFileExists(dataDir, SavedFileName(view))) {
        *problem = QStringLiteral("Nothing to print: \"%1\" has never been saved.").arg(SavedFileName(view));
        return {};
    }
    const LoadResult loaded = LoadSavedFile(dataDir, view);
    if (!loaded.ok()) {
        *problem = loaded.message;
        return {};
    }
    const RestorePlan plan = PlanRestore(view, loaded.rows);
    QList<QStringList> rows;
    for (int row = 1; row <= static_cast<int>(plan.rows.size()); ++row) {
        QStringList cells{ChannelLabel(ChannelOfRow(view, row))};
        for (const QString& cell : plan.rows[static_cast<std::size_t>(row - 1)])
            cells << cell;
        rows << cells;
    }
    return rows;
}

int RunPrintCommand(const QString& dataDir, ViewKind view, const QString& pdfPath)
{
    QString problem;
    const QList<QStringList> rows = SavedListingRows(dataDir, view, &problem);
    if (!problem.isEmpty())
        return Fail(TerminalText(problem), kExitFailed);
    if (const std::optional<QString> empty = NothingToPrint(rows, view))
        return Fail(*empty, kExitFailed);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdfPath);
    if (const std::optional<QString> failure = PrintListing(BuildListing(rows, view), printer))
        return Fail(TerminalText(*failure), kExitFailed);
    return kExitOk;
}

int RunPrintMain(int argc, char* argv[])
{
    ChooseHeadlessPlatform();
    QGuiApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vardo-cli"));

    QCommandLineParser parser;
    const QCommandLineOption port(QStringLiteral("port"), QString(), QStringLiteral("NAME"));
    const QCommandLineOption dataDir(QStringLiteral("data-dir"), QString(), QStringLiteral("DIR"));
    const QCommandLineOption simulate(QStringLiteral("simulate"));
    const QCommandLineOption pdf(QStringLiteral("pdf"), QString(), QStringLiteral("FILE"));
    parser.addOptions({port, dataDir, simulate, pdf});
    if (!parser.parse(QCoreApplication::arguments()))
        return Fail(parser.errorText() + QStringLiteral(" (try --help)"), kExitUsage);

    const QStringList words = parser.positionalArguments();
    ViewKind view = ViewKind::All;
    if (words.size() != 2 || !ViewFromWord(words[1], view))
        return Fail(QStringLiteral("print needs one VIEW: all, 99, pms or qmb (try --help)"), kExitUsage);
    if (parser.value(pdf).isEmpty())
        return Fail(QStringLiteral("print needs --pdf FILE (try --help)"), kExitUsage);
    const QString folder =
        QDir(parser.value(dataDir).isEmpty() ? QCoreApplication::applicationDirPath() : parser.value(dataDir))
            .absolutePath();
    return RunPrintCommand(folder, view, QDir().absoluteFilePath(parser.value(pdf)));
}

}  // namespace vardo::cli
