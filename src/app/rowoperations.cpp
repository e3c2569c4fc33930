#include "rowoperations.h"

#include "vardoapp.h"

namespace vardo {

void AttachRowOperations(VardoApp& /*app*/)
{
    // Each operation adds its connection here, for example
    //   AttachEditor(app);   // MemoryView::editRequested, VardoApp::viewSwitching and closing
}

}  // namespace vardo
