#pragma once

#include <cstdint>
#include <random>

namespace Quorvane
{

// Uniform pseudo-random integers 0..32767 for "Beat Skip". Seeded once from
// the clock by default; tests seed it explicitly to get repeatable notes.
// Drawing never allocates.
class GateRandom
{
public:
    GateRandom();
    explicit GateRandom(uint32_t seed);

    void seed(uint32_t seed);
    int next();

private:
    std::minstd_rand generator_;
    std::uniform_int_distribution<int> distribution_;
};

} // namespace Quorvane
