// SPDX-License-Identifier: GPL-3.0-or-later
#include "savedfilenames.h"

#include <QDir>

namespace vardo {

QString SavedFileStem(ViewKind v)
{
    switch (v) {
    case ViewKind::All: return QStringLiteral("AllMem");
    case ViewKind::Ch99: return QStringLiteral("99Mem");
    case ViewKind::Pms: return QStringLiteral("Pms");
    case ViewKind::Qmb: return QStringLiteral("Qmb");
    }
    return {};
}

QString SavedFileName(ViewKind v) { return SavedFileStem(v) + QStringLiteral(".txt"); }

QString BackupFileName(ViewKind v) { return SavedFileStem(v) + QStringLiteral(".bak"); }

QString NeverSavedMessage(ViewKind v)
{
    // frmAll's message has always named the file "All.Mem.txt"; operators know it that way.
    const QString shown = v == ViewKind::All ? QStringLiteral("All.Mem.txt") : SavedFileName(v);
    return QStringLiteral("Cannot load because the \"%1\" data file has never been saved!").arg(shown);
}

QString NothingToSaveMessage() { return QStringLiteral("Nothing to save!"); }

QString OverwriteQuestion() { return QStringLiteral("Do you want to overwrite the existing saved file?"); }

QString PathIn(const QString& dir, const QString& name) { return QDir(dir).filePath(name); }

}  // namespace vardo
