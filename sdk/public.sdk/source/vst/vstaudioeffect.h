// Base class for an audio processing component: a Component that also
// answers IAudioProcessor, with helpers to build its bus lists and the
// process set-up the host handed over last.
#pragma once

#include "public.sdk/source/vst/vstcomponent.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"

namespace Steinberg {
namespace Vst {

class AudioEffect : public Component, public IAudioProcessor
{
public:
	AudioEffect ();

	//--- Bus helpers (call them from initialize or setBusArrangements) ---
	/** Appends an audio input bus and returns it (owned by the component). */
	AudioBus* addAudioInput (const TChar* name, SpeakerArrangement arr, BusType busType = kMain,
	                         int32 flags = BusInfo::kDefaultActive);
	/** Appends an audio output bus and returns it (owned by the component). */
	AudioBus* addAudioOutput (const TChar* name, SpeakerArrangement arr, BusType busType = kMain,
	                          int32 flags = BusInfo::kDefaultActive);
	/** Appends an event input bus with the given number of channels. */
	EventBus* addEventInput (const TChar* name, int32 channels = 16, BusType busType = kMain,
	                         int32 flags = BusInfo::kDefaultActive);
	/** Appends an event output bus with the given number of channels. */
	EventBus* addEventOutput (const TChar* name, int32 channels = 16, BusType busType = kMain,
	                          int32 flags = BusInfo::kDefaultActive);

	/** The audio input bus at index, or null when there is none. */
	AudioBus* getAudioInput (int32 index);
	/** The audio output bus at index, or null when there is none. */
	AudioBus* getAudioOutput (int32 index);
	/** The event input bus at index, or null when there is none. */
	EventBus* getEventInput (int32 index);
	/** The event output bus at index, or null when there is none. */
	EventBus* getEventOutput (int32 index);

	//--- IAudioProcessor ---
	/** Accepts the arrangements only when there is one for every audio bus,
	    and then gives each bus its arrangement. */
	tresult PLUGIN_API setBusArrangements (SpeakerArrangement* inputs, int32 numIns,
	                                       SpeakerArrangement* outputs,
	                                       int32 numOuts) SMTG_OVERRIDE;
	tresult PLUGIN_API getBusArrangement (BusDirection dir, int32 index,
	                                      SpeakerArrangement& arr) SMTG_OVERRIDE;
	/** Only 32-bit samples are supported by default. */
	tresult PLUGIN_API canProcessSampleSize (int32 symbolicSampleSize) SMTG_OVERRIDE;
	uint32 PLUGIN_API getLatencySamples () SMTG_OVERRIDE;
	/** Stores the set-up if its sample size can be processed; refuses it
	    untouched otherwise. */
	tresult PLUGIN_API setupProcessing (ProcessSetup& setup) SMTG_OVERRIDE;
	tresult PLUGIN_API setProcessing (TBool state) SMTG_OVERRIDE;
	tresult PLUGIN_API process (ProcessData& data) SMTG_OVERRIDE;
	uint32 PLUGIN_API getTailSamples () SMTG_OVERRIDE;

	//--- IPluginBase: a second initialize without terminate in between is
	//    refused (kResultFalse), even with a null context. ---
	tresult PLUGIN_API initialize (FUnknown* context) SMTG_OVERRIDE;
	tresult PLUGIN_API terminate () SMTG_OVERRIDE;

	//--- IComponent ---
	/** kInvalidArgument for a null classID. */
	tresult PLUGIN_API getControllerClassId (TUID classID) SMTG_OVERRIDE;
	/** kInvalidArgument for a media type, direction or index without a bus
	    (the base class takes any direction but kInput for kOutput). */
	tresult PLUGIN_API getBusInfo (MediaType type, BusDirection dir, int32 index,
	                               BusInfo& info) SMTG_OVERRIDE;
	tresult PLUGIN_API activateBus (MediaType type, BusDirection dir, int32 index,
	                                TBool state) SMTG_OVERRIDE;

	//--- IConnectionPoint ---
	/** A text message without attributes is not understood (kResultFalse). */
	tresult PLUGIN_API notify (IMessage* message) SMTG_OVERRIDE;

	OBJ_METHODS (AudioEffect, Component)
	/** Answers IAudioProcessor and the Component's interfaces; a null iid or
	    obj gives kInvalidArgument. */
	tresult PLUGIN_API queryInterface (const TUID iid, void** obj) SMTG_OVERRIDE;
	REFCOUNT_METHODS (Component)

protected:
	/** The last accepted set-up; realtime, 32-bit, 1024 samples, 44100 Hz
	    until the host calls setupProcessing. */
	ProcessSetup processSetup;

private:
	bool initialized = false;
};

} // namespace Vst
} // namespace Steinberg
