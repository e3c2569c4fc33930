#include "savedfileparse.h"

#include <QDir>

#include "savedfiletext.h"

namespace vardo {

SavedFileRows ParseSavedFile(const QByteArray& bytes, ViewKind view)
{
    const QStringList lines = SplitSavedLines(DecodeSavedText(bytes));
    const int count = RowCount(view);
    SavedFileRows result;
    if (lines.size() < count) {
        result.badLine = static_cast<int>(lines.size()) + 1;
        result.problem = QStringLiteral("is missing: the file has %1 of its %2 lines").arg(lines.size()).arg(count);
        return result;
    }
    result.rows.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const QString& line = lines[i];
        if (IsEmptySavedLine(line)) {
            result.rows.emplace_back(std::nullopt);
            continue;
        }
        const QString problem = SavedLineProblem(line);
        if (!problem.isEmpty()) {
            result.rows.clear();
            result.badLine = i + 1;
            result.problem = problem;
            return result;
        }
        result.rows.emplace_back(ReadSavedLine(line));
    }
    return result;
}

QStringList SavedComments(const QByteArray& bytes)
{
    // A file not yet upgraded (the command line reads without the start-up upgrade) still
    // has its comments after the ninth comma.
    const QStringList lines = SplitSavedLines(DecodeSavedText(bytes));
    const bool old = !lines.isEmpty() && IsOldLayout(lines.first());
    QStringList comments;
    for (const QString& stored : lines) {
        const QString line = old ? ConvertOldLine(stored) : stored;
        comments << (line.count(QLatin1Char(':')) >= kSavedColonCount ? ReadSavedLine(line).CommentText : QString());
    }
    return comments;
}

QString RefusalMessage(const QString& path, const SavedFileRows& parsed)
{
    return QStringLiteral("Cannot load \"%1\": line %2 %3.")
        .arg(QDir::toNativeSeparators(path))
        .arg(parsed.badLine)
        .arg(parsed.problem);
}

}  // namespace vardo
