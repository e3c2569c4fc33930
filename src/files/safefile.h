// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// File operations that never leave a half-written file behind and say what went wrong.
// Every message names the file and the reason.

#include <QByteArray>
#include <QSaveFile>
#include <QString>
#include <QStringList>

namespace vardo {

// Whether `dir` holds a file named exactly `name`, letters compared exactly, also where the
// file system ignores letter case (the directory is listed; the name is not looked up).
[[nodiscard]] bool ExactFileExists(const QString& dir, const QString& name);

// Why the node at `path` is no file to read or replace, without opening it ("" for a file, a
// link to one, or a name not yet taken): a named pipe would block open() until someone writes
// into it, a device may never end or keep nothing, a folder is no file at all.
[[nodiscard]] QString NotAFile(const QString& path);

// Whether `path` names anything, a dangling link included: a file that must never replace
// another (a snapshot, a kept copy) is written only under a name not taken.
[[nodiscard]] bool NameTaken(const QString& path);

struct ReadResult {
    QByteArray bytes;
    QString error;  // empty when the whole file was read
    [[nodiscard]] bool ok() const { return error.isEmpty(); }
};

// Refuses, without opening it, anything that is not a file (or a link to one): a named pipe
// or a device would block or never end.
[[nodiscard]] ReadResult ReadWholeFile(const QString& path);

// New contents for a file, written beside it under the file's name plus ".vardo-partial" and
// put in its place only by commit(); until then, and after any failure, the file on disk is as
// it was. Dropping it uncommitted
// discards what was written.
class PendingFile {
public:
    explicit PendingFile(const QString& path);

    // Writes and flushes everything; "" or the failure message (the new contents are dropped).
    [[nodiscard]] QString write(const QByteArray& bytes);
    // Puts the new contents in place in one step; "" or the failure message.
    [[nodiscard]] QString commit();

private:
    [[nodiscard]] QString fail(int systemError);

    QString m_path;    // as the messages name it
    QString m_target;  // where a link points
    QSaveFile m_file;  // "<path>.vardo-partial", renamed to `path` by commit()
};

// write() then commit().
[[nodiscard]] QString WriteFileSafely(const QString& path, const QByteArray& bytes);

// Gives `from` the name `to` in one step, replacing a file of that name; "" or the message.
[[nodiscard]] QString ReplaceFile(const QString& from, const QString& to);

// Removes the scratch files an interrupted save or upgrade can leave in `dir`: those named
// after a saved file or backup with the program's ".vardo-partial" mark, and nothing else.
// Returns a message for each one that could not be removed.
QStringList RemoveStraySaveTemporaries(const QString& dir);

[[nodiscard]] QString CouldNotWrite(const QString& path, const QString& reason);
[[nodiscard]] QString CouldNotRead(const QString& path, const QString& reason);

}  // namespace vardo
