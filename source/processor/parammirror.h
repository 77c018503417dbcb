// The processor's copy of the 17 input parameters, as last received from the host.
#pragma once

#include "paramids.h"

#include <cstdint>

namespace Quorvane {

struct ParamMirror
{
    bool switches[kNumSwitchParams] = {};
    float values[kNumContinuousParams] = {};   // normalized, as received (not clamped)

    // A state generation number; it travels with handed-over copies and is not stored.
    uint64_t generation = 0;

    float& value(uint32_t id) { return values[id - kFirstContinuousId]; }
    float value(uint32_t id) const { return values[id - kFirstContinuousId]; }
};

} // namespace Quorvane
