#include "editorchurn.h"

#include "againcontroller.h"

namespace QuorvaneTest {

// No editor on this platform: the controller must not offer one.
bool EditorChurn::openOne()
{
    Steinberg::IPlugView* view = controller->createView("editor");
    if (!view)
        return true;
    view->release();
    return false;
}

void EditorChurn::closeOldest() {}

} // namespace QuorvaneTest
