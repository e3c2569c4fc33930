// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// vardo-sim's memory image files as the end-to-end tests read and prepare them.

#include <QMap>
#include <QString>

#include "filebytes.h"

namespace vardo::test {

// The records of a vardo-sim memory image by name ("VFO-A", "1" .. "Q5"), as hexadecimal text.
[[nodiscard]] inline QMap<QString, QString> Records(const QString& path)
{
    QMap<QString, QString> records;
    for (const QByteArray& raw : FileBytes(path).split('\n')) {
        const QString line = QString::fromUtf8(raw).section('#', 0, 0).trimmed();
        if (line.contains(':'))
            records[line.section(':', 0, 0)] = line.section(':', 1).trimmed().section(' ', 0, 0);
    }
    return records;
}

// Writes the emulator's demo image to `path` with some records replaced ("Q3" -> 32 hex digits).
inline bool PutDemoImageWith(const QString& path, const QMap<QString, QString>& replaced)
{
    QByteArray image;
    for (const QByteArray& line : FileBytes(qEnvironmentVariable("VARDO_SOURCE") + "/sim/demo-memory.txt").split('\n')) {
        const QString name = QString::fromUtf8(line.split(':').value(0));
        image += (replaced.contains(name) ? (name + ": " + replaced[name]).toUtf8() : line) + '\n';
    }
    return PutFile(path, image);
}

}  // namespace vardo::test
