// SPDX-License-Identifier: GPL-3.0-or-later
// The saved-file store in a process of its own for unit_files_failures; exit 1 with the message.

#include <cstdio>

#include <QCoreApplication>
#include <QStringList>

#include "safefile.h"
#include "savedfilestore.h"
#include "upgrade.h"

using namespace vardo;

static int Report(const QStringList& problems)
{
    for (const QString& p : problems)
        std::fprintf(stderr, "%s\n", qUtf8Printable(p));
    return problems.isEmpty() ? 0 : 1;
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() == 3 && args[0] == "save") {
        const ReadResult content = ReadWholeFile(args[2]);
        if (!content.ok())
            return Report({content.error});
        const SaveResult r = SaveWithBackup(args[1], ViewKind::All, content.bytes, [] { return true; });
        return Report(r.outcome == SaveOutcome::Saved ? QStringList() : QStringList{r.message});
    }
    if (args.size() == 2 && args[0] == "clean")
        return Report(RemoveStraySaveTemporaries(args[1]));
    if (args.size() == 2 && args[0] == "upgrade")
        return Report(UpgradeSavedFiles(args[1]));
    return Report({"usage: files_savetool save DIR CONTENT | clean DIR | upgrade DIR"});
}
