// Host-side parameter change lists for process calls. All memory is
// reserved up front (setMaxParameters, setMaxPoints); during processing
// adding queues and points only uses what is reserved and never allocates,
// so a processor may fill an output list on the audio thread.
//
// Both classes are reference counted like any FUnknown, start with one
// reference, and may also live on the stack or as members as long as nobody
// releases the reference they are born with.
#pragma once

#include "pluginterfaces/base/smartpointer.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"

#include <atomic>
#include <vector>

namespace Steinberg {
namespace Vst {

/** The points of one parameter in one block, kept in sample-offset order. */
class ParameterValueQueue : public IParamValueQueue
{
public:
	static constexpr int32 kDefaultMaxPoints = 16;

	explicit ParameterValueQueue (ParamID paramID = kNoParamId,
	                              int32 maxPoints = kDefaultMaxPoints);
	virtual ~ParameterValueQueue () = default;

	ParameterValueQueue (const ParameterValueQueue&) = delete;
	ParameterValueQueue& operator= (const ParameterValueQueue&) = delete;

	/** Sets the parameter and removes all points. */
	void setParamID (ParamID id);
	/** Removes all points; keeps the parameter and the reserved memory. */
	void clear ();
	/** Reserves room for this many points (allocates; not while processing). */
	void setMaxPoints (int32 maxPoints);
	int32 getMaxPoints () const { return maxPoints; }

	/** The parameter and the last point without a call through the
	    interface, for a host that reads back what it handed out. */
	ParamID id () const { return paramID; }
	/** The value of the last point; false when there are none. */
	bool lastValue (ParamValue& value) const
	{
		if (count == 0)
			return false;
		value = points[static_cast<size_t> (count - 1)].value;
		return true;
	}

	//--- IParamValueQueue ---
	ParamID PLUGIN_API getParameterId () SMTG_OVERRIDE;
	int32 PLUGIN_API getPointCount () SMTG_OVERRIDE;
	/** kResultFalse for an index outside the points. */
	tresult PLUGIN_API getPoint (int32 index, int32& sampleOffset, ParamValue& value) SMTG_OVERRIDE;
	/** Inserts the point by sample offset; a point at an offset that is already
	    taken replaces that point's value. A negative offset is refused with
	    kInvalidArgument, a full queue with kResultFalse. */
	tresult PLUGIN_API addPoint (int32 sampleOffset, ParamValue value, int32& index) SMTG_OVERRIDE;

	//--- FUnknown ---
	tresult PLUGIN_API queryInterface (const TUID _iid, void** obj) SMTG_OVERRIDE;
	uint32 PLUGIN_API addRef () SMTG_OVERRIDE;
	uint32 PLUGIN_API release () SMTG_OVERRIDE;

protected:
	friend class ParameterChanges;

	// addPoint for a point that does not go at the end.
	[[gnu::noinline]] tresult insertPoint (int32 sampleOffset, ParamValue value, int32& index);

	struct Point
	{
		int32 sampleOffset;
		ParamValue value;
	};

	ParamID paramID;
	int32 maxPoints {0};
	// maxPoints entries, the first count of them in use: adding a point is a store, with none
	// of a growing container's checks.
	std::vector<Point> points;
	int32 count {0};
	std::atomic<int32> refCount {1};
};

/** The changed parameters of one block: one queue per parameter. */
class ParameterChanges : public IParameterChanges
{
public:
	explicit ParameterChanges (int32 maxParameters = 0,
	                           int32 maxPointsPerQueue = ParameterValueQueue::kDefaultMaxPoints);
	virtual ~ParameterChanges () = default;

	ParameterChanges (const ParameterChanges&) = delete;
	ParameterChanges& operator= (const ParameterChanges&) = delete;

	/** Reserves queues for this many parameters (allocates; not while processing). */
	void setMaxParameters (int32 maxParameters);
	int32 getMaxParameters () const { return static_cast<int32> (queues.size ()); }
	/** Reserves this many points in every queue (allocates; not while processing). */
	void setMaxPointsPerQueue (int32 maxPoints);

	/** Empties the list for the next block; keeps the reserved memory. */
	void clearQueue ();

	/** The queue at index like getParameterData, without a call through the
	    interface. */
	ParameterValueQueue* queueAt (int32 index) const
	{
		return index >= 0 && index < usedQueueCount ? queues[static_cast<size_t> (index)].get ()
		                                            : nullptr;
	}

	//--- IParameterChanges ---
	int32 PLUGIN_API getParameterCount () SMTG_OVERRIDE;
	/** The queue at index, or null outside the list. */
	IParamValueQueue* PLUGIN_API getParameterData (int32 index) SMTG_OVERRIDE;
	/** The queue of the parameter: the existing one if the parameter is in the
	    list already, else a reserved one appended to the list. Null (index -1)
	    when all reserved queues are in use. */
	IParamValueQueue* PLUGIN_API addParameterData (const ParamID& id, int32& index) SMTG_OVERRIDE;

	//--- FUnknown ---
	tresult PLUGIN_API queryInterface (const TUID _iid, void** obj) SMTG_OVERRIDE;
	uint32 PLUGIN_API addRef () SMTG_OVERRIDE;
	uint32 PLUGIN_API release () SMTG_OVERRIDE;

protected:
	std::vector<IPtr<ParameterValueQueue>> queues;
	// Where the queue of a parameter whose ID is below the number of queues
	// was last appended, so that finding it takes no search. An entry is
	// trusted only when that queue is in use and still holds the parameter,
	// so emptying the list need not touch it.
	std::vector<int32> queueOfId;
	int32 usedQueueCount {0};
	int32 maxPointsPerQueue;
	std::atomic<int32> refCount {1};
};

} // namespace Vst
} // namespace Steinberg
