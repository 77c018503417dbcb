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
	void post (int32 index, ParamValue value)
	{
		if (index < 0 || index >= count)
			return;
		slots[index].value.store (value, std::memory_order_relaxed);
		slots[index].pending.store (true, std::memory_order_release);
		anyPending.store (true, std::memory_order_release);
	}

	/** Moves every pending value into changes, one point at sample offset 0
	    per parameter, in index order, and empties the slots. */
	void takeInto (IParameterChanges& changes);

	/** Keeps value as the pending value of the parameter id; returns its
	    index (unknown IDs are ignored: -1). */
	int32 postById (ParamID id, ParamValue value)
	{
		// Parameters are usually numbered by index; look there first.
		if (id < static_cast<uint32> (count) && slots[id].id == id)
		{
			post (static_cast<int32> (id), value);
			return static_cast<int32> (id);
		}
		return postByIdSearching (id, value);
	}

	/** Takes the pending value of index, if there is one. */
	bool take (int32 index, ParamValue& value);

	ParamID getId (int32 index) const { return slots[index].id; }

	/** Drops every pending value. */
	void clear ();

	bool isPending (int32 index) const;

private:
	int32 postByIdSearching (ParamID id, ParamValue value);

	struct Slot
	{
		std::atomic<ParamValue> value {0.};
		std::atomic<bool> pending {false};
		ParamID id = 0;
	};

	std::unique_ptr<Slot[]> slots;
	int32 count;
	// Set after a slot is marked pending and cleared by takeInto before it
	// looks at the slots, so a value posted meanwhile is taken then or by the
	// next takeInto. Blocks without new values skip the slots altogether.
	std::atomic<bool> anyPending {false};
};

} // namespace Vst
} // namespace Steinberg
