#include "vst2audiobridge.h"

#include <algorithm>
#include <cstring>

namespace Steinberg {
namespace Vst {

namespace {

uint64 allChannels (int32 channels)
{
	return channels >= 64 ? ~uint64 (0) : (uint64 (1) << channels) - 1;
}

} // namespace

Vst2AudioBridge::Vst2AudioBridge (IAudioProcessor& processor, Vst2ParameterSlots& inputSlots,
                                  Vst2ParameterSlots& outputSlots, Vst2ParameterValues& values)
: processor (processor), inputSlots (inputSlots), outputSlots (outputSlots), values (values)
{
}

void Vst2AudioBridge::configure (const std::vector<int32>& inputBusChannels,
                                 const std::vector<int32>& outputBusChannels, int32 maxBlockSize,
                                 int32 parameterCount)
{
	this->maxBlockSize = std::max<int32> (maxBlockSize, 0);

	int32 auxInputChannels = 0;
	for (size_t i = 1; i < inputBusChannels.size (); ++i)
		auxInputChannels = std::max (auxInputChannels, inputBusChannels[i]);
	int32 auxOutputChannels = 0;
	for (size_t i = 1; i < outputBusChannels.size (); ++i)
		auxOutputChannels = std::max (auxOutputChannels, outputBusChannels[i]);

	silentBuffer.assign (auxInputChannels > 0 ? this->maxBlockSize : 0, 0.f);
	scratchBuffer.assign (auxOutputChannels > 0 ? this->maxBlockSize : 0, 0.f);
	silentChannels.assign (auxInputChannels, silentBuffer.data ());
	scratchChannels.assign (auxOutputChannels, scratchBuffer.data ());
	mainInputs.assign (inputBusChannels.empty () ? 0 : std::max<int32> (inputBusChannels[0], 0),
	                   nullptr);
	mainOutputs.assign (outputBusChannels.empty () ? 0 : std::max<int32> (outputBusChannels[0], 0),
	                    nullptr);

	inputBuses.assign (inputBusChannels.size (), AudioBusBuffers ());
	for (size_t i = 0; i < inputBuses.size (); ++i)
	{
		inputBuses[i].numChannels = std::max<int32> (inputBusChannels[i], 0);
		if (i == 0)
			inputBuses[i].channelBuffers32 = mainInputs.data ();
		else
		{
			inputBuses[i].channelBuffers32 = silentChannels.data ();
			inputBuses[i].silenceFlags = allChannels (inputBuses[i].numChannels);
		}
	}
	outputBuses.assign (outputBusChannels.size (), AudioBusBuffers ());
	for (size_t i = 0; i < outputBuses.size (); ++i)
	{
		outputBuses[i].numChannels = std::max<int32> (outputBusChannels[i], 0);
		outputBuses[i].channelBuffers32 = i == 0 ? mainOutputs.data () : scratchChannels.data ();
	}

	inputChanges.setMaxParameters (parameterCount);
	outputChanges.setMaxParameters (parameterCount);
	inputChanges.clearQueue ();
	outputChanges.clearQueue ();

	data = ProcessData ();
	data.processMode = kRealtime;
	data.symbolicSampleSize = kSample32;
	data.numInputs = static_cast<int32> (inputBuses.size ());
	data.numOutputs = static_cast<int32> (outputBuses.size ());
	data.inputs = inputBuses.empty () ? nullptr : inputBuses.data ();
	data.outputs = outputBuses.empty () ? nullptr : outputBuses.data ();
	data.inputParameterChanges = &inputChanges;
	data.outputParameterChanges = &outputChanges;
}

int32 Vst2AudioBridge::getMainInputChannels () const
{
	return static_cast<int32> (mainInputs.size ());
}

int32 Vst2AudioBridge::getMainOutputChannels () const
{
	return static_cast<int32> (mainOutputs.size ());
}

void Vst2AudioBridge::silence (float** outputs, int32 frames) const
{
	if (outputs == nullptr || frames <= 0)
		return;
	for (size_t c = 0; c < mainOutputs.size (); ++c)
		if (outputs[c] != nullptr)
			std::memset (outputs[c], 0, sizeof (float) * static_cast<size_t> (frames));
}

void Vst2AudioBridge::process (float** inputs, float** outputs, int32 frames)
{
	if (frames <= 0)
		return;
	if (maxBlockSize <= 0)
	{
		silence (outputs, frames);
		return;
	}
	inputSlots.takeInto (inputChanges);
	for (int32 offset = 0; offset < frames; offset += maxBlockSize)
	{
		processPart (inputs, outputs, offset, std::min (maxBlockSize, frames - offset));
		inputChanges.clearQueue ();
	}
}

void Vst2AudioBridge::processPart (float** inputs, float** outputs, int32 offset, int32 frames)
{
	for (size_t c = 0; c < mainInputs.size (); ++c)
		mainInputs[c] = inputs ? inputs[c] + offset : nullptr;
	for (size_t c = 0; c < mainOutputs.size (); ++c)
		mainOutputs[c] = outputs ? outputs[c] + offset : nullptr;
	if (!inputBuses.empty ())
		inputBuses[0].silenceFlags = 0;
	for (auto& bus : outputBuses)
		bus.silenceFlags = 0;

	data.numSamples = frames;
	processor.process (data);
	keepOutputChanges ();
}

void Vst2AudioBridge::keepOutputChanges ()
{
	// The list is our own: read it directly rather than through its interface.
	const int32 count = outputChanges.getParameterCount ();
	for (int32 i = 0; i < count; ++i)
	{
		const ParameterValueQueue& queue = *outputChanges.queueAt (i); // i is within the list
		ParamValue value = 0.;
		if (queue.lastValue (value))
			values.set (outputSlots.postById (queue.id (), value), value);
	}
	outputChanges.clearQueue ();
}

} // namespace Vst
} // namespace Steinberg
