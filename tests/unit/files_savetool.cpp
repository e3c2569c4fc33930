// A small program around the saved-file store, so that tests can run a save in another
// process: without privileges, in a mount namespace of its own, or under strace.
//   files_savetool save DIR VIEW CONTENT   saves CONTENT's bytes, answering Yes
//   files_savetool clean DIR               removes stray temporaries
//   files_savetool upgrade DIR             runs the start-up upgrade
// Exit 0 on success; otherwise 1 with the message on standard error.

#include <cstdio>

#include <QCoreApplication>
#include <QStringList>

#include "safefile.h"
#include "savedfilestore.h"
#include "upgrade.h"

using namespace vardo;

namespace {

ViewKind ViewOf(const QString& name)
{
    if (name == "99")
        return ViewKind::Ch99;
    if (name == "pms")
        return ViewKind::Pms;
    return name == "qmb" ? ViewKind::Qmb : ViewKind::All;
}

int Report(const QStringList& problems)
{
    for (const QString& p : problems)
        std::fprintf(stderr, "%s\n", qUtf8Printable(p));
    return problems.isEmpty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() == 4 && args[0] == "save") {
        const ReadResult content = ReadWholeFile(args[3]);
        if (!content.ok())
            return Report({content.error});
        const SaveResult r = SaveWithBackup(args[1], ViewOf(args[2]), content.bytes, [] { return true; });
        return Report(r.outcome == SaveOutcome::Saved ? QStringList() : QStringList{r.message});
    }
    if (args.size() == 2 && args[0] == "clean")
        return Report(RemoveStraySaveTemporaries(args[1]));
    if (args.size() == 2 && args[0] == "upgrade")
        return Report(UpgradeSavedFiles(args[1]));
    return Report({"usage: files_savetool save DIR VIEW CONTENT | clean DIR | upgrade DIR"});
}
