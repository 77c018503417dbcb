#include "vst2wrapper.h"

#include "vst2audiobridge.h"
#include "vst2editorbridge.h"
#include "vst2hostapplication.h"
#include "vst2text.h"

#include "public.sdk/source/common/memorystream.h"

#include <cstring>
#include <thread>

namespace Steinberg {
namespace Vst {

Vst2Wrapper* Vst2Wrapper::create (IPluginFactory* factory, const TUID vst3ComponentID,
                                  VstInt32 vst2ID, audioMasterCallback audioMaster)
{
	if (factory == nullptr)
		return nullptr;
	auto* wrapper = new Vst2Wrapper (factory, audioMaster);
	if (!wrapper->setUp (vst3ComponentID, vst2ID))
	{
		delete wrapper;
		return nullptr;
	}
	return wrapper;
}

Vst2Wrapper::Vst2Wrapper (IPluginFactory* factory, audioMasterCallback audioMaster)
: audioMaster (audioMaster)
{
	this->factory = owned (factory);
}

Vst2Wrapper::~Vst2Wrapper () { tearDown (); }

VstIntPtr Vst2Wrapper::callHost (int32 opcode, int32 index, VstIntPtr value, void* ptr, float opt)
{
	// A host may call back into the effect from any callback: until the effect is complete the
	// host hears nothing from it.
	if (!audioMaster || !effectComplete)
		return 0;
	return audioMaster (&effect, opcode, index, value, ptr, opt);
}

//------------------------------------------------------------------------
bool Vst2Wrapper::setUp (const TUID vst3ComponentID, VstInt32 vst2ID)
{
	effect.magic = kEffectMagic;
	effect.object = this;

	// Everything is built before the host is first called (hosts call back into the effect from
	// their callbacks, even from the sample-rate query); the host's name follows afterwards.
	hostContext = std::make_unique<Vst2HostApplication> (nullptr);

	FUnknown* object = nullptr;
	if (factory->createInstance (vst3ComponentID, IComponent::iid,
	                             reinterpret_cast<void**> (&object)) != kResultOk ||
	    object == nullptr)
		return false;
	component = owned (static_cast<IComponent*> (object));
	processor = FUnknownPtr<IAudioProcessor> (component);
	if (!processor)
		return false;
	if (component->initialize (hostContext.get ()) != kResultOk)
		return false;
	componentInitialized = true;

	if (!createController ())
		return false;

	componentHandler = owned (new Vst2ComponentHandler (this));
	controller->setComponentHandler (componentHandler);

	if (!controllerIsComponent)
	{
		FUnknownPtr<IConnectionPoint> componentPoint (component);
		FUnknownPtr<IConnectionPoint> controllerPoint (controller);
		if (componentPoint && controllerPoint)
		{
			componentPoint->connect (controllerPoint);
			controllerPoint->connect (componentPoint);
			connected = true;
		}
	}
	syncControllerWithComponent ();

	readClassInfo (vst3ComponentID);
	readBuses ();
	readParameters ();
	readValuesFromController ();
	applyProcessSetup ();

	editor = std::make_unique<Vst2EditorBridge> (*controller, &effect, audioMaster);
	fillAeffect (vst2ID);
	effectComplete = true;

	askHostForSetup ();
	return true;
}

void Vst2Wrapper::askHostForSetup ()
{
	char hostName[256] = {};
	callHost (audioMasterGetProductString, 0, 0, hostName, 0.f);
	hostName[sizeof (hostName) - 1] = 0;
	hostContext->setName (hostName);

	// Only answers that give a rate or size count. The host may also have resumed the effect
	// from inside these calls: a set-up changes only while inactive.
	bool changed = false;
	const auto hostRate = callHost (audioMasterGetSampleRate, 0, 0, nullptr, 0.f);
	if (hostRate > 0 && hostRate <= 0x7FFFFFFF && static_cast<double> (hostRate) != sampleRate)
	{
		sampleRate = static_cast<double> (hostRate);
		changed = true;
	}
	const auto hostBlock = callHost (audioMasterGetBlockSize, 0, 0, nullptr, 0.f);
	if (hostBlock > 0 && hostBlock <= 0x7FFFFFFF && hostBlock != blockSize)
	{
		blockSize = static_cast<int32> (hostBlock);
		changed = true;
	}
	if (!changed)
		return;
	changeProcessSetup ();
}

bool Vst2Wrapper::createController ()
{
	FUnknownPtr<IEditController> single (component);
	if (single)
	{
		controller = single;
		controllerIsComponent = true;
		return true;
	}
	TUID controllerId = {};
	if (component->getControllerClassId (controllerId) != kResultOk)
		return false;
	FUnknown* object = nullptr;
	if (factory->createInstance (controllerId, IEditController::iid,
	                             reinterpret_cast<void**> (&object)) != kResultOk ||
	    object == nullptr)
		return false;
	controller = owned (static_cast<IEditController*> (object));
	if (controller->initialize (hostContext.get ()) != kResultOk)
		return false;
	controllerInitialized = true;
	return true;
}

void Vst2Wrapper::syncControllerWithComponent ()
{
	MemoryStream state;
	if (component->getState (&state) != kResultOk)
		return;
	state.seek (0, IBStream::kIBSeekSet, nullptr);
	controller->setComponentState (&state);
}

void Vst2Wrapper::readClassInfo (const TUID vst3ComponentID)
{
	PFactoryInfo factoryInfo {};
	if (factory->getFactoryInfo (&factoryInfo) == kResultOk)
		vendorName.assign (factoryInfo.vendor,
		                   strnlen (factoryInfo.vendor, PFactoryInfo::kNameSize));

	FUnknownPtr<IPluginFactory2> factory2 (factory);
	const int32 count = factory->countClasses ();
	for (int32 i = 0; i < count; ++i)
	{
		PClassInfo info {};
		if (factory->getClassInfo (i, &info) != kResultOk ||
		    std::memcmp (info.cid, vst3ComponentID, sizeof (TUID)) != 0)
			continue;
		effectName.assign (info.name, strnlen (info.name, PClassInfo::kNameSize));
		PClassInfo2 info2 {};
		if (factory2 && factory2->getClassInfo2 (i, &info2) == kResultOk)
		{
			subCategories.assign (info2.subCategories,
			                      strnlen (info2.subCategories, PClassInfo2::kSubCategoriesSize));
			if (info2.vendor[0] != 0)
				vendorName.assign (info2.vendor, strnlen (info2.vendor, PClassInfo2::kVendorSize));
			char8 version[PClassInfo2::kVersionSize + 1] = {};
			std::memcpy (version, info2.version, PClassInfo2::kVersionSize);
			vendorVersion = Vst2Text::versionNumber (version);
		}
		break;
	}
}

void Vst2Wrapper::readBuses ()
{
	// A VST 2 host sees the main buses only; every other bus is switched off.
	for (BusDirection dir : {BusDirections::kInput, BusDirections::kOutput})
	{
		auto& channels = dir == BusDirections::kInput ? inputBusChannels : outputBusChannels;
		channels.clear ();
		const int32 count = component->getBusCount (kAudio, dir);
		for (int32 i = 0; i < count; ++i)
		{
			BusInfo info {};
			if (component->getBusInfo (kAudio, dir, i, info) != kResultOk)
				info.channelCount = 0;
			const bool main = i == 0 && info.busType == kMain;
			component->activateBus (kAudio, dir, i, main);
			channels.push_back (main ? info.channelCount : (i == 0 ? 0 : info.channelCount));
		}
	}
}

void Vst2Wrapper::readParameters ()
{
	const int32 count = controller->getParameterCount ();
	parameters.clear ();
	parameterIds.clear ();
	for (int32 i = 0; i < count; ++i)
	{
		ParameterInfo info {};
		if (controller->getParameterInfo (i, info) != kResultOk)
			info = ParameterInfo {};
		parameters.push_back (info);
		parameterIds.push_back (info.id);
		if (bypassIndex < 0 && (info.flags & ParameterInfo::kIsBypass) != 0)
			bypassIndex = i;
	}
	slots = std::make_unique<Vst2ParameterSlots> (parameterIds.data (), count);
	controllerSlots = std::make_unique<Vst2ParameterSlots> (parameterIds.data (), count);
	outputSlots = std::make_unique<Vst2ParameterSlots> (parameterIds.data (), count);
	values = std::make_unique<Vst2ParameterValues> (count);
	audio = std::make_unique<Vst2AudioBridge> (*processor, *slots, *outputSlots, *values);
}

void Vst2Wrapper::readValuesFromController ()
{
	if (!values)
		return; // the controller restarts while the effect is being built
	for (size_t i = 0; i < parameters.size (); ++i)
		if ((parameters[i].flags & ParameterInfo::kIsReadOnly) == 0)
			values->set (static_cast<int32> (i), controller->getParamNormalized (parameterIds[i]));
}

void Vst2Wrapper::fillAeffect (VstInt32 vst2ID)
{
	effect.dispatcher = dispatcherCallback;
	// The accumulating process call is long obsolete; hosts that still use it
	// get the replacing one.
	effect.process = processReplacingCallback;
	effect.processReplacing = processReplacingCallback;
	effect.processDoubleReplacing = nullptr;
	effect.setParameter = setParameterCallback;
	effect.getParameter = getParameterCallback;
	effect.numPrograms = 1;
	effect.numParams = static_cast<VstInt32> (parameters.size ());
	effect.numInputs = inputBusChannels.empty () ? 0 : inputBusChannels[0];
	effect.numOutputs = outputBusChannels.empty () ? 0 : outputBusChannels[0];
	effect.flags = effFlagsCanReplacing | effFlagsProgramChunks;
	if (editor->isAvailable ())
		effect.flags |= effFlagsHasEditor;
	effect.initialDelay = static_cast<VstInt32> (processor->getLatencySamples ());
	effect.uniqueID = vst2ID;
	effect.version = vendorVersion;
	// The ratio of output to input samples (named float1 in the fst headers): one to one.
	effect.float1 = 1.f;
}

void Vst2Wrapper::tearDown ()
{
	if (editor)
		editor->close ();
	editor.reset ();
	if (active)
		suspend ();
	if (componentHandler)
		componentHandler->detach ();
	if (connected)
	{
		FUnknownPtr<IConnectionPoint> componentPoint (component);
		FUnknownPtr<IConnectionPoint> controllerPoint (controller);
		if (componentPoint && controllerPoint)
		{
			componentPoint->disconnect (controllerPoint);
			controllerPoint->disconnect (componentPoint);
		}
		connected = false;
	}
	if (controller && !controllerIsComponent)
	{
		controller->setComponentHandler (nullptr);
		if (controllerInitialized)
			controller->terminate ();
	}
	if (component && componentInitialized)
		component->terminate ();
	controllerInitialized = componentInitialized = false;
	audio.reset ();
	slots.reset ();
	controllerSlots.reset ();
	outputSlots.reset ();
	values.reset ();
	controller = nullptr;
	processor = nullptr;
	component = nullptr;
	componentHandler = nullptr;
	hostContext.reset ();
	factory = nullptr;
}

//------------------------------------------------------------------------
void Vst2Wrapper::applyProcessSetup ()
{
	ProcessSetup setup {kRealtime, kSample32, blockSize, sampleRate};
	processor->setupProcessing (setup);
	setupPending = false;
	audio->configure (inputBusChannels, outputBusChannels, blockSize,
	                  static_cast<int32> (parameters.size ()));
}

void Vst2Wrapper::resume ()
{
	if (active)
		return;
	if (setupPending)
		applyProcessSetup ();
	component->setActive (true);
	processor->setProcessing (true);
	active = true;
	processing.store (true);
}

void Vst2Wrapper::suspend ()
{
	if (!active)
		return;
	processing.store (false);
	// A host may suspend from its UI thread while the audio thread is still in a block: the
	// processor is deactivated only after that block has ended.
	waitForBlockInProgress ();
	processor->setProcessing (false);
	component->setActive (false);
	active = false;
}

void Vst2Wrapper::setSampleRate (float rate)
{
	if (!(rate > 0.f))
		return;
	sampleRate = rate;
	changeProcessSetup ();
}

void Vst2Wrapper::setBlockSize (int32 size)
{
	if (size <= 0)
		return;
	blockSize = size;
	changeProcessSetup ();
}

void Vst2Wrapper::changeProcessSetup ()
{
	setupPending = true;
	if (active)
	{
		// Process set-ups change only while inactive.
		suspend ();
		resume ();
	}
	else
		applyProcessSetup ();
}

//------------------------------------------------------------------------
void Vst2Wrapper::processReplacing (float** inputs, float** outputs, int32 frames)
{
	processThread.store (std::this_thread::get_id (), std::memory_order_relaxed);
	blocksStarted.fetch_add (1, std::memory_order_seq_cst);
	if (processing.load (std::memory_order_seq_cst))
		audio->process (inputs, outputs, frames);
	else
		audio->silence (outputs, frames);
	blocksFinished.fetch_add (1, std::memory_order_release);
	processThread.store (std::thread::id (), std::memory_order_relaxed);
}

void Vst2Wrapper::waitForBlockInProgress () const
{
	// From inside a block (a host that calls back from its audio thread) there is nothing to
	// wait for: that block cannot end before we return.
	if (processThread.load (std::memory_order_relaxed) == std::this_thread::get_id ())
		return;
	const uint64 started = blocksStarted.load (std::memory_order_seq_cst);
	while (blocksFinished.load (std::memory_order_acquire) < started)
		std::this_thread::yield ();
}

//------------------------------------------------------------------------
VstIntPtr Vst2Wrapper::dispatcherCallback (AEffect* effect, int opcode, int index, VstIntPtr value,
                                           void* ptr, float opt)
{
	auto* wrapper = effect ? static_cast<Vst2Wrapper*> (effect->object) : nullptr;
	if (wrapper == nullptr)
		return 0;
	if (opcode == effClose)
	{
		delete wrapper;
		return 1;
	}
	return wrapper->dispatch (opcode, index, value, ptr, opt);
}

void Vst2Wrapper::processReplacingCallback (AEffect* effect, float** inputs, float** outputs,
                                            int frames)
{
	if (auto* wrapper = effect ? static_cast<Vst2Wrapper*> (effect->object) : nullptr)
		wrapper->processReplacing (inputs, outputs, frames);
}

void Vst2Wrapper::setParameterCallback (AEffect* effect, int index, float value)
{
	if (auto* wrapper = effect ? static_cast<Vst2Wrapper*> (effect->object) : nullptr)
		wrapper->setParameter (index, value);
}

float Vst2Wrapper::getParameterCallback (AEffect* effect, int index)
{
	auto* wrapper = effect ? static_cast<Vst2Wrapper*> (effect->object) : nullptr;
	return wrapper ? wrapper->getParameter (index) : 0.f;
}

} // namespace Vst
} // namespace Steinberg
