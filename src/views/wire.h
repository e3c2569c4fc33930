#pragma once
// Plugs the channel editor and Print into the program's four views.

#include "editorcommands.h"

namespace vardo {

class PrintCommands;

struct ViewCommands {
    EditorCommands* editor = nullptr;  // children of the owner
    PrintCommands* print = nullptr;

    bool operator==(const ViewCommands&) const = default;
};

// Connects every view's editor click and cmdPrint. Called again for the same owner, it hands
// back what the first call made.
ViewCommands AttachViewCommands(ViewHost& host, RadioClient& radio, const ViewLookup& views, QObject& owner);

}  // namespace vardo
