// The processor's stored state, 68 bytes: 17 little-endian fields of 4 bytes in parameter order,
// five int32 switches followed by twelve normalized float32 values. The processor saves and loads
// it; the controller reads it to show what the processor runs with, so both read it here.
#pragma once

#include "paramids.h"

#include <cstdint>

namespace Steinberg
{
class IBStream;
}

namespace Quorvane
{

constexpr int32_t kProcessorStateSize = 4 * int32_t(kNumInputParams);

struct ProcessorState
{
    bool switches[kNumSwitchParams] = {};
    float values[kNumContinuousParams] = {}; // normalized, as stored (not clamped)

    float& value(uint32_t id) { return values[id - kFirstContinuousId]; }
    float value(uint32_t id) const { return values[id - kFirstContinuousId]; }
};

// Writes the 17 fields, a switch as exactly 1 or 0.
bool writeProcessorState(Steinberg::IBStream* stream, const ProcessorState& state);

// Reads the 17 fields; `state` is changed only when every read succeeded. A switch is on when its
// field is greater than zero. Each field is cleared before it is read, so a stream that reports
// success without delivering bytes gives zeros. Values are passed on as stored, even when they
// are not numbers: what to do with those is the reader's business.
bool readProcessorState(Steinberg::IBStream* stream, ProcessorState& state);

} // namespace Quorvane
