#include "public.sdk/source/vst/hosting/processdata.h"

#include <algorithm>

namespace Steinberg {
namespace Vst {

HostProcessData::HostProcessData () { processMode = kRealtime; }

bool HostProcessData::prepare (const std::vector<int32>& inputChannels,
                               const std::vector<int32>& outputChannels, int32 samples,
                               int32 sampleSize)
{
	auto negative = [] (int32 count) { return count < 0; };
	if (samples < 0 || (sampleSize != kSample32 && sampleSize != kSample64) ||
	    std::any_of (inputChannels.begin (), inputChannels.end (), negative) ||
	    std::any_of (outputChannels.begin (), outputChannels.end (), negative))
		return false;

	unprepare ();
	maxSamples = samples;
	symbolicSampleSize = sampleSize;
	build (inputSide, inputChannels);
	build (outputSide, outputChannels);

	numSamples = maxSamples;
	numInputs = static_cast<int32> (inputSide.buses.size ());
	numOutputs = static_cast<int32> (outputSide.buses.size ());
	inputs = inputSide.buses.empty () ? nullptr : inputSide.buses.data ();
	outputs = outputSide.buses.empty () ? nullptr : outputSide.buses.data ();
	return true;
}

bool HostProcessData::prepare (IComponent& component, int32 samples, int32 sampleSize)
{
	std::vector<int32> channels[2];
	const BusDirection directions[2] = {kInput, kOutput};
	for (int d = 0; d < 2; ++d)
	{
		const int32 count = component.getBusCount (kAudio, directions[d]);
		for (int32 i = 0; i < count; ++i)
		{
			BusInfo info {};
			if (component.getBusInfo (kAudio, directions[d], i, info) != kResultOk)
				return false;
			channels[d].push_back (info.channelCount);
		}
	}
	return prepare (channels[0], channels[1], samples, sampleSize);
}

void HostProcessData::build (Side& side, const std::vector<int32>& channels)
{
	int32 total = 0;
	for (int32 count : channels)
	{
		side.firstChannel.push_back (total);
		side.channelCount.push_back (count);
		total += count;
	}
	const auto samplesPerChannel = static_cast<size_t> (maxSamples);
	const auto totalChannels = static_cast<size_t> (total);
	if (symbolicSampleSize == kSample32)
	{
		side.samples32.assign (totalChannels * samplesPerChannel, 0.f);
		for (size_t c = 0; c < totalChannels; ++c)
			side.pointers32.push_back (side.samples32.data () + c * samplesPerChannel);
	}
	else
	{
		side.samples64.assign (totalChannels * samplesPerChannel, 0.);
		for (size_t c = 0; c < totalChannels; ++c)
			side.pointers64.push_back (side.samples64.data () + c * samplesPerChannel);
	}

	side.buses.resize (channels.size ());
	for (size_t b = 0; b < channels.size (); ++b)
	{
		AudioBusBuffers& bus = side.buses[b];
		bus.numChannels = channels[b];
		bus.silenceFlags = 0;
		const auto first = static_cast<size_t> (side.firstChannel[b]);
		if (channels[b] == 0)
			bus.channelBuffers32 = nullptr;
		else if (symbolicSampleSize == kSample32)
			bus.channelBuffers32 = side.pointers32.data () + first;
		else
			bus.channelBuffers64 = side.pointers64.data () + first;
	}
}

void HostProcessData::unprepare ()
{
	inputSide = Side ();
	outputSide = Side ();
	maxSamples = 0;
	numSamples = 0;
	numInputs = 0;
	numOutputs = 0;
	inputs = nullptr;
	outputs = nullptr;
}

void HostProcessData::silence ()
{
	for (Side* side : {&inputSide, &outputSide})
	{
		std::fill (side->samples32.begin (), side->samples32.end (), 0.f);
		std::fill (side->samples64.begin (), side->samples64.end (), 0.);
		for (AudioBusBuffers& bus : side->buses)
			bus.silenceFlags = 0;
	}
}

HostProcessData::Side* HostProcessData::sideOf (BusDirection dir)
{
	if (dir == kInput)
		return &inputSide;
	if (dir == kOutput)
		return &outputSide;
	return nullptr;
}

int32 HostProcessData::channelIndex (BusDirection dir, int32 bus, int32 channel)
{
	Side* side = sideOf (dir);
	if (side == nullptr || bus < 0 || bus >= static_cast<int32> (side->firstChannel.size ()))
		return -1;
	const auto b = static_cast<size_t> (bus);
	if (channel < 0 || channel >= side->channelCount[b])
		return -1;
	return side->firstChannel[b] + channel;
}

Sample32* HostProcessData::getChannel32 (BusDirection dir, int32 bus, int32 channel)
{
	const int32 index = channelIndex (dir, bus, channel);
	if (index < 0 || symbolicSampleSize != kSample32)
		return nullptr;
	return sideOf (dir)->samples32.data () +
	       static_cast<size_t> (index) * static_cast<size_t> (maxSamples);
}

Sample64* HostProcessData::getChannel64 (BusDirection dir, int32 bus, int32 channel)
{
	const int32 index = channelIndex (dir, bus, channel);
	if (index < 0 || symbolicSampleSize != kSample64)
		return nullptr;
	return sideOf (dir)->samples64.data () +
	       static_cast<size_t> (index) * static_cast<size_t> (maxSamples);
}

} // namespace Vst
} // namespace Steinberg
