// SPDX-License-Identifier: GPL-3.0-or-later
#include "savedfileparse.h"

#include <QDir>

#include "savedfiletext.h"

namespace vardo {

namespace {

// A carriage return not followed by a line feed: the line end of old Macintosh files.
[[nodiscard]] bool HasLoneCarriageReturn(const QString& text)
{
    for (qsizetype i = text.indexOf(QLatin1Char('\r')); i >= 0; i = text.indexOf(QLatin1Char('\r'), i + 1)) {
        if (i + 1 == text.size() || text[i + 1] != QLatin1Char('\n'))
            return true;
    }
    return false;
}

// Refused as a whole, before any line is looked at.
[[nodiscard]] QString WholeFileProblem(const QString& text, const QStringList& lines, int count)
{
    if (text.isEmpty())
        return QStringLiteral("the file is empty");
    if (lines.size() < count && HasLoneCarriageReturn(text))
        return QStringLiteral("its lines end in a carriage return alone (CR); only CR LF or LF line ends are read");
    // Judged as the start-up upgrade judges it, and only when the first line is a good line
    // of that layout and not of this one: then the upgrade would convert the file.
    const QString& first = lines.first();
    if (lines.size() >= count && IsOldLayout(first) && first.count(QLatin1Char(':')) < kSavedColonCount
        && SavedLineProblem(ConvertOldLine(first)).isEmpty())
        return QStringLiteral("it is in the older layout, with commas between the fields; \"vardo-cli upgrade\" "
                              "or a restart of the program converts it");
    return {};
}

}  // namespace

SavedFileRows ParseSavedFile(const QByteArray& bytes, ViewKind view)
{
    const QString text = DecodeSavedText(bytes);
    const QStringList lines = SplitSavedLines(text);
    const int count = RowCount(view);
    SavedFileRows result;
    result.problem = WholeFileProblem(text, lines, count);
    if (!result.ok())
        return result;
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
    const QString where = QDir::toNativeSeparators(path);
    if (parsed.badLine == 0)
        return QStringLiteral("Cannot load \"%1\": %2.").arg(where, parsed.problem);
    return QStringLiteral("Cannot load \"%1\": line %2 %3.").arg(where).arg(parsed.badLine).arg(parsed.problem);
}

}  // namespace vardo
