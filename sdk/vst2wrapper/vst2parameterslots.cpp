#include "vst2parameterslots.h"

namespace Steinberg {
namespace Vst {

Vst2ParameterSlots::Vst2ParameterSlots (const ParamID* ids, int32 count)
: slots (new Slot[count > 0 ? count : 1]), count (count > 0 ? count : 0)
{
	for (int32 i = 0; i < this->count; ++i)
		slots[i].id = ids[i];
}

int32 Vst2ParameterSlots::postByIdSearching (ParamID id, ParamValue value)
{
	for (int32 i = 0; i < count; ++i)
	{
		if (slots[i].id == id)
		{
			post (i, value);
			return i;
		}
	}
	return -1;
}

bool Vst2ParameterSlots::take (int32 index, ParamValue& value)
{
	if (index < 0 || index >= count ||
	    !slots[index].pending.exchange (false, std::memory_order_acq_rel))
		return false;
	value = slots[index].value.load (std::memory_order_relaxed);
	return true;
}

void Vst2ParameterSlots::takeInto (IParameterChanges& changes)
{
	// A plain load first, as below for each slot: the exchange is a locked instruction.
	if (!anyPending.load (std::memory_order_relaxed) ||
	    !anyPending.exchange (false, std::memory_order_acq_rel))
		return;
	for (int32 i = 0; i < count; ++i)
	{
		Slot& slot = slots[i];
		// A plain load first: most blocks find nothing pending, and the
		// exchange is a locked instruction.
		if (!slot.pending.load (std::memory_order_relaxed) ||
		    !slot.pending.exchange (false, std::memory_order_acq_rel))
			continue;
		const ParamValue value = slot.value.load (std::memory_order_relaxed);
		int32 queueIndex = 0;
		if (IParamValueQueue* queue = changes.addParameterData (slot.id, queueIndex))
		{
			int32 pointIndex = 0;
			queue->addPoint (0, value, pointIndex);
		}
	}
}

void Vst2ParameterSlots::clear ()
{
	for (int32 i = 0; i < count; ++i)
		slots[i].pending.store (false, std::memory_order_release);
}

bool Vst2ParameterSlots::isPending (int32 index) const
{
	return index >= 0 && index < count && slots[index].pending.load (std::memory_order_acquire);
}

} // namespace Vst
} // namespace Steinberg
