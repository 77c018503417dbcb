// A view's resize request passed on to a VST 2 host (audioMasterSizeWindow); the view takes the
// new size when the host agrees.
#pragma once

#include "vst2abi.h"

#include "pluginterfaces/gui/iplugview.h"

namespace Steinberg {
namespace Vst {

tresult resizeHostWindow (AEffect* effect, audioMasterCallback audioMaster, IPlugView* view, ViewRect* newSize);

} // namespace Vst
} // namespace Steinberg
