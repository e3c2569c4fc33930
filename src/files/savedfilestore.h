// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A view's saved file on disk: Save with its overwrite question and one-generation backup,
// and the checked read that Load starts from.
//
// Save keeps both files whole at every moment: the new contents and the new backup (the old
// file's bytes) are written beside their targets first, then the backup is put in place, then
// the saved file. Any failure leaves the saved file and its backup as they were and returns
// a message naming the file and the reason.

#include <functional>
#include <optional>
#include <vector>

#include <QByteArray>
#include <QString>

#include "channelindex.h"
#include "savedfileformat.h"

namespace vardo {

// The whole file for a view's rows: one line per row, CR LF, Windows-1252 where it can be.
[[nodiscard]] QByteArray SavedFileBytes(ViewKind view, const std::vector<RowCells>& rows);

enum class SaveOutcome { Saved, Declined, Failed };

struct SaveResult {
    SaveOutcome outcome = SaveOutcome::Failed;
    QString message;  // why it failed; empty otherwise
    bool operator==(const SaveResult&) const = default;
};

// Asked only when the saved file is already there (exact name); true means Yes.
using OverwriteQuestionFn = std::function<bool()>;

// Saves `content` as the view's file in `dir`, the file already there becoming the backup.
[[nodiscard]] SaveResult SaveWithBackup(const QString& dir, ViewKind view, const QByteArray& content,
                                        const OverwriteQuestionFn& overwrite);

struct LoadResult {
    std::vector<std::optional<SavedLine>> rows;  // one per grid row; nullopt: an empty row
    QString message;  // the view's "never been saved" text, a read failure or the refusal
    [[nodiscard]] bool ok() const { return message.isEmpty(); }
};

// Finds (exact name), reads and checks the view's whole saved file.
[[nodiscard]] LoadResult LoadSavedFile(const QString& dir, ViewKind view);

// Reads and checks the whole file at `path` as the view's saved file (a history snapshot).
[[nodiscard]] LoadResult LoadSavedFileAt(const QString& path, ViewKind view);

}  // namespace vardo
