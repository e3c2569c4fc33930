// SPDX-License-Identifier: GPL-3.0-or-later
#include "readcomments.h"

#include "safefile.h"
#include "savedfileformat.h"
#include "savedfilenames.h"
#include "savedfileparse.h"
#include "savedfiletext.h"

namespace vardo {
namespace {

constexpr int kMostKeptPerSecond = 100;

// The older comma layout, converted line by line as the start-up upgrade does.
[[nodiscard]] QByteArray CurrentLayout(const QByteArray& bytes)
{
    QStringList lines = SplitSavedLines(DecodeSavedText(bytes));
    if (lines.isEmpty() || !IsOldLayout(lines.first()))
        return bytes;
    for (QString& line : lines)
        line = ConvertOldLine(line);
    return lines.join(QStringLiteral("\r\n")).toUtf8();
}

}  // namespace

CommentsForRead CommentsToKeep(const QString& dir, ViewKind view)
{
    CommentsForRead result;
    if (!ExactFileExists(dir, SavedFileName(view)))
        return result;
    const QString path = PathIn(dir, SavedFileName(view));
    const ReadResult old = ReadWholeFile(path);
    if (!old.ok()) {
        result.error = old.error;
        return result;
    }
    const QByteArray current = CurrentLayout(old.bytes);
    const SavedFileRows parsed = ParseSavedFile(current, view);
    if (!parsed.ok()) {
        result.problem = RefusalMessage(path, parsed);
        result.unreadable = old.bytes;
        return result;
    }
    result.comments = SavedComments(current);
    return result;
}

QString UnreadableFileName(ViewKind view, const QDateTime& when)
{
    return QStringLiteral("%1.unreadable-%2.txt")
        .arg(SavedFileStem(view), when.toString(QStringLiteral("yyyyMMdd-HHmmss")));
}

QString KeepUnreadable(const QString& dir, ViewKind view, const QByteArray& bytes, const QDateTime& when,
                       QString* error)
{
    const QString base = PathIn(dir, UnreadableFileName(view, when));
    for (int n = 1; n <= kMostKeptPerSecond; ++n) {
        const QString path = n == 1 ? base : QStringLiteral("%1-%2.txt").arg(base.chopped(4)).arg(n);
        if (NameTaken(path))
            continue;
        *error = WriteFileSafely(path, bytes);
        return error->isEmpty() ? path : QString();
    }
    *error = CouldNotWrite(base, QStringLiteral("too many files of that name"));
    return {};
}

}  // namespace vardo
