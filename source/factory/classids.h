// Class identities of the plug-in's two classes. Presets and host projects store these IDs as
// their 32-digit strings; the SDK macro lays the four words out the way this platform expects.
#pragma once

#include "pluginterfaces/base/funknown.h"

#include <cstdint>

namespace Quorvane
{

// 74E8DE50-82554F53-86FAE413-2C935A18
static const Steinberg::FUID kProcessorUID(0x74E8DE50, 0x82554F53, 0x86FAE413, 0x2C935A18);
// C39D5B65-C7AF41FB-743F4AC8-31EB03F1
static const Steinberg::FUID kControllerUID(0xC39D5B65, 0xC7AF41FB, 0x743F4AC8, 0x31EB03F1);

// The VST 2 identity of the effect: 'GnV2'.
constexpr int32_t kVst2UniqueId = 0x476E5632;

} // namespace Quorvane
