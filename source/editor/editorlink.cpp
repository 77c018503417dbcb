#include "editorlink.h"

#include "againeditorview.h"

namespace Quorvane
{

Steinberg::IPlugView* createEditorView(Steinberg::Vst::EditController* controller)
{
    return againEditorView::create(controller);
}

againEditorView* asEditorView(Steinberg::Vst::EditorView* view)
{
    return dynamic_cast<againEditorView*>(view);
}

Steinberg::Vst::EditorView* asSdkView(againEditorView* editor)
{
    return editor;
}

void showParameter(againEditorView* editor, Steinberg::Vst::ParamID tag,
                   Steinberg::Vst::ParamValue value)
{
    editor->updateParameter(tag, value);
}

} // namespace Quorvane
