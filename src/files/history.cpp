// SPDX-License-Identifier: GPL-3.0-or-later
#include "history.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include "safefile.h"
#include "savedfilenames.h"
#include "savedfileparse.h"

namespace vardo {
namespace {

const QString kFolder = QStringLiteral("history");
const QString kNameDate = QStringLiteral("yyyy-MM-dd HH-mm-ss");
const QString kShownDate = QStringLiteral("yyyy-MM-dd HH:mm:ss");
constexpr int kSequenceDigits = 6;
// A name holds this many differing channels; a file name must stay short on every system.
constexpr qsizetype kMostChannelsNamed = 20;

[[nodiscard]] QString ViewPart(ViewKind view) { return SavedFileStem(view); }

[[nodiscard]] std::optional<SnapshotOperation> OperationFromName(const QString& name)
{
    for (SnapshotOperation op : {SnapshotOperation::Read, SnapshotOperation::Restore, SnapshotOperation::Load})
        if (OperationName(op) == name)
            return op;
    return std::nullopt;
}

[[nodiscard]] std::optional<ViewKind> ViewFromPart(const QString& part)
{
    for (ViewKind view : kAllViews)
        if (ViewPart(view) == part)
            return view;
    return std::nullopt;
}

[[nodiscard]] const QRegularExpression& NamePattern()
{
    static const QRegularExpression re(QStringLiteral(
        "^(\\S+) (\\d{6,}) (\\d{4}-\\d\\d-\\d\\d \\d\\d-\\d\\d-\\d\\d) (read|restore|load)(?: ([^/\\\\]+))?\\.txt$"));
    return re;
}

// Every snapshot in the folder, any view, in no particular order.
[[nodiscard]] std::vector<Snapshot> AllSnapshots(const QString& folder)
{
    std::vector<Snapshot> found;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (std::optional<Snapshot> s = SnapshotFromFileName(name))
            found.push_back(*s);
    }
    return found;
}

// The view's snapshots, oldest (lowest sequence) first.
[[nodiscard]] std::vector<Snapshot> OldestFirst(const QString& folder, ViewKind view)
{
    std::vector<Snapshot> mine = AllSnapshots(folder);
    std::erase_if(mine, [view](const Snapshot& s) { return s.view != view; });
    std::sort(mine.begin(), mine.end(), [](const Snapshot& a, const Snapshot& b) { return a.sequence < b.sequence; });
    return mine;
}

[[nodiscard]] std::optional<QString> FolderProblem(const QString& folder)
{
    const QFileInfo info(folder);
    if (info.exists() && !info.isDir())
        return CouldNotWrite(folder, info.isFile() ? QStringLiteral("it is a file, not a folder")
                                                   : QStringLiteral("it is not a folder"));
    // Made inside the data folder only: a data folder that is gone is not made again here.
    std::error_code ec;
    if (!info.exists() && !std::filesystem::create_directory(std::filesystem::path(folder.toStdU16String()), ec))
        return CouldNotWrite(folder, QString::fromStdString(ec.message()));
    return std::nullopt;
}

// The number after the highest one in the folder, whatever its view: numbers never repeat,
// so the order of snapshots stays plain even when the clock is set back.
[[nodiscard]] qint64 NextSequence(const std::vector<Snapshot>& existing)
{
    qint64 highest = 0;
    for (const Snapshot& s : existing)
        highest = std::max(highest, s.sequence);
    return highest + 1;
}

[[nodiscard]] QString NotKept(const QString& problem)
{
    return QStringLiteral("No snapshot was kept in the history: %1").arg(problem);
}

// The view's oldest snapshots beyond the limit; only names the program gave its snapshots.
[[nodiscard]] QStringList RemoveOldest(const QString& folder, ViewKind view)
{
    const std::vector<Snapshot> mine = OldestFirst(folder, view);
    QStringList problems;
    for (std::size_t i = 0; i + kSnapshotsKeptPerView < mine.size(); ++i) {
        QFile old(PathIn(folder, mine[i].fileName));
        if (!old.remove())
            problems << QStringLiteral("Could not remove the old snapshot \"%1\": %2.")
                            .arg(QDir::toNativeSeparators(old.fileName()), old.errorString());
    }
    return problems;
}

}  // namespace

QString OperationName(SnapshotOperation operation)
{
    switch (operation) {
    case SnapshotOperation::Read: return QStringLiteral("read");
    case SnapshotOperation::Restore: return QStringLiteral("restore");
    case SnapshotOperation::Load: return QStringLiteral("load");
    }
    return {};
}

QString SnapshotFileName(ViewKind view, qint64 sequence, const QDateTime& taken, SnapshotOperation operation,
                         const QString& result)
{
    QString name = QStringLiteral("%1 %2 %3 %4")
                       .arg(ViewPart(view))
                       .arg(sequence, kSequenceDigits, 10, QLatin1Char('0'))
                       .arg(taken.toString(kNameDate), OperationName(operation));
    if (!result.isEmpty())
        name += u' ' + result;
    return name + QStringLiteral(".txt");
}

std::optional<Snapshot> SnapshotFromFileName(const QString& name)
{
    const QRegularExpressionMatch m = NamePattern().match(name);
    if (!m.hasMatch())
        return std::nullopt;
    const std::optional<ViewKind> view = ViewFromPart(m.captured(1));
    const std::optional<SnapshotOperation> operation = OperationFromName(m.captured(4));
    bool number = false;
    const qint64 sequence = m.captured(2).toLongLong(&number);
    const QDateTime taken = QDateTime::fromString(m.captured(3), kNameDate);
    if (!view || !operation || !number || !taken.isValid())
        return std::nullopt;
    return Snapshot{*view, sequence, taken, *operation, m.captured(5), name};
}

