// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The history: every state the radio held, as the program read or wrote it. Each read and each
// write of a view leaves a snapshot, a saved file of the view's rows in the data folder's
// "history" folder, named "<view> <sequence> <date> <time> <operation>[ <result>].txt", e.g.
// "AllMem 000123 2026-12-10 05-12-03 restore verified.txt".
//
// The result of a write lives in the name: the snapshot and its result are one file, written
// in one step, so neither can exist without the other, and a file manager shows it too.
// Order and removal follow the sequence number, never the clock (which may be set back).

#include <optional>
#include <vector>

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include "channelindex.h"
#include "restoreplan.h"
#include "rowcompare.h"
#include "savedfilestore.h"

namespace vardo {

inline constexpr int kSnapshotsKeptPerView = 200;

enum class SnapshotOperation { Read, Restore, Load };

struct Snapshot {
    ViewKind view = ViewKind::All;
    qint64 sequence = 0;
    QDateTime taken;  // local time, to the second
    SnapshotOperation operation = SnapshotOperation::Read;
    QString result;   // how a write ended ("verified", "differs 42, Q3"); "" for a read
    QString fileName;
    bool operator==(const Snapshot&) const = default;
};

// "read", "restore", "load".
[[nodiscard]] QString OperationName(SnapshotOperation operation);

[[nodiscard]] QString SnapshotFileName(ViewKind view, qint64 sequence, const QDateTime& taken,
                                       SnapshotOperation operation, const QString& result);

// nullopt for any name the program did not give a snapshot: such files are never listed,
// restored or removed.
[[nodiscard]] std::optional<Snapshot> SnapshotFromFileName(const QString& name);

// How a batch write ended, as the link told it.
struct WriteEnd {
    bool ok = true;
    bool cancelled = false;
    bool everyChannelWritten = true;
    bool readBack = true;
    QList<ChannelMismatch> mismatches;  // channels the read-back found otherwise than written
};

// How a write ended, in words: "verified" (every channel read back as written), "not read
// back", "differs 42, Q3" (at most 20 channels named, then "and N more"), "stopped" or
// "failed" (the snapshot then holds the channels written before the end).
[[nodiscard]] QString WriteResult(const WriteEnd& end);

// The rows a write put into the radio: the first `written` channels of the plan with their
// rows; every other row keeps only its comment, so that a restore of the snapshot writes
// nothing there (the radio kept what it held).
[[nodiscard]] std::vector<RowCells> WrittenRows(ViewKind view, const RestorePlan& plan, qsizetype written);

// "<dataDir>/history".
[[nodiscard]] QString HistoryFolder(const QString& dataDir);

// The view's snapshots, newest (highest sequence) first.
[[nodiscard]] std::vector<Snapshot> ListSnapshots(const QString& dataDir, ViewKind view);

struct KeptSnapshot {
    QString path;          // the snapshot written; empty when none was
    QStringList problems;  // why it was not written, or why an old one could not be removed
};

// Writes `content` (a saved file's bytes) as the view's next snapshot, never over another
// file, then removes the view's oldest snapshots beyond kSnapshotsKeptPerView, and nothing else.
[[nodiscard]] KeptSnapshot KeepSnapshot(const QString& dataDir, ViewKind view, SnapshotOperation operation,
                                        const QByteArray& content, const QString& result, const QDateTime& now);

// KeepSnapshot of the view's rows (as a Save would write them), taken now; the problems.
[[nodiscard]] QStringList KeepRowsSnapshot(const QString& dataDir, ViewKind view, SnapshotOperation operation,
                                           const std::vector<RowCells>& rows, const QString& result = {});

// Channels with data in a snapshot's bytes; nullopt when it cannot be loaded.
[[nodiscard]] std::optional<int> SnapshotChannelCount(const QByteArray& bytes, ViewKind view);

// A line of the history listing: "  1  2026-12-10 05:12:03  restore  86 channels  verified  <name>".
[[nodiscard]] QString HistoryLine(int number, const Snapshot& snapshot, std::optional<int> channels);

// The view's listing, one HistoryLine a snapshot, newest first; empty when there is none.
[[nodiscard]] QStringList HistoryListing(const QString& dataDir, ViewKind view);

struct LoadedSnapshot {
    LoadResult load;  // rows, or why there are none
    QString path;     // of the snapshot; empty when there is no such number
};

// Snapshot `number` of the view (1 the newest), read and checked whole like a saved file.
[[nodiscard]] LoadedSnapshot LoadSnapshot(const QString& dataDir, ViewKind view, int number);

}  // namespace vardo
