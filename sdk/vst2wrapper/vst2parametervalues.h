// The value of every parameter, by VST 2 index, as the host sees it: what the host set last, what
// the plug-in's editor edited, what a chunk restored, the processor's latest outputs.
// getParameter answers from here on any thread, the audio thread included, without reaching the
// controller: reading and writing neither lock nor allocate.
#pragma once

#include "pluginterfaces/vst/vsttypes.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>

namespace Steinberg {
namespace Vst {

class Vst2ParameterValues
{
public:
	explicit Vst2ParameterValues (int32 count)
	: values (new std::atomic<float>[count > 0 ? count : 1]), count (count > 0 ? count : 0)
	{
		for (int32 i = 0; i < this->count; ++i)
			values[i].store (0.f, std::memory_order_relaxed);
	}

	/** The value at index (0 out of range). */
	float get (int32 index) const
	{
		return index >= 0 && index < count ? values[index].load (std::memory_order_relaxed) : 0.f;
	}

	/** Held as a parameter holds it: a value outside 0..1 as the nearest end of the range. One
	    that is not a number, or an index out of range, is ignored. */
	void set (int32 index, ParamValue value)
	{
		if (index >= 0 && index < count && !std::isnan (value))
			values[index].store (static_cast<float> (std::clamp (value, 0., 1.)),
			                     std::memory_order_relaxed);
	}

private:
	std::unique_ptr<std::atomic<float>[]> values;
	int32 count;
};

} // namespace Vst
} // namespace Steinberg
