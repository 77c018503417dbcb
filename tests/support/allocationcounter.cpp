#include "allocationcounter.h"

#include <cstdlib>
#include <new>

namespace
{

thread_local bool armed = false;
thread_local size_t allocations = 0;
thread_local size_t failAt = 0; // 0: none fails
thread_local bool hasFailed = false;

void* allocate(std::size_t size)
{
    if (armed && ++allocations == failAt)
    {
        hasFailed = true;
        throw std::bad_alloc();
    }
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

} // namespace

void* operator new(std::size_t size)
{
    return allocate(size);
}
void* operator new[](std::size_t size)
{
    return allocate(size);
}
// Kept out of line so that the compiler does not pair an inlined free () with the new-expression
// at the call site.
__attribute__((noinline)) void operator delete(void* p) noexcept
{
    std::free(p);
}
__attribute__((noinline)) void operator delete[](void* p) noexcept
{
    std::free(p);
}
__attribute__((noinline)) void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
__attribute__((noinline)) void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}

namespace QuorvaneTest
{

AllocationProbe::AllocationProbe() : AllocationProbe(0) {}

AllocationProbe::AllocationProbe(size_t failNth)
{
    allocations = 0;
    failAt = failNth;
    hasFailed = false;
    armed = true;
}

AllocationProbe::~AllocationProbe()
{
    armed = false;
}

size_t AllocationProbe::count() const
{
    return allocations;
}

bool AllocationProbe::failed() const
{
    return hasFailed;
}

} // namespace QuorvaneTest
