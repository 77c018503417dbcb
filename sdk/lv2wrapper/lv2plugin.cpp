#include "lv2plugin.h"

#include "public.sdk/source/common/memorystream.h"

#include "pluginterfaces/base/ibstream.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"
#include "pluginterfaces/vst/vstspeaker.h"

#include <lv2/atom/atom.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string_view>

namespace Steinberg {
namespace Vst {

namespace {

const float kNone = std::numeric_limits<float>::quiet_NaN ();

template <typename T>
T* findFeature (const LV2_Feature* const* features, const char* uri)
{
	for (; features && *features; ++features)
		if (std::string_view ((*features)->URI) == uri)
			return static_cast<T*> ((*features)->data);
	return nullptr;
}

SpeakerArrangement arrangementOf (int32 channels)
{
	return channels == 1 ? SpeakerArr::kMono : SpeakerArr::kStereo;
}

} // namespace

Lv2Plugin* Lv2Plugin::create (IComponent* component, IEditController* controller,
                              const Lv2PortLayout& layout, double sampleRate,
                              const LV2_Feature* const* features)
{
	// Without urid:map (a host that keeps no state) the plug-in runs, and has no state to save.
	auto* map = findFeature<LV2_URID_Map> (features, LV2_URID__map);
	if (!component || !controller)
		return nullptr;
	auto* plugin = new Lv2Plugin (component, controller, layout);
	if (!plugin->setUp (sampleRate, map))
	{
		delete plugin;
		return nullptr;
	}
	return plugin;
}

Lv2Plugin::Lv2Plugin (IComponent* c, IEditController* e, const Lv2PortLayout& l)
: component (c), controller (e), layout (l)
{
	controlPorts.assign (layout.numControls, nullptr);
	audioInputs.assign (size_t (layout.mainChannels + layout.sideChainChannels), nullptr);
	audioOutputs.assign (size_t (layout.mainChannels), nullptr);
	lastSeen.assign (layout.numControls, kNone);
	restoredValue.assign (layout.numControls, kNone);
	outputValues.assign (layout.numControls, 0.f);
	for (uint32 i = 0; i < layout.numControls; ++i)
		if (layout.controls[i].output)
			outputValues[i] = layout.values->toPlain (layout.controls[i].id, 0.);
	inputPointers.assign (audioInputs.size (), nullptr);
	outputPointers.assign (audioOutputs.size (), nullptr);
	// Every input port may change in one block, and the processor reports every output.
	inputChanges.setMaxParameters (int32 (layout.numControls));
	inputChanges.setMaxPointsPerQueue (1);
	outputChanges.setMaxParameters (int32 (layout.numControls));
	outputChanges.setMaxPointsPerQueue (4);
}

Lv2Plugin::~Lv2Plugin ()
{
	deactivate ();
	if (component)
		component->terminate ();
	if (controller)
		controller->terminate ();
}

bool Lv2Plugin::setUp (double sampleRate, LV2_URID_Map* map)
{
	if (map)
	{
		stateKey = map->map (map->handle, layout.stateKey);
		chunkType = map->map (map->handle, LV2_ATOM__Chunk);
	}
	if (component->initialize (nullptr) != kResultOk ||
	    controller->initialize (nullptr) != kResultOk)
		return false;
	if (component->queryInterface (IAudioProcessor::iid, reinterpret_cast<void**> (&processor)) !=
	        kResultOk ||
	    !processor)
		return false;
	const bool sideChain = layout.sideChainChannels > 0;
	SpeakerArrangement inputs[2] = {arrangementOf (layout.mainChannels),
	                                arrangementOf (layout.sideChainChannels)};
	SpeakerArrangement output = arrangementOf (layout.mainChannels);
	// A false answer means the processor adapted the proposal: what counts is that it took the
	// main buses as asked, and the side chain is checked by the bus it reports.
	processor->setBusArrangements (inputs, sideChain ? 2 : 1, &output, 1);
	if (sideChain && component->activateBus (kAudio, kInput, 1, true) != kResultOk)
		return false;
	ProcessSetup setup {kRealtime, kSample32, kMaxBlock, sampleRate};
	if (processor->setupProcessing (setup) != kResultOk)
		return false;

	inputBuses[0].numChannels = layout.mainChannels;
	inputBuses[1].numChannels = layout.sideChainChannels;
	outputBus.numChannels = layout.mainChannels;
	inputBuses[0].channelBuffers32 = inputPointers.data ();
	inputBuses[1].channelBuffers32 = inputPointers.data () + layout.mainChannels;
	outputBus.channelBuffers32 = outputPointers.data ();
	data.processMode = kRealtime;
	data.symbolicSampleSize = kSample32;
	data.numInputs = sideChain ? 2 : 1;
	data.numOutputs = 1;
	data.inputs = inputBuses;
	data.outputs = &outputBus;
	data.inputParameterChanges = &inputChanges;
	data.outputParameterChanges = &outputChanges;
	return true;
}

void Lv2Plugin::connectPort (uint32 port, void* where)
{
	auto* samples = static_cast<float*> (where);
	if (port < layout.numControls)
	{
		controlPorts[port] = samples;
		return;
	}
	port -= layout.numControls;
	if (port < audioInputs.size ())
		audioInputs[port] = samples;
	else if (port - audioInputs.size () < audioOutputs.size ())
		audioOutputs[port - audioInputs.size ()] = samples;
}

void Lv2Plugin::activate ()
{
	if (active)
		return;
	component->setActive (true);
	processor->setProcessing (true);
	active = true;
}

void Lv2Plugin::deactivate ()
{
	if (!active)
		return;
	processor->setProcessing (false);
	component->setActive (false);
	active = false;
}

void Lv2Plugin::takePortChanges ()
{
	inputChanges.clearQueue ();
	// After a restore the ports hold whatever the host left or put there: the state's values
	// again, or the old ones. Either way what plays is the state, and only a value that changes
	// from here on is an edit.
	if (adoptPorts)
	{
		adoptPorts = false;
		for (uint32 i = 0; i < layout.numControls; ++i)
			if (controlPorts[i])
				lastSeen[i] = *controlPorts[i];
		return;
	}
	for (uint32 i = 0; i < layout.numControls; ++i)
	{
		const float* port = controlPorts[i];
		if (layout.controls[i].output || !port || *port == lastSeen[i])
			continue;
		const float value = *port;
		lastSeen[i] = value;
		// A restored state's own values, sent back by the host: the state has them exactly.
		if (value == restoredValue[i])
			continue;
		restoredValue[i] = kNone;
		const ParamID id = layout.controls[i].id;
		ParamValue normalized = 0.;
		if (!layout.values->toNormalized (id, value, normalized))
			continue;
		int32 index = 0;
		if (IParamValueQueue* queue = inputChanges.addParameterData (id, index))
			queue->addPoint (0, normalized, index);
	}
}

void Lv2Plugin::processPiece (int32 offset, int32 frames)
{
	for (size_t c = 0; c < audioInputs.size (); ++c)
		inputPointers[c] = audioInputs[c] ? audioInputs[c] + offset : nullptr;
	for (size_t c = 0; c < audioOutputs.size (); ++c)
		outputPointers[c] = audioOutputs[c] ? audioOutputs[c] + offset : nullptr;
	data.numSamples = frames;
	outputChanges.clearQueue ();
	processor->process (data);
	inputChanges.clearQueue ();
}

void Lv2Plugin::readOutputs ()
{
	for (int32 q = 0; q < outputChanges.getParameterCount (); ++q)
	{
		ParameterValueQueue* queue = outputChanges.queueAt (q);
		ParamValue value = 0.;
		if (!queue || !queue->lastValue (value))
			continue;
		for (uint32 i = 0; i < layout.numControls; ++i)
			if (layout.controls[i].output && layout.controls[i].id == queue->id ())
				outputValues[i] = layout.values->toPlain (queue->id (), value);
	}
	for (uint32 i = 0; i < layout.numControls; ++i)
		if (layout.controls[i].output && controlPorts[i])
			*controlPorts[i] = outputValues[i];
}

void Lv2Plugin::run (uint32 frames)
{
	takePortChanges ();
	uint32 done = 0;
	do
	{
		const int32 piece = int32 (std::min<uint32> (frames - done, kMaxBlock));
		processPiece (int32 (done), piece);
		readOutputs ();
		done += uint32 (piece);
	} while (done < frames);
}

LV2_State_Status Lv2Plugin::save (LV2_State_Store_Function store, LV2_State_Handle handle)
{
	if (!stateKey)
		return LV2_STATE_ERR_NO_FEATURE;
	MemoryStream stream;
	if (component->getState (&stream) != kResultOk)
		return LV2_STATE_ERR_UNKNOWN;
	return store (handle, stateKey, stream.getData (), size_t (stream.getSize ()), chunkType,
	              LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
}

LV2_State_Status Lv2Plugin::restore (LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle)
{
	if (!stateKey)
		return LV2_STATE_ERR_NO_FEATURE;
	size_t size = 0;
	uint32_t type = 0;
	uint32_t flags = 0;
	const void* stored = retrieve (handle, stateKey, &size, &type, &flags);
	if (!stored)
		return LV2_STATE_ERR_NO_PROPERTY;
	if (type != chunkType)
		return LV2_STATE_ERR_BAD_TYPE;
	// The processor takes the whole state or none of it; the controller reads the same bytes
	// to tell which port values stand for it.
	MemoryStream forProcessor (const_cast<void*> (stored), TSize (size));
	if (component->setState (&forProcessor) != kResultOk)
		return LV2_STATE_ERR_UNKNOWN;
	MemoryStream forController (const_cast<void*> (stored), TSize (size));
	controller->setComponentState (&forController);
	for (uint32 i = 0; i < layout.numControls; ++i)
	{
		const ParamID id = layout.controls[i].id;
		if (!layout.controls[i].output)
			restoredValue[i] = layout.values->toPlain (id, controller->getParamNormalized (id));
	}
	// Port contents are the host's outside run: the next run reads them.
	adoptPorts = true;
	return LV2_STATE_SUCCESS;
}

} // namespace Vst
} // namespace Steinberg
