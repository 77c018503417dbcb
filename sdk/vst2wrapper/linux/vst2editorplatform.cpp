// The editor of a VST 2 effect on Linux lives in an X11 window ID from the host.
#include "vst2editorplatform.h"

#include "pluginterfaces/gui/iplugview.h"

namespace Steinberg {
namespace Vst {
namespace Vst2EditorPlatform {

FIDString windowType () { return kPlatformTypeX11EmbedWindowID; }

} // namespace Vst2EditorPlatform
} // namespace Vst
} // namespace Steinberg
