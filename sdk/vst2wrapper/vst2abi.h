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
constexpr int kEffSetBypass = 44;   // value: 1 bypass on, 0 off
constexpr int kEffGetTailSize = 52; // returns the tail in samples

// Host opcodes missing a number in fst.
constexpr int kAudioMasterIOChanged = 13;     // latency or I/O counts changed
constexpr int kAudioMasterUpdateDisplay = 42; // parameter values/names changed

// Sizes of the text fields a host hands to the text opcodes, in bytes with the terminator: the
// sizes the VST 2 interface documents (the smaller where sources differ). Many hosts give more,
// none promises it, so a longer text is cut to fit.
constexpr int kEffectNameSize = 32;
constexpr int kVendorStringSize = 64;
constexpr int kProductStringSize = 64;
constexpr int kParamNameSize = 8;
constexpr int kParamLabelSize = 8;
constexpr int kParamDisplaySize = 8;
constexpr int kProgramNameSize = 24;

} // namespace Vst2Abi
} // namespace Vst
} // namespace Steinberg
