// The editor of a VST 2 effect on Windows lives in an HWND from the host.
#include "vst2editorplatform.h"

#include "pluginterfaces/gui/iplugview.h"

namespace Steinberg {
namespace Vst {
namespace Vst2EditorPlatform {

FIDString windowType () { return kPlatformTypeHWND; }

} // namespace Vst2EditorPlatform
} // namespace Vst
} // namespace Steinberg
