// A host's ProcessData that owns its bus buffers: one silent buffer of
// maxSamples samples per channel, and the channel pointer arrays the buses
// point to. Prepare it while not processing; processing then only reads and
// writes the prepared buffers.
#pragma once

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"

#include <vector>

namespace Steinberg {
namespace Vst {

class HostProcessData : public ProcessData
{
public:
	HostProcessData ();
	~HostProcessData () = default;

	HostProcessData (const HostProcessData&) = delete;
	HostProcessData& operator= (const HostProcessData&) = delete;

	/** Buffers for buses with the given channel counts (one entry per bus).
	    numSamples becomes maxSamples. False, and nothing prepared, for a
	    negative count or size, or a sample size other than kSample32 and
	    kSample64. */
	bool prepare (const std::vector<int32>& inputChannels, const std::vector<int32>& outputChannels,
	              int32 maxSamples, int32 sampleSize = kSample32);

	/** Buffers for every audio bus of the component, with the channel counts
	    its bus info reports. */
	bool prepare (IComponent& component, int32 maxSamples, int32 sampleSize = kSample32);

	/** Drops every buffer: no buses, no samples. */
	void unprepare ();

	/** Zeroes every prepared sample and clears the silence flags. */
	void silence ();

	/** The prepared buffer of a channel (even when a caller has pointed the
	    bus elsewhere), or null for a channel that does not exist or a buffer
	    of the other sample size. */
	Sample32* getChannel32 (BusDirection dir, int32 bus, int32 channel);
	Sample64* getChannel64 (BusDirection dir, int32 bus, int32 channel);

	int32 getMaxSamples () const { return maxSamples; }

protected:
	struct Side
	{
		std::vector<AudioBusBuffers> buses;
		std::vector<int32> firstChannel; // index of each bus's first channel
		std::vector<int32> channelCount;
		std::vector<Sample32*> pointers32;
		std::vector<Sample64*> pointers64;
		std::vector<Sample32> samples32;
		std::vector<Sample64> samples64;
	};

	void build (Side& side, const std::vector<int32>& channels);
	Side* sideOf (BusDirection dir);
	int32 channelIndex (BusDirection dir, int32 bus, int32 channel);

	Side inputSide;
	Side outputSide;
	int32 maxSamples {0};
};

} // namespace Vst
} // namespace Steinberg
