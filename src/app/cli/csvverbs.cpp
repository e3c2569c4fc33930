#include "csvverbs.h"

#include <cstdio>

#include <QDir>

#include "chirpcsv.h"
#include "clisession.h"
#include "restoreplan.h"
#include "safefile.h"
#include "savedfilenames.h"
#include "savedfilestore.h"
#include "terminal.h"

namespace vardo::cli {
namespace {

// Prints one line (standard error's with the program's name) and gives back `status`.
int Say(std::FILE* stream, const QString& line, int status)
{
    PrintLine(stream, stream == stderr ? "vardo-cli: " + OneLine(line) : line);
    return status;
}

[[nodiscard]] QString Native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

}  // namespace

int RunCsvExport(const QString& dataDir, ViewKind view, const QString& csvPath)
{
    const LoadResult loaded = LoadSavedFile(dataDir, view);
    if (!loaded.ok())
        return Say(stderr, loaded.message, kExitFailed);
    const std::vector<RowCells> rows = PlanRestore(view, loaded.rows).rows;
    const QString failure = WriteFileSafely(csvPath, ChirpCsvFromRows(view, rows));
    if (!failure.isEmpty())
        return Say(stderr, failure, kExitFailed);
    const auto exported = std::count_if(rows.begin(), rows.end(),
                                        [](const RowCells& r) { return !r[CellIndex(ColFreq)].trimmed().isEmpty(); });
    return Say(stdout, QStringLiteral("%1 channels exported to %2").arg(exported).arg(Native(csvPath)), kExitOk);
}

int RunCsvImport(const QString& dataDir, ViewKind view, const QString& csvPath)
{
    const ReadResult read = ReadWholeFile(csvPath);
    if (!read.ok())
        return Say(stderr, read.error, kExitFailed);
    const CsvImport imported = RowsFromChirpCsv(view, read.bytes);
    if (!imported.ok())
        return Say(stderr, QStringLiteral("%1 is not a CHIRP CSV file: %2. Nothing was written.")
                               .arg(Native(csvPath), imported.refusal), kExitFailed);
    for (const QString& line : imported.leftOut)
        Say(stderr, QStringLiteral("%1 %2, left out").arg(Native(csvPath), line), kExitOk);
    const SaveResult saved = SaveWithBackup(dataDir, view, SavedFileBytes(view, imported.rows), [] { return true; });
    if (saved.outcome != SaveOutcome::Saved)
        return Say(stderr, saved.message, kExitFailed);
    Say(stdout, QStringLiteral("%1 channels imported into %2").arg(imported.taken).arg(Native(PathIn(dataDir, SavedFileName(view)))),
        kExitOk);
    return imported.leftOut.isEmpty() ? kExitOk : kExitPartly;
}

}  // namespace vardo::cli
