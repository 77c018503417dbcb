// Runs a wrapped VST 3 processor for a VST 2 host's processReplacing: the
// host's main input and output channels become the main buses, the other
// buses get silent (input) or scratch (output) buffers, parameter values
// waiting in the slots become the block's input parameter changes, and the
// last value of each of the processor's output parameter changes waits in
// the output slots, for the wrapper to hand to the controller on the host's
// user-interface thread (and is the output's value for the host at once).
// Everything is allocated by configure(); process() never allocates.
#pragma once

#include "vst2parameterslots.h"
#include "vst2parametervalues.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "public.sdk/source/vst/hosting/parameterchanges.h"

#include <vector>

namespace Steinberg {
namespace Vst {

class Vst2AudioBridge
{
public:
	/** processor, both slot sets and the values must outlive the bridge. */
	Vst2AudioBridge (IAudioProcessor& processor, Vst2ParameterSlots& inputSlots,
	                 Vst2ParameterSlots& outputSlots, Vst2ParameterValues& values);

	/** Channel counts of every audio bus (index 0 is the main bus, the one
	    the VST 2 host feeds), the largest block the processor accepts and the
	    number of parameters. Call only while the processor is not
	    processing. */
	void configure (const std::vector<int32>& inputBusChannels,
	                const std::vector<int32>& outputBusChannels, int32 maxBlockSize,
	                int32 parameterCount);

	/** One VST 2 block; blocks longer than the processor's maximum are split.
	    Pending parameter values go with the first part. */
	void process (float** inputs, float** outputs, int32 frames);

	/** Writes silence to the main outputs (used while suspended). */
	void silence (float** outputs, int32 frames) const;

	int32 getMainInputChannels () const;
	int32 getMainOutputChannels () const;

private:
	void processPart (float** inputs, float** outputs, int32 offset, int32 frames);
	void keepOutputChanges ();

	IAudioProcessor& processor;
	Vst2ParameterSlots& inputSlots;
	Vst2ParameterSlots& outputSlots;
	Vst2ParameterValues& values;

	ProcessData data;
	std::vector<AudioBusBuffers> inputBuses;
	std::vector<AudioBusBuffers> outputBuses;
	std::vector<float*> mainInputs; // offset pointers into the host's buffers
	std::vector<float*> mainOutputs;
	std::vector<float*> silentChannels;  // every one points at silentBuffer
	std::vector<float*> scratchChannels; // every one points at scratchBuffer
	std::vector<float> silentBuffer;
	std::vector<float> scratchBuffer;
	ParameterChanges inputChanges;
	ParameterChanges outputChanges;
	int32 maxBlockSize = 0;
};

} // namespace Vst
} // namespace Steinberg
