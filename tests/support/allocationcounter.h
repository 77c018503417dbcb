// Counts heap allocations made by the current thread while a probe is armed. Link
// allocationcounter.cpp into a test executable to replace the global operator new.
#pragma once

#include <cstddef>

namespace QuorvaneTest {

struct AllocationProbe
{
    AllocationProbe();
    ~AllocationProbe();
    size_t count() const;
};

} // namespace QuorvaneTest
