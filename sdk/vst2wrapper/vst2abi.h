// The VST 2 effect ABI as the wrapper uses it: the definitions come from
// Debian's fst headers; the few opcode numbers those headers leave unnumbered
// are given here with the values VST 2 hosts send and answer.
#pragma once

// The fst headers carry #warning notes about their own provenance; the
// vst2wrapper target hides them from its users with -Wno-cpp.
#include "pluginterfaces/fst/aeffectx.h"

namespace Steinberg {
namespace Vst {
namespace Vst2Abi {

// Effect opcodes missing a number in fst.
constexpr int kEffSetBypass = 44;       // value: 1 bypass on, 0 off
constexpr int kEffGetTailSize = 52;     // returns the tail in samples

// Host opcodes missing a number in fst.
constexpr int kAudioMasterIOChanged = 13;      // latency or I/O counts changed
constexpr int kAudioMasterUpdateDisplay = 42;  // parameter values/names changed

// Text lengths (characters, without the terminator).
constexpr int kEffectNameLength = 32;
constexpr int kVendorStringLength = 63;
constexpr int kProductStringLength = 63;
constexpr int kParamNameLength = 32;
constexpr int kParamLabelLength = 8;
constexpr int kParamDisplayLength = 8;
constexpr int kProgramNameLength = 24;

} // namespace Vst2Abi
} // namespace Vst
} // namespace Steinberg
