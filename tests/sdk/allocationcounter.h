// Counts heap allocations made by the calling thread while a scope is open.
#pragma once

#include <cstddef>

namespace Quorvane {
namespace Testing {

class AllocationScope
{
public:
	AllocationScope ();
	~AllocationScope ();
	AllocationScope (const AllocationScope&) = delete;
	AllocationScope& operator= (const AllocationScope&) = delete;

	/** Allocations made on this thread since the scope opened. */
	std::size_t count () const;
};

} // namespace Testing
} // namespace Quorvane
