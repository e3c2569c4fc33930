// SPDX-License-Identifier: GPL-3.0-or-later
#include "csvverbs.h"

#include <cstdio>

#include <QDir>

#include "chirpcsv.h"
#include "clisession.h"
#include "outputtarget.h"
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

// What an import merges into: the saved file's bytes ("" when there is none yet), or why a
// file that is there cannot be the base (its channels would be lost).
struct ImportBase {
    QByteArray bytes;
    QString problem;
};

[[nodiscard]] ImportBase ReadImportBase(const QString& dataDir, ViewKind view)
{
    if (!ExactFileExists(dataDir, SavedFileName(view)))
        return {};
    const LoadResult loaded = LoadSavedFile(dataDir, view);
    if (!loaded.ok())
        return {{}, loaded.message};
    const ReadResult read = ReadWholeFile(PathIn(dataDir, SavedFileName(view)));
    return {read.bytes, read.error};
}

}  // namespace

int RunCsvExport(const QString& dataDir, ViewKind view, const QString& csvPath)
{
    if (const QString problem = OutputTargetProblem(csvPath, dataDir); !problem.isEmpty())
        return Say(stderr, problem, kExitFailed);
    const LoadResult loaded = LoadSavedFile(dataDir, view);
    if (!loaded.ok())
        return Say(stderr, loaded.message, kExitFailed);
    const CsvExport csv = ChirpCsvFromRows(view, PlanRestore(view, loaded.rows).rows);
    if (const QString failure = WriteFileSafely(csvPath, csv.bytes); !failure.isEmpty())
        return Say(stderr, failure, kExitFailed);
    Say(stdout, QStringLiteral("%1 channels exported to %2").arg(csv.rows).arg(Native(csvPath)), kExitOk);
    for (const QString& channel : csv.leftOut)
        Say(stderr, QStringLiteral("%1, so %2 has no row for it")
                        .arg(channel, Native(csvPath)), kExitOk);
    return csv.leftOut.isEmpty() ? kExitOk : kExitPartly;
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
    const QString savedPath = Native(PathIn(dataDir, SavedFileName(view)));
    const ImportBase base = ReadImportBase(dataDir, view);
    if (!base.problem.isEmpty())
        return Say(stderr,
                   QStringLiteral("%1 Nothing was imported; %2 was left as it was.").arg(base.problem, savedPath),
                   kExitFailed);
    for (const QString& line : imported.leftOut)
        Say(stderr, QStringLiteral("%1 %2, left out").arg(Native(csvPath), line), kExitOk);
    if (imported.taken.empty())
        return Say(stderr, QStringLiteral("nothing imported; %1 was left as it was").arg(savedPath), kExitFailed);
    for (const QString& line : imported.notes)
        Say(stderr, QStringLiteral("%1 %2").arg(Native(csvPath), line), kExitOk);
    const QByteArray merged = SavedFileWithImport(view, base.bytes, imported);
    // A file that already holds every row keeps its backup: a save would make it a copy.
    const bool unchanged = merged == base.bytes;
    if (!unchanged) {
        const SaveResult saved = SaveWithBackup(dataDir, view, merged, [] { return true; });
        if (saved.outcome != SaveOutcome::Saved)
            return Say(stderr, saved.message, kExitFailed);
    }
    Say(stdout, QStringLiteral("%1 channels imported into %2%3")
                    .arg(imported.taken.size())
                    .arg(savedPath, unchanged ? QStringLiteral(", which already held them") : QString()),
        kExitOk);
    return imported.leftOut.isEmpty() && imported.notes.isEmpty() ? kExitOk : kExitPartly;
}

}  // namespace vardo::cli
