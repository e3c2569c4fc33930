// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading and writing whole files in tests, and listing a directory's files.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

namespace vardo::test {

// The file's bytes, or "<missing>" when it cannot be opened.
[[nodiscard]] inline QByteArray FileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

inline bool PutFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// File names in `dir`, hidden ones included, sorted by name.
[[nodiscard]] inline QStringList FileListing(const QString& dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

}  // namespace vardo::test
