// Presents a VST 3 processor component, with its edit controller for the conversions a host's
// state needs, to an LV2 host as one plug-in instance.
//
// Threads, as LV2 defines them: run is the audio thread's and never allocates, locks or prints;
// everything else is the host's instantiation thread and never overlaps run. Each run compares
// the input ports with the values last seen and hands only the changes to the processor, as
// parameter changes at the start of the block; the output ports get the processor's last
// reported values.
#pragma once

#include "lv2portlayout.h"

#include "public.sdk/source/vst/hosting/parameterchanges.h"

#include "pluginterfaces/base/smartpointer.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <vector>

namespace Steinberg {
namespace Vst {

class Lv2Plugin
{
public:
	/** The longest piece run hands to the processor; a longer run goes in pieces. */
	static constexpr int32 kMaxBlock = 4096;

	/** Sets up the processor for the layout. Null when the component refuses the set-up. */
	static Lv2Plugin* create (IComponent* component, IEditController* controller,
	                          const Lv2PortLayout& layout, double sampleRate,
	                          const LV2_Feature* const* features);
	~Lv2Plugin ();

	void connectPort (uint32 port, void* data);
	void activate ();
	void run (uint32 frames);
	void deactivate ();

	LV2_State_Status save (LV2_State_Store_Function store, LV2_State_Handle handle);
	LV2_State_Status restore (LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);

private:
	Lv2Plugin (IComponent* component, IEditController* controller, const Lv2PortLayout& layout);
	bool setUp (double sampleRate, LV2_URID_Map* map); // map may be null
	void takePortChanges ();
	void readOutputs ();
	void processPiece (int32 offset, int32 frames);

	IPtr<IComponent> component;
	IPtr<IAudioProcessor> processor;
	IPtr<IEditController> controller;
	Lv2PortLayout layout;
	LV2_URID stateKey = 0;
	LV2_URID chunkType = 0;

	std::vector<float*> controlPorts;
	std::vector<float*> audioInputs;
	std::vector<float*> audioOutputs;
	// Per control port: the value last seen, and after a restore the restored value as a port
	// shows it (NaN when none), which a host sending it back does not turn into a change.
	std::vector<float> lastSeen;
	std::vector<float> restoredValue;
	bool adoptPorts = false; // the first run after a restore takes the ports as they are
	std::vector<float> outputValues;

	ParameterChanges inputChanges;
	ParameterChanges outputChanges;
	ProcessData data {};
	AudioBusBuffers inputBuses[2] {};
	AudioBusBuffers outputBus {};
	std::vector<float*> inputPointers;
	std::vector<float*> outputPointers;
	bool active = false;
};

} // namespace Vst
} // namespace Steinberg
