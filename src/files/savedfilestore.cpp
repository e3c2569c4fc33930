// SPDX-License-Identifier: GPL-3.0-or-later
#include "savedfilestore.h"

#include <QFile>
#include <QStringList>

#include "safefile.h"
#include "savedfilenames.h"
#include "savedfileparse.h"
#include "savedfiletext.h"

namespace vardo {
namespace {

const QString kUnchanged = QStringLiteral(" The saved file and its backup are as they were.");

[[nodiscard]] SaveResult Failed(const QString& message)
{
    return {SaveOutcome::Failed, message};
}

// The backup as it was before this save, so that a late failure can put it back.
struct PreviousBackup {
    bool existed = false;
    std::optional<QByteArray> bytes;  // nullopt when it existed but could not be read
};

[[nodiscard]] PreviousBackup ReadPreviousBackup(const QString& dir, const QString& name)
{
    PreviousBackup previous;
    previous.existed = ExactFileExists(dir, name);
    if (previous.existed) {
        const ReadResult read = ReadWholeFile(PathIn(dir, name));
        if (read.ok())
            previous.bytes = read.bytes;
    }
    return previous;
}

// After the new backup is in place but the saved file could not be replaced.
[[nodiscard]] bool PutBackupBack(const QString& path, const PreviousBackup& previous)
{
    if (!previous.existed)
        return QFile::remove(path);
    return previous.bytes && WriteFileSafely(path, *previous.bytes).isEmpty();
}

}  // namespace

QByteArray SavedFileBytes(ViewKind view, const std::vector<RowCells>& rows)
{
    QStringList lines;
    lines.reserve(static_cast<qsizetype>(rows.size()));
    for (const RowCells& row : rows)
        lines << SavedLineFromCells(row, KeepsMaskMark(view));
    return EncodeSavedLines(lines);
}

SaveResult SaveWithBackup(const QString& dir, ViewKind view, const QByteArray& content,
                          const OverwriteQuestionFn& overwrite)
{
    const QString txtPath = PathIn(dir, SavedFileName(view));
    const QString bakPath = PathIn(dir, BackupFileName(view));
    const bool exists = ExactFileExists(dir, SavedFileName(view));
    if (exists && !overwrite())
        return {SaveOutcome::Declined, {}};

    ReadResult old;
    PreviousBackup previous;
    if (exists) {
        old = ReadWholeFile(txtPath);
        if (!old.ok())
            return Failed(old.error + kUnchanged);
        previous = ReadPreviousBackup(dir, BackupFileName(view));
    }
    PendingFile txt(txtPath);
    if (const QString e = txt.write(content); !e.isEmpty())
        return Failed(e + kUnchanged);
    if (exists) {
        PendingFile bak(bakPath);
        QString e = bak.write(old.bytes);
        if (e.isEmpty())
            e = bak.commit();
        if (!e.isEmpty())
            return Failed(e + kUnchanged);
    }
    if (const QString e = txt.commit(); !e.isEmpty()) {
        if (!exists || PutBackupBack(bakPath, previous))
            return Failed(e + kUnchanged);
        return Failed(e + QStringLiteral(" The saved file is as it was; its backup now holds the same."));
    }
    return {SaveOutcome::Saved, {}};
}

LoadResult LoadSavedFile(const QString& dir, ViewKind view)
{
    LoadResult result;
    if (!ExactFileExists(dir, SavedFileName(view))) {
        result.message = NeverSavedMessage(view);
        return result;
    }
    return LoadSavedFileAt(PathIn(dir, SavedFileName(view)), view);
}

LoadResult LoadSavedFileAt(const QString& path, ViewKind view)
{
    LoadResult result;
    const ReadResult read = ReadWholeFile(path);
    if (!read.ok()) {
        result.message = read.error;
        return result;
    }
    SavedFileRows parsed = ParseSavedFile(read.bytes, view);
    if (!parsed.ok()) {
        result.message = RefusalMessage(path, parsed);
        return result;
    }
    result.rows = std::move(parsed.rows);
    return result;
}

}  // namespace vardo
