// How the controller reaches its editors (the editor library provides these functions).
#pragma once

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/vsttypes.h"

namespace Steinberg::Vst
{
class EditController;
class EditorView;
} // namespace Steinberg::Vst

namespace Quorvane
{

class againEditorView;

// A new editor for the controller (its one reference belongs to the caller), or null.
Steinberg::IPlugView* createEditorView(Steinberg::Vst::EditController* controller);

// The plug-in's own editor behind an SDK editor view, or null for any other view.
againEditorView* asEditorView(Steinberg::Vst::EditorView* view);
// The SDK view an editor is (valid while the editor's base classes are being destroyed too).
Steinberg::Vst::EditorView* asSdkView(againEditorView* editor);

// Shows a parameter's new value in an open editor.
void showParameter(againEditorView* editor, Steinberg::Vst::ParamID tag,
                   Steinberg::Vst::ParamValue value);

} // namespace Quorvane
