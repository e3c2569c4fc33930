// SPDX-License-Identifier: GPL-3.0-or-later
#include "printcommand.h"

#include <cstdio>

#include <QCommandLineParser>
#include <QDir>
#include <QGuiApplication>
#include <QPrinter>
#include <QTemporaryDir>

#include "clisession.h"
#include "launch.h"
#include "listing.h"
#include "listingprinter.h"
#include "messagetext.h"
#include "outputtarget.h"
#include "restoreplan.h"
#include "safefile.h"
#include "savedfilenames.h"
#include "savedfilestore.h"

namespace vardo::cli {
namespace {

constexpr char kPrintWord[] = "print";
constexpr char kPlatformVariable[] = "QT_QPA_PLATFORM";

[[nodiscard]] QCommandLineOption PdfOption()
{
    return QCommandLineOption(QStringLiteral("pdf"), QString(), QStringLiteral("FILE"));
}

// Options of vardo-cli that take a value: their value is not the command word.
[[nodiscard]] bool TakesValue(const QString& word)
{
    const QList<QCommandLineOption> options = LaunchOptions().all() << PdfOption();
    for (const QCommandLineOption& option : options) {
        if (!option.valueName().isEmpty() && word == QLatin1String("--") + option.names().constFirst())
            return true;
    }
    return false;
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

// Every PDF Qt finishes ends with this mark; a file without it was cut short.
constexpr char kPdfEnd[] = "%%EOF";

// A message box's line breaks become a terminal's.
[[nodiscard]] QString TerminalText(QString message)
{
    return message.replace(kMessageLineBreak, QLatin1Char('\n'));
}

// The PDF of `listing`, made in a scratch folder: Qt's PDF printer writes straight into its
// file and does not report a write that failed, so the bytes are checked and then put in
// place by the same safe write as a saved file. "" or the message.
[[nodiscard]] QString WritePdf(const Listing& listing, const QString& pdfPath)
{
    const QTemporaryDir scratch;
    if (!scratch.isValid())
        return CouldNotWrite(pdfPath, QStringLiteral("no scratch folder for the listing: %1").arg(scratch.errorString()));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(scratch.filePath(QStringLiteral("listing.pdf")));
    if (const std::optional<QString> failure = PrintListing(listing, printer))
        return TerminalText(*failure);
    const ReadResult made = ReadWholeFile(printer.outputFileName());
    if (!made.ok())
        return made.error;
    if (!made.bytes.trimmed().endsWith(kPdfEnd))
        return CouldNotWrite(pdfPath, QStringLiteral("the listing was cut short (is the temporary folder full?)"));
    return WriteFileSafely(pdfPath, made.bytes);
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

std::vector<RowCells> SavedListingRows(const QString& dataDir, ViewKind view, QString* problem)
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
    // The rows a Load would put into the view's table.
    return PlanRestore(view, loaded.rows).rows;
}

int RunPrintCommand(const QString& dataDir, ViewKind view, const QString& pdfPath)
{
    if (const QString refused = OutputTargetProblem(pdfPath, dataDir); !refused.isEmpty())
        return Fail(refused, kExitFailed);
    QString problem;
    const std::vector<RowCells> rows = SavedListingRows(dataDir, view, &problem);
    if (!problem.isEmpty())
        return Fail(TerminalText(problem), kExitFailed);
    if (const std::optional<QString> empty = NothingToPrint(rows, view))
        return Fail(*empty, kExitFailed);
    if (const QString failure = WritePdf(BuildListing(rows, view), pdfPath); !failure.isEmpty())
        return Fail(failure, kExitFailed);
    return kExitOk;
}

int RunPrintMain(int argc, char* argv[])
{
    ChooseHeadlessPlatform();
    QGuiApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vardo-cli"));

    QCommandLineParser parser;
    const LaunchOptions launch;
    const QCommandLineOption pdf = PdfOption();
    parser.addOptions(launch.all() << pdf);
    if (!parser.parse(QCoreApplication::arguments()))
        return Fail(parser.errorText() + QStringLiteral(" (try --help)"), kExitUsage);
    if (launch.emptyDataDir(parser))
        return Fail(QString::fromLatin1(kEmptyDataDir) + QStringLiteral(" (try --help)"), kExitUsage);

    const QStringList words = parser.positionalArguments();
    const std::optional<ViewKind> view = ViewFromName(words.value(1));
    if (words.size() != 2 || !view)
        return Fail(QStringLiteral("print needs one VIEW: %1 (try --help)").arg(QLatin1String(kViewNames)), kExitUsage);
    if (parser.value(pdf).isEmpty())
        return Fail(QStringLiteral("print needs --pdf FILE (try --help)"), kExitUsage);
    return RunPrintCommand(DataFolder(parser.value(launch.dataDir)), *view, QDir().absoluteFilePath(parser.value(pdf)));
}

}  // namespace vardo::cli
