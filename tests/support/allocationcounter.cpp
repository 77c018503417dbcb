#include "allocationcounter.h"

#include <cstdlib>
#include <new>

namespace {
thread_local bool armed = false;
thread_local size_t allocations = 0;

void* allocate(std::size_t size)
{
    if (armed)
        ++allocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
} // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace QuorvaneTest {
AllocationProbe::AllocationProbe()
{
    allocations = 0;
    armed = true;
}
AllocationProbe::~AllocationProbe() { armed = false; }
size_t AllocationProbe::count() const { return allocations; }
} // namespace QuorvaneTest