QString WriteResult(const WriteEnd& end)
{
    // A read-back that finds a channel otherwise ends the batch "not ok" after every channel.
    const QList<ChannelMismatch>& mismatches = end.mismatches;
    if (!end.ok && (mismatches.isEmpty() || !end.everyChannelWritten))
        return end.cancelled ? QStringLiteral("stopped") : QStringLiteral("failed");
    if (!end.readBack)
        return QStringLiteral("not read back");
    if (mismatches.isEmpty())
        return QStringLiteral("verified");
    QList<int> channels;
    for (const ChannelMismatch& m : mismatches.mid(0, kMostChannelsNamed))
        channels << m.channel;
    QString text = QStringLiteral("differs ") + ChannelLabels(channels);
    if (mismatches.size() > kMostChannelsNamed)
        text += QStringLiteral(" and %1 more").arg(mismatches.size() - kMostChannelsNamed);
    return text;
}

std::vector<RowCells> WrittenRows(ViewKind view, const RestorePlan& plan, qsizetype written)
{
    std::vector<RowCells> rows(plan.rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i][CellIndex(ColComment)] = plan.rows[i][CellIndex(ColComment)];
    for (const ChannelWrite& w : plan.writes.mid(0, written)) {
        const auto row = static_cast<std::size_t>(RowOfChannel(view, w.ChannelNo) - 1);
        rows[row] = plan.rows[row];
    }
    return rows;
}

QString HistoryFolder(const QString& dataDir) { return PathIn(dataDir, kFolder); }

std::vector<Snapshot> ListSnapshots(const QString& dataDir, ViewKind view)
{
    std::vector<Snapshot> mine = OldestFirst(HistoryFolder(dataDir), view);
    std::reverse(mine.begin(), mine.end());
    return mine;
}

KeptSnapshot KeepSnapshot(const QString& dataDir, ViewKind view, SnapshotOperation operation,
                          const QByteArray& content, const QString& result, const QDateTime& now)
{
    KeptSnapshot kept;
    const QString folder = HistoryFolder(dataDir);
    if (const std::optional<QString> problem = FolderProblem(folder)) {
        kept.problems << NotKept(*problem);
        return kept;
    }
    qint64 sequence = NextSequence(AllSnapshots(folder));
    QString path = PathIn(folder, SnapshotFileName(view, sequence, now, operation, result));
    // Never over another file, not even one of the same name another program put there.
    while (NameTaken(path))
        path = PathIn(folder, SnapshotFileName(view, ++sequence, now, operation, result));
    if (const QString error = WriteFileSafely(path, content); !error.isEmpty()) {
        kept.problems << NotKept(error);
        return kept;
    }
    kept.path = path;
    kept.problems << RemoveOldest(folder, view);
    return kept;
}

QStringList KeepRowsSnapshot(const QString& dataDir, ViewKind view, SnapshotOperation operation,
                             const std::vector<RowCells>& rows, const QString& result)
{
    return KeepSnapshot(dataDir, view, operation, SavedFileBytes(view, rows), result, QDateTime::currentDateTime())
        .problems;
}

std::optional<int> SnapshotChannelCount(const QByteArray& bytes, ViewKind view)
{
    const SavedFileRows parsed = ParseSavedFile(bytes, view);
    if (!parsed.ok())
        return std::nullopt;
    return static_cast<int>(std::count_if(parsed.rows.begin(), parsed.rows.end(),
                                          [](const std::optional<SavedLine>& row) { return row && row->hasChannel; }));
}

QString HistoryLine(int number, const Snapshot& snapshot, std::optional<int> channels)
{
    const QString count = !channels     ? QStringLiteral("unreadable")
                          : *channels == 1 ? QStringLiteral("1 channel")
                                           : QStringLiteral("%1 channels").arg(*channels);
    const QString result = snapshot.result.isEmpty() ? QStringLiteral("-") : snapshot.result;
    return QStringLiteral("%1  %2  %3  %4  %5  %6")
        .arg(number, 3)
        .arg(snapshot.taken.toString(kShownDate), OperationName(snapshot.operation).leftJustified(7),
             count.rightJustified(12), result, snapshot.fileName);
}

LoadedSnapshot LoadSnapshot(const QString& dataDir, ViewKind view, int number)
{
    LoadedSnapshot loaded;
    const std::vector<Snapshot> snapshots = ListSnapshots(dataDir, view);
    if (number < 1 || static_cast<std::size_t>(number) > snapshots.size()) {
        loaded.load.message = snapshots.empty()
                                  ? QStringLiteral("There is no snapshot of these channels in \"%1\".")
                                        .arg(QDir::toNativeSeparators(HistoryFolder(dataDir)))
                                  : QStringLiteral("There is no snapshot %1 of these channels: the history holds %2 "
                                                   "(1 is the newest).")
                                        .arg(number)
                                        .arg(snapshots.size());
        return loaded;
    }
    loaded.path = PathIn(HistoryFolder(dataDir), snapshots[static_cast<std::size_t>(number - 1)].fileName);
    loaded.load = LoadSavedFileAt(loaded.path, view);
    return loaded;
}

QStringList HistoryListing(const QString& dataDir, ViewKind view)
{
    const std::vector<Snapshot> snapshots = ListSnapshots(dataDir, view);
    QStringList lines;
    for (std::size_t i = 0; i < snapshots.size(); ++i) {
        const ReadResult read = ReadWholeFile(PathIn(HistoryFolder(dataDir), snapshots[i].fileName));
        const std::optional<int> channels = read.ok() ? SnapshotChannelCount(read.bytes, view) : std::nullopt;
        lines << HistoryLine(static_cast<int>(i) + 1, snapshots[i], channels);
    }
    return lines;
}

}  // namespace vardo
