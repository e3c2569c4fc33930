#pragma once
// The row operations a view carries besides selection and the editor: moving channels,
// the memory scan and comments. Attached once to each view, owned by the view.

namespace vardo {

class MemoryView;
class RadioClient;
class ViewHost;

// Gives `view` its move commands (when it has them), its scan (when it has one) and its
// comment box. A second call for the same view does nothing.
void AttachRowCommands(MemoryView& view, ViewHost& host, RadioClient& radio);

}  // namespace vardo
