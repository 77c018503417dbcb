#include "editorchurn.h"

#include "againcontroller.h"
#include "againeditorview.h"

namespace QuorvaneTest {

bool EditorChurn::openOne()
{
    auto* view = static_cast<Quorvane::againEditorView*>(controller->createView("editor"));
    if (!view)
        return false;
    if (view->openOffscreen() != Steinberg::kResultOk)
    {
        view->release();
        return false;
    }
    open.push_back(view);
    ++openedSoFar;
    return true;
}

void EditorChurn::closeOldest()
{
    if (open.empty())
        return;
    open.front()->removed();
    open.front()->release();
    open.erase(open.begin());
}

} // namespace QuorvaneTest
