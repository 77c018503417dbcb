// The processor's copy of the 17 input parameters, as last received from the host.
#pragma once

#include "paramids.h"

#include <cstdint>

namespace Quorvane {

struct ParamMirror
{
    static constexpr int kNumSwitches = 5;   // IDs 0..4
    static constexpr int kNumValues = 12;    // IDs 5..16

    bool switches[kNumSwitches] = {};
    float values[kNumValues] = {};           // normalized, as received (not clamped)

    // A state generation number; it travels with handed-over copies and is not stored.
    uint64_t generation = 0;

    static bool isSwitch(uint32_t id) { return id < kNumSwitches; }
    float& value(uint32_t id) { return values[id - kNumSwitches]; }
    float value(uint32_t id) const { return values[id - kNumSwitches]; }
};

} // namespace Quorvane
