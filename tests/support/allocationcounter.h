// Watches the heap allocations of the current thread while a probe lives: counts them and, when
// asked, makes one of them fail with std::bad_alloc, to see what code does when memory runs out.
// Link allocationcounter.cpp into the test executable: it replaces the global allocation
// functions (outside a probe they only allocate).
#pragma once

#include <cstddef>

namespace QuorvaneTest
{

class AllocationProbe
{
public:
    // Counts only.
    AllocationProbe();
    // The nth allocation of this thread from now on (1 = the next one) fails; the others succeed.
    explicit AllocationProbe(size_t failNth);
    ~AllocationProbe();
    AllocationProbe(const AllocationProbe&) = delete;
    AllocationProbe& operator=(const AllocationProbe&) = delete;

    // Allocations asked for on this thread since the probe began, a failed one included.
    size_t count() const;
    // Whether the chosen allocation has been asked for (and failed).
    bool failed() const;
};

} // namespace QuorvaneTest
