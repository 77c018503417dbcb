// What the VST 2 editor opcodes need from the window system: the type of window a VST 2 host
// hands to effEditOpen on this platform.
#pragma once

#include "pluginterfaces/base/ftypes.h"

namespace Steinberg {
namespace Vst {
namespace Vst2EditorPlatform {

/** kPlatformTypeX11EmbedWindowID on Linux, kPlatformTypeHWND on Windows. */
FIDString windowType ();

} // namespace Vst2EditorPlatform
} // namespace Vst
} // namespace Steinberg
