#include "public.sdk/source/vst/hosting/parameterchanges.h"

#include <algorithm>

namespace Steinberg {
namespace Vst {

namespace {

uint32 addReference (std::atomic<int32>& count)
{
	return static_cast<uint32> (count.fetch_add (1) + 1);
}

// Drops a reference and tells whether it was the last one.
bool dropReference (std::atomic<int32>& count, uint32& remaining)
{
	const int32 left = count.fetch_sub (1) - 1;
	remaining = left > 0 ? static_cast<uint32> (left) : 0;
	return left == 0;
}

} // namespace

//------------------------------------------------------------------------
// ParameterValueQueue
//------------------------------------------------------------------------
ParameterValueQueue::ParameterValueQueue (ParamID paramID, int32 maxPoints) : paramID (paramID)
{
	setMaxPoints (maxPoints);
}

void ParameterValueQueue::setParamID (ParamID id)
{
	paramID = id;
	count = 0;
}

void ParameterValueQueue::clear () { count = 0; }

void ParameterValueQueue::setMaxPoints (int32 newMaxPoints)
{
	maxPoints = std::max<int32> (newMaxPoints, 0);
	points.resize (static_cast<size_t> (maxPoints));
	count = std::min (count, maxPoints);
}

ParamID PLUGIN_API ParameterValueQueue::getParameterId () { return paramID; }

int32 PLUGIN_API ParameterValueQueue::getPointCount () { return count; }

tresult PLUGIN_API ParameterValueQueue::getPoint (int32 index, int32& sampleOffset,
                                                  ParamValue& value)
{
	if (index < 0 || index >= count)
		return kResultFalse;
	const Point& point = points[static_cast<size_t> (index)];
	sampleOffset = point.sampleOffset;
	value = point.value;
	return kResultTrue;
}

tresult PLUGIN_API ParameterValueQueue::addPoint (int32 sampleOffset, ParamValue value,
                                                  int32& index)
{
	if (sampleOffset < 0)
		return kInvalidArgument;

	// Points usually come in sample order: a later one goes at the end.
	if (count > 0 && points[static_cast<size_t> (count - 1)].sampleOffset >= sampleOffset)
		return insertPoint (sampleOffset, value, index);
	if (count >= maxPoints)
		return kResultFalse;
	Point& point = points[static_cast<size_t> (count)];
	point.sampleOffset = sampleOffset;
	point.value = value;
	index = count++;
	return kResultTrue;
}

tresult ParameterValueQueue::insertPoint (int32 sampleOffset, ParamValue value, int32& index)
{
	const auto end = points.begin () + count;
	const auto at =
	    std::lower_bound (points.begin (), end, sampleOffset,
	                      [] (const Point& p, int32 offset) { return p.sampleOffset < offset; });
	if (at != end && at->sampleOffset == sampleOffset)
	{
		at->value = value;
		index = static_cast<int32> (at - points.begin ());
		return kResultTrue;
	}
	if (count >= maxPoints)
		return kResultFalse;
	std::copy_backward (at, end, end + 1);
	*at = Point {sampleOffset, value};
	++count;
	index = static_cast<int32> (at - points.begin ());
	return kResultTrue;
}

tresult PLUGIN_API ParameterValueQueue::queryInterface (const TUID _iid, void** obj)
{
	if (obj == nullptr)
		return kInvalidArgument;
	QUERY_INTERFACE (_iid, obj, FUnknown::iid, IParamValueQueue)
	QUERY_INTERFACE (_iid, obj, IParamValueQueue::iid, IParamValueQueue)
	*obj = nullptr;
	return kNoInterface;
}

uint32 PLUGIN_API ParameterValueQueue::addRef () { return addReference (refCount); }

uint32 PLUGIN_API ParameterValueQueue::release ()
{
	uint32 remaining = 0;
	if (dropReference (refCount, remaining))
		delete this;
	return remaining;
}

//------------------------------------------------------------------------
// ParameterChanges
//------------------------------------------------------------------------
ParameterChanges::ParameterChanges (int32 maxParameters, int32 maxPointsPerQueue)
: maxPointsPerQueue (std::max<int32> (maxPointsPerQueue, 0))
{
	setMaxParameters (maxParameters);
}

void ParameterChanges::setMaxParameters (int32 maxParameters)
{
	const auto wanted = static_cast<size_t> (std::max<int32> (maxParameters, 0));
	if (wanted < queues.size ())
		queues.resize (wanted);
	queues.reserve (wanted);
	while (queues.size () < wanted)
		queues.push_back (owned (new ParameterValueQueue (kNoParamId, maxPointsPerQueue)));
	usedQueueCount = std::min (usedQueueCount, static_cast<int32> (queues.size ()));
	queueOfId.assign (wanted, 0);
	for (int32 i = 0; i < usedQueueCount; ++i)
	{
		const ParamID id = queues[static_cast<size_t> (i)]->paramID;
		if (id < queueOfId.size ())
			queueOfId[id] = i;
	}
}

void ParameterChanges::setMaxPointsPerQueue (int32 maxPoints)
{
	maxPointsPerQueue = std::max<int32> (maxPoints, 0);
	for (auto& queue : queues)
		queue->setMaxPoints (maxPointsPerQueue);
}

void ParameterChanges::clearQueue ()
{
	// Queues past the used ones are out of sight, and one is emptied when it is taken into use
	// again (setParamID), so nothing else needs to be touched.
	usedQueueCount = 0;
}

int32 PLUGIN_API ParameterChanges::getParameterCount () { return usedQueueCount; }

IParamValueQueue* PLUGIN_API ParameterChanges::getParameterData (int32 index)
{
	if (index < 0 || index >= usedQueueCount)
		return nullptr;
	return queues[static_cast<size_t> (index)];
}

IParamValueQueue* PLUGIN_API ParameterChanges::addParameterData (const ParamID& id, int32& index)
{
	const bool listed = id < queueOfId.size ();
	if (listed)
	{
		// Every queue of such an ID was appended below and noted, so a note that
		// does not hold means the parameter is not in the list.
		const int32 at = queueOfId[id];
		if (at < usedQueueCount && queues[static_cast<size_t> (at)]->paramID == id)
		{
			index = at;
			return queues[static_cast<size_t> (at)];
		}
	}
	else
	{
		for (int32 i = 0; i < usedQueueCount; ++i)
		{
			if (queues[static_cast<size_t> (i)]->paramID == id)
			{
				index = i;
				return queues[static_cast<size_t> (i)];
			}
		}
	}
	const int32 next = usedQueueCount;
	if (next >= getMaxParameters ())
	{
		index = -1;
		return nullptr;
	}
	ParameterValueQueue* queue = queues[static_cast<size_t> (next)];
	queue->setParamID (id);
	if (listed)
		queueOfId[id] = next;
	usedQueueCount = next + 1;
	index = next;
	return queue;
}

tresult PLUGIN_API ParameterChanges::queryInterface (const TUID _iid, void** obj)
{
	if (obj == nullptr)
		return kInvalidArgument;
	QUERY_INTERFACE (_iid, obj, FUnknown::iid, IParameterChanges)
	QUERY_INTERFACE (_iid, obj, IParameterChanges::iid, IParameterChanges)
	*obj = nullptr;
	return kNoInterface;
}

uint32 PLUGIN_API ParameterChanges::addRef () { return addReference (refCount); }

uint32 PLUGIN_API ParameterChanges::release ()
{
	uint32 remaining = 0;
	if (dropReference (refCount, remaining))
		delete this;
	return remaining;
}

} // namespace Vst
} // namespace Steinberg
