#include "gaterandom.h"

#include "engineconstants.h"

#include <ctime>

namespace Quorvane
{

GateRandom::GateRandom() : GateRandom(static_cast<uint32_t>(std::time(nullptr))) {}

GateRandom::GateRandom(uint32_t seed) : generator_(seed), distribution_(0, kRandomMax) {}

void GateRandom::seed(uint32_t seed)
{
    generator_.seed(seed);
    distribution_.reset();
}

int GateRandom::next()
{
    return distribution_(generator_);
}

} // namespace Quorvane
