#include "rowoperations.h"

#include "memoryfilecommands.h"
#include "memoryview.h"
#include "rowcommands.h"
#include "vardoapp.h"
#include "wire.h"

namespace vardo {

void AttachRowOperations(VardoApp& app)
{
    for (ViewKind kind : kAllViews) {
        AttachMemoryFileCommands(app.view(kind), app, app.radio(), app.dataDir(), [&app] { app.beep(); });
        AttachRowCommands(app.view(kind), app, app.radio());  // moving, scan, comments
    }
    AttachViewCommands(app, app.radio(), [&app](ViewKind kind) -> MemoryView& { return app.view(kind); }, app);
    // editor and Print, shared by the four views
}

}  // namespace vardo
