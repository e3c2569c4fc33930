#include "upgrade.h"

#include <QDir>
#include <QFile>

#include "channelindex.h"
#include "safefile.h"
#include "savedfileformat.h"
#include "savedfilenames.h"
#include "savedfiletext.h"

namespace vardo {
namespace {

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
    if (!IsOldLayout(lines.value(0)))
        return {};
    const int count = RowCount(view);
    if (lines.size() < count)
        return QStringLiteral("\"%1\" is in the old layout but has %2 of its %3 lines; it was left as it was.")
            .arg(QDir::toNativeSeparators(path))
            .arg(lines.size())
            .arg(count);
    QStringList converted;
    for (int i = 0; i < count; ++i)
        converted << ConvertOldLine(lines[i]);
    const QString tempPath = PathIn(dir, TempFileName());
    if (const QString e = WriteFileSafely(tempPath, EncodeSavedLines(converted)); !e.isEmpty())
        return e;
    if (const QString e = ReplaceFile(tempPath, path); !e.isEmpty()) {
        QFile::remove(tempPath);
        return e;
    }
    return {};
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
