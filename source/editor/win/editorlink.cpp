// Windows has no editor yet: the controller offers none, so none is ever attached.
#include "editorlink.h"

namespace Quorvane {

Steinberg::IPlugView* createEditorView(Steinberg::Vst::EditController*) { return nullptr; }

againEditorView* asEditorView(Steinberg::Vst::EditorView*) { return nullptr; }

void showParameter(againEditorView*, Steinberg::Vst::ParamID, Steinberg::Vst::ParamValue) {}

} // namespace Quorvane
