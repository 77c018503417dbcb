// Parameter values waiting to be passed on: the values a VST 2 host (or the
// plug-in's own editor) set between two blocks, for the processor, and the
// output values of the processor, for the controller. One slot per
// parameter index keeps the last value; posting and taking are lock-free
// and allocation-free, so either may happen on the audio thread.
#pragma once

#include "pluginterfaces/vst/ivstparameterchanges.h"

#include <atomic>
#include <memory>

namespace Steinberg {
namespace Vst {

class Vst2ParameterSlots
{
public:
	/** One slot per parameter index; ids[i] is the ID of index i. */
	Vst2ParameterSlots (const ParamID* ids, int32 count);

	int32 getCount () const { return count; }

	/** Keeps value as the pending value of the parameter at index (out of
	    range: ignored). */
	void post (int32 index, ParamValue value);

	/** Moves every pending value into changes, one point at sample offset 0
	    per parameter, in index order, and empties the slots. */
	void takeInto (IParameterChanges& changes);

	/** Keeps value as the pending value of the parameter id (unknown IDs are
	    ignored). */
	void postById (ParamID id, ParamValue value);

	/** Takes the pending value of index, if there is one. */
	bool take (int32 index, ParamValue& value);

	ParamID getId (int32 index) const { return slots[index].id; }

	/** Drops every pending value. */
	void clear ();

	bool isPending (int32 index) const;

private:
	struct Slot
	{
		std::atomic<ParamValue> value {0.};
		std::atomic<bool> pending {false};
		ParamID id = 0;
	};

	std::unique_ptr<Slot[]> slots;
	int32 count;
};

} // namespace Vst
} // namespace Steinberg
