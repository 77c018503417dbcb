#include "editorchurn.h"

#include "againcontroller.h"
#include "againeditorview.h"

#include "vstgui/editorplatform.h"

namespace QuorvaneTest
{

bool EditorChurn::openOne()
{
    auto* view = static_cast<Quorvane::againEditorView*>(controller->createView("editor"));
    if (!view)
        return false;
    const auto opened = parent ? view->attached(parent, VSTGUI::EditorPlatform::windowType())
                               : view->openOffscreen();
    if (opened != Steinberg::kResultOk)
    {
        view->release();
        return false;
    }
    open.push_back(view);
    ++openedSoFar;
    return true;
}

void EditorChurn::idleAll()
{
    for (auto* view : open)
        static_cast<Quorvane::againEditorView*>(view)->idle();
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
