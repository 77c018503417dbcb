// Makes one chosen heap allocation of the current thread fail with std::bad_alloc, to see what
// code does when memory runs out. Link failingallocation.cpp into a test executable of its own:
// it replaces the global operator new.
#pragma once

#include <cstddef>

namespace QuorvaneTest {

class FailingAllocation
{
public:
    // The nth allocation of this thread from now on (1 = the next one) fails; the others succeed.
    explicit FailingAllocation(size_t nth);
    ~FailingAllocation();
    FailingAllocation(const FailingAllocation&) = delete;
    FailingAllocation& operator=(const FailingAllocation&) = delete;

    // Whether the chosen allocation has been asked for (and failed).
    bool failed() const;
};

} // namespace QuorvaneTest
