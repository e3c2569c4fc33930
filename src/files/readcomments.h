// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The comments a read of the radio keeps from the view's saved file. They exist nowhere else,
// so a file that cannot be read line for line is never guessed at (a CR-only file is one long
// line; its text would land in line 1's comment): it is kept whole under a name of its own.

#include <QDateTime>
#include <QString>
#include <QStringList>

#include "channelindex.h"

namespace vardo {

struct CommentsForRead {
    QStringList comments;  // line by line; empty when there is no saved file
    // Why the saved file's comments cannot be taken (it cannot be loaded); then `unreadable`
    // holds its bytes, to be kept.
    QString problem;
    QByteArray unreadable;
    QString error;  // the saved file could not be read at all: nothing may be saved over it

    [[nodiscard]] bool keepsComments() const { return problem.isEmpty() && error.isEmpty(); }
};

// The comments of the view's saved file in `dir` as it loads (a file still in the older
// comma layout counts as loading, as the start-up upgrade would convert it).
[[nodiscard]] CommentsForRead CommentsToKeep(const QString& dir, ViewKind view);

// "Pms.unreadable-20261210-073012.txt": where an unreadable saved file is kept.
[[nodiscard]] QString UnreadableFileName(ViewKind view, const QDateTime& when);

// Writes `bytes` under UnreadableFileName in `dir`, never over an existing file (a second one
// in the same second gets "-2", "-3", ...). The path written, or "" and `error` set.
[[nodiscard]] QString KeepUnreadable(const QString& dir, ViewKind view, const QByteArray& bytes,
                                     const QDateTime& when, QString* error);

}  // namespace vardo
