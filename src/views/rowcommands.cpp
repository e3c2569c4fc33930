#include "rowcommands.h"

#include "commentbox.h"
#include "memoryview.h"
#include "reordercommands.h"
#include "scancontroller.h"
#include "viewdescriptor.h"

namespace vardo {

void AttachRowCommands(MemoryView& view, ViewHost& host, RadioClient& radio)
{
    if (view.findChild<CommentBox*>(QString(), Qt::FindDirectChildrenOnly))
        return;
    const ViewDescriptor& descriptor = Descriptor(view.kind());
    new CommentBox(view, host);
    if (descriptor.moveButtons)
        new ReorderCommands(view, host);
    if (descriptor.scanControls)
        new ScanController(view, host, radio);
}

}  // namespace vardo
