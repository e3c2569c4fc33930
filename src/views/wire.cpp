#include "wire.h"

#include "printcommands.h"

namespace vardo {

ViewCommands AttachViewCommands(ViewHost& host, RadioClient& radio, const ViewLookup& views, QObject& owner)
{
    if (auto* editor = owner.findChild<EditorCommands*>(QString(), Qt::FindDirectChildrenOnly))
        return {editor, owner.findChild<PrintCommands*>(QString(), Qt::FindDirectChildrenOnly)};
    auto* editor = new EditorCommands(host, radio, views, &owner);
    editor->connectViews();
    auto* print = new PrintCommands(host, views, &owner);
    print->connectViews();
    return {editor, print};
}

}  // namespace vardo
