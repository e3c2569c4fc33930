#pragma once
// Where the row operations that live outside the view windows (the channel editor,
// reordering, comments, the scan, Save, Load and Print) attach to the program. Each view
// offers them as signals (MemoryView::editRequested, upRequested, saveRequested, ...), fired
// only when the program is not busy; VardoApp calls this once, after its windows exist.

namespace vardo {

class VardoApp;

void AttachRowOperations(VardoApp& app);

}  // namespace vardo
