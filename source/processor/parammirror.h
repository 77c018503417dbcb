// The processor's copy of the 17 input parameters, as last received from the host.
#pragma once

#include "processorstate.h"

#include <cstdint>

namespace Quorvane
{

struct ParamMirror : ProcessorState
{
    // A state generation number; it travels with handed-over copies and is not stored.
    uint64_t generation = 0;
};

} // namespace Quorvane
