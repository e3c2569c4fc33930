// SPDX-License-Identifier: GPL-3.0-or-later
#include "upgrade.h"

#include <QDir>

#include "channelindex.h"
#include "safefile.h"
#include "savedfileformat.h"
#include "savedfilenames.h"
#include "savedfiletext.h"

namespace vardo {
namespace {

// The first `count` lines with their first nine commas made colons, each ended by CR LF; every
// other byte as it was, so a comment keeps its code page. Commas and colons are one byte in
// Windows-1252 and UTF-8 alike, so the lines are converted as bytes (Latin-1 maps each byte to
// one character and back).
[[nodiscard]] QByteArray ConvertedBytes(const QByteArray& bytes, int count)
{
    const QStringList lines = SplitSavedLines(QString::fromLatin1(bytes));
    QString converted;
    for (int i = 0; i < count; ++i)
        converted += ConvertOldLine(lines.value(i)) + QStringLiteral("\r\n");
    return converted.toLatin1();
}

// "" when the file is converted or needs nothing; otherwise why it was left as it was.
[[nodiscard]] QString UpgradeOne(const QString& dir, ViewKind view)
{
    const QString name = SavedFileName(view);
    if (!ExactFileExists(dir, name))
        return {};
    const QString path = PathIn(dir, name);
    const ReadResult read = ReadWholeFile(path);
    if (!read.ok())
        return read.error;
    const QStringList lines = SplitSavedLines(DecodeSavedText(read.bytes));
    // An empty file has no layout: nothing to convert.
    if (lines.isEmpty() || !IsOldLayout(lines.first()))
        return {};
    const int count = RowCount(view);
    if (lines.size() < count)
        return QStringLiteral("\"%1\" is in the old layout but has %2 of its %3 lines; it was left as it was.")
            .arg(QDir::toNativeSeparators(path))
            .arg(lines.size())
            .arg(count);
    // Written beside the file under the program's own scratch name, then renamed over it.
    return WriteFileSafely(path, ConvertedBytes(read.bytes, count));
}

}  // namespace

QStringList UpgradeSavedFiles(const QString& dataDir)
{
    QStringList problems;
    for (ViewKind view : kAllViews) {
        if (const QString p = UpgradeOne(dataDir, view); !p.isEmpty())
            problems << p;
    }
    return problems;
}

QStringList PrepareSavedFiles(const QString& dataDir)
{
    return RemoveStraySaveTemporaries(dataDir) + UpgradeSavedFiles(dataDir);
}

}  // namespace vardo
