// The value of every parameter, by VST 2 index, as the host sees it: what the host set last, what
// the plug-in's editor edited, what a chunk restored, the processor's latest outputs.
// getParameter answers from here on any thread, the audio thread included, without reaching the
// controller: reading and writing neither lock nor allocate.
#pragma once

#include "pluginterfaces/vst/vsttypes.h"

#include <atomic>
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

	/** Out of range: ignored. */
	void set (int32 index, ParamValue value)
	{
		if (index >= 0 && index < count)
			values[index].store (static_cast<float> (value), std::memory_order_relaxed);
	}

private:
	std::unique_ptr<std::atomic<float>[]> values;
	int32 count;
};

} // namespace Vst
} // namespace Steinberg
