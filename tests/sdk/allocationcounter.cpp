#include "allocationcounter.h"

#include <cstdlib>
#include <new>

namespace {

thread_local bool counting = false;
thread_local std::size_t allocations = 0;

void* allocate (std::size_t size)
{
	if (counting)
		++allocations;
	if (size == 0)
		size = 1;
	if (void* p = std::malloc (size))
		return p;
	throw std::bad_alloc ();
}

} // namespace

// Every plain and array form of new ends here in libstdc++.
void* operator new (std::size_t size)
{
	return allocate (size);
}

void operator delete (void* p) noexcept
{
	std::free (p);
}

void operator delete (void* p, std::size_t) noexcept
{
	std::free (p);
}

namespace Quorvane {
namespace Testing {

AllocationScope::AllocationScope ()
{
	allocations = 0;
	counting = true;
}

AllocationScope::~AllocationScope ()
{
	counting = false;
}

std::size_t AllocationScope::count () const
{
	return allocations;
}

} // namespace Testing
} // namespace Quorvane
