#include "public.sdk/source/vst/vstaudioeffect.h"

#include "pluginterfaces/vst/ivstmessage.h"

#include <utility>

namespace Steinberg {
namespace Vst {

namespace {

// The bus of the wanted kind at index, or null for a bad index or a bus of
// another kind.
template <typename BusClass>
BusClass* busAt (BusList& list, int32 index)
{
	if (index < 0 || index >= static_cast<int32> (list.size ()))
		return nullptr;
	Bus* bus = list[static_cast<size_t> (index)].get ();
	return FCast<BusClass> (static_cast<FObject*> (bus));
}

template <typename BusClass, typename... Args>
BusClass* appendBus (BusList& list, Args&&... args)
{
	auto* bus = new BusClass (std::forward<Args> (args)...);
	list.push_back (owned (static_cast<Bus*> (bus)));
	return bus;
}

} // namespace

AudioEffect::AudioEffect ()
{
	processSetup.processMode = kRealtime;
	processSetup.symbolicSampleSize = kSample32;
	processSetup.maxSamplesPerBlock = 1024;
	processSetup.sampleRate = 44100.0;
}

tresult PLUGIN_API AudioEffect::initialize (FUnknown* context)
{
	if (initialized)
		return kResultFalse;
	const tresult result = Component::initialize (context);
	if (result == kResultOk)
		initialized = true;
	return result;
}

tresult PLUGIN_API AudioEffect::terminate ()
{
	initialized = false;
	return Component::terminate ();
}

tresult PLUGIN_API AudioEffect::getControllerClassId (TUID classID)
{
	if (classID == nullptr)
		return kInvalidArgument;
	return Component::getControllerClassId (classID);
}

namespace {

bool isBusKind (MediaType type, BusDirection dir)
{
	return (type == kAudio || type == kEvent) && (dir == kInput || dir == kOutput);
}

} // namespace

tresult PLUGIN_API AudioEffect::getBusInfo (MediaType type, BusDirection dir, int32 index,
                                            BusInfo& info)
{
	if (!isBusKind (type, dir))
		return kInvalidArgument;
	return Component::getBusInfo (type, dir, index, info);
}

tresult PLUGIN_API AudioEffect::activateBus (MediaType type, BusDirection dir, int32 index,
                                             TBool state)
{
	if (!isBusKind (type, dir))
		return kInvalidArgument;
	return Component::activateBus (type, dir, index, state);
}

tresult PLUGIN_API AudioEffect::notify (IMessage* message)
{
	if (message == nullptr)
		return kInvalidArgument;
	// The base class reads a text message's attributes without asking whether there are any.
	if (message->getAttributes () == nullptr)
		return kResultFalse;
	return Component::notify (message);
}

tresult PLUGIN_API AudioEffect::queryInterface (const TUID iid, void** obj)
{
	if (obj == nullptr)
		return kInvalidArgument;
	if (iid == nullptr)
	{
		*obj = nullptr;
		return kInvalidArgument;
	}
	QUERY_INTERFACE (iid, obj, IAudioProcessor::iid, IAudioProcessor)
	return Component::queryInterface (iid, obj);
}

AudioBus* AudioEffect::addAudioInput (const TChar* name, SpeakerArrangement arr, BusType busType,
                                      int32 flags)
{
	return appendBus<AudioBus> (audioInputs, name, busType, flags, arr);
}

AudioBus* AudioEffect::addAudioOutput (const TChar* name, SpeakerArrangement arr, BusType busType,
                                       int32 flags)
{
	return appendBus<AudioBus> (audioOutputs, name, busType, flags, arr);
}

EventBus* AudioEffect::addEventInput (const TChar* name, int32 channels, BusType busType,
                                      int32 flags)
{
	return appendBus<EventBus> (eventInputs, name, busType, flags, channels);
}

EventBus* AudioEffect::addEventOutput (const TChar* name, int32 channels, BusType busType,
                                       int32 flags)
{
	return appendBus<EventBus> (eventOutputs, name, busType, flags, channels);
}

AudioBus* AudioEffect::getAudioInput (int32 index) { return busAt<AudioBus> (audioInputs, index); }

AudioBus* AudioEffect::getAudioOutput (int32 index)
{
	return busAt<AudioBus> (audioOutputs, index);
}

EventBus* AudioEffect::getEventInput (int32 index) { return busAt<EventBus> (eventInputs, index); }

EventBus* AudioEffect::getEventOutput (int32 index)
{
	return busAt<EventBus> (eventOutputs, index);
}

tresult PLUGIN_API AudioEffect::setBusArrangements (SpeakerArrangement* inputs, int32 numIns,
                                                    SpeakerArrangement* outputs, int32 numOuts)
{
	if (numIns != static_cast<int32> (audioInputs.size ()) ||
	    numOuts != static_cast<int32> (audioOutputs.size ()))
		return kResultFalse;
	if ((numIns > 0 && inputs == nullptr) || (numOuts > 0 && outputs == nullptr))
		return kInvalidArgument;

	// Check every bus before changing any, so a refusal leaves them all as they were.
	for (int32 i = 0; i < numIns; ++i)
		if (getAudioInput (i) == nullptr)
			return kResultFalse;
	for (int32 i = 0; i < numOuts; ++i)
		if (getAudioOutput (i) == nullptr)
			return kResultFalse;

	for (int32 i = 0; i < numIns; ++i)
		getAudioInput (i)->setArrangement (inputs[i]);
	for (int32 i = 0; i < numOuts; ++i)
		getAudioOutput (i)->setArrangement (outputs[i]);
	return kResultTrue;
}

tresult PLUGIN_API AudioEffect::getBusArrangement (BusDirection dir, int32 index,
                                                   SpeakerArrangement& arr)
{
	AudioBus* bus = nullptr;
	if (dir == kInput)
		bus = getAudioInput (index);
	else if (dir == kOutput)
		bus = getAudioOutput (index);
	if (bus == nullptr)
		return kInvalidArgument;
	arr = bus->getArrangement ();
	return kResultTrue;
}

tresult PLUGIN_API AudioEffect::canProcessSampleSize (int32 symbolicSampleSize)
{
	return symbolicSampleSize == kSample32 ? kResultTrue : kResultFalse;
}

uint32 PLUGIN_API AudioEffect::getLatencySamples () { return 0; }

tresult PLUGIN_API AudioEffect::setupProcessing (ProcessSetup& setup)
{
	if (canProcessSampleSize (setup.symbolicSampleSize) != kResultTrue)
		return kResultFalse;
	processSetup = setup;
	return kResultOk;
}

tresult PLUGIN_API AudioEffect::setProcessing (TBool /*state*/) { return kNotImplemented; }

tresult PLUGIN_API AudioEffect::process (ProcessData& /*data*/) { return kResultOk; }

uint32 PLUGIN_API AudioEffect::getTailSamples () { return 0; }

} // namespace Vst
} // namespace Steinberg
