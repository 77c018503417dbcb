#include "failingallocation.h"

#include <cstdlib>
#include <new>

namespace {

thread_local bool armed = false;
thread_local size_t countdown = 0;
thread_local bool hasFailed = false;

void* allocate(std::size_t size)
{
    if (armed && --countdown == 0)
    {
        armed = false;
        hasFailed = true;
        throw std::bad_alloc();
    }
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

FailingAllocation::FailingAllocation(size_t nth)
{
    countdown = nth;
    hasFailed = false;
    armed = nth > 0;
}

FailingAllocation::~FailingAllocation() { armed = false; }

bool FailingAllocation::failed() const { return hasFailed; }

} // namespace QuorvaneTest
