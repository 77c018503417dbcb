// Presents a VST 3 plug-in (a processor component and its edit controller,
// created through the plug-in's factory) to a VST 2 host as one effect.
//
//   AEffect* VSTPluginMain (audioMasterCallback audioMaster)
//   {
//       ...
//       auto* wrapper = Steinberg::Vst::Vst2Wrapper::create (GetPluginFactory (),
//                                                            processorClassId, uniqueId,
//                                                            audioMaster);
//       return wrapper ? wrapper->getAeffect () : nullptr;
//   }
//
// The wrapper lives until the host sends effClose, which destroys it.
//
// Threads, as VST 2 hosts use them: setParameter and getParameter come from the audio thread
// (automation) as well as from the user-interface thread; chunks may come from a worker. The
// two parameter calls never reach the controller: a value goes to the processor at once (the
// slots), is what getParameter answers from then on (the values), and reaches the controller,
// and through it the editor, when the user-interface thread next calls effEditIdle or opens the
// editor. The wrapped controller must take state calls on any thread, and must show what it
// gets on another thread than its editors' only on theirs.
#pragma once

#include "vst2abi.h"
#include "vst2componenthandler.h"
#include "vst2parameterslots.h"
#include "vst2parametervalues.h"

#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/base/smartpointer.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace Steinberg {
namespace Vst {

class Vst2AudioBridge;
class Vst2EditorBridge;
class Vst2HostApplication;

class Vst2Wrapper : public Vst2EditSink
{
public:
	/** Builds the effect for the class vst3ComponentID of factory. Takes over
	    the caller's reference to factory (released with the wrapper, or at
	    once when creation fails). Returns null when the factory, the
	    component, its processor interface or its controller cannot be had or
	    initialized. */
	static Vst2Wrapper* create (IPluginFactory* factory, const TUID vst3ComponentID,
	                            VstInt32 vst2ID, audioMasterCallback audioMaster);

	~Vst2Wrapper () override;

	AEffect* getAeffect () { return &effect; }

	//--- the AEffect entry points, also callable directly --------------------
	VstIntPtr dispatch (int32 opcode, int32 index, VstIntPtr value, void* ptr, float opt);
	void processReplacing (float** inputs, float** outputs, int32 frames);
	void setParameter (int32 index, float value);
	float getParameter (int32 index);

	//--- Vst2EditSink (the controller's component handler) -----------------
	tresult onBeginEdit (ParamID id) override;
	tresult onPerformEdit (ParamID id, ParamValue valueNormalized) override;
	tresult onEndEdit (ParamID id) override;
	tresult onRestartComponent (int32 flags) override;

	/** Parameter index of id, or -1. */
	int32 indexOfParameter (ParamID id) const;

	/** Hands the values the host set and the processor's latest output
	    values to the controller. The wrapper does so on effEditIdle and
	    effEditOpen, so that the controller (and its editors) hear of them
	    on the host's user-interface thread, as in a VST 3 host. */
	void handOverToController ();

private:
	Vst2Wrapper (IPluginFactory* factory, audioMasterCallback audioMaster);

	bool setUp (const TUID vst3ComponentID, VstInt32 vst2ID);
	bool createController ();
	void readClassInfo (const TUID vst3ComponentID);
	void readBuses ();
	void readParameters ();
	void syncControllerWithComponent ();
	/** The values of the parameters the host may set, as the controller has them. */
	void readValuesFromController ();
	void fillAeffect (VstInt32 vst2ID);
	/** The host's name, sample rate and block size: asked once the effect is complete. */
	void askHostForSetup ();
	void tearDown ();

	VstIntPtr callHost (int32 opcode, int32 index, VstIntPtr value, void* ptr, float opt);

	void resume ();
	void suspend ();
	void applyProcessSetup ();
	// A new sample rate or block size: applied at once, the processor suspended around it if
	// active.
	void changeProcessSetup ();
	void setSampleRate (float rate);
	void setBlockSize (int32 size);

	/** Returns once the block in progress on the audio thread, if any, has ended. */
	void waitForBlockInProgress () const;

	VstIntPtr getChunk (void** data);
	VstIntPtr setChunk (const void* data, VstIntPtr size);
	VstIntPtr canDo (const char* text) const;
	VstIntPtr getPlugCategory () const;
	VstIntPtr setBypass (bool state);
	VstIntPtr stringToParameter (int32 index, const char* text);
	void writeParameterText (int32 opcode, int32 index, char* text);

	static VstIntPtr dispatcherCallback (AEffect* effect, int opcode, int index, VstIntPtr value,
	                                     void* ptr, float opt);
	static void processReplacingCallback (AEffect* effect, float** inputs, float** outputs,
	                                      int frames);
	static void setParameterCallback (AEffect* effect, int index, float value);
	static float getParameterCallback (AEffect* effect, int index);

	AEffect effect {};
	audioMasterCallback audioMaster;
	/** Every AEffect field and everything behind it is in place: the host may be called. */
	bool effectComplete = false;

	IPtr<IPluginFactory> factory;
	// HostApplication does not count references: the wrapper owns it.
	std::unique_ptr<Vst2HostApplication> hostContext;
	IPtr<IComponent> component;
	IPtr<IAudioProcessor> processor;
	IPtr<IEditController> controller;
	IPtr<Vst2ComponentHandler> componentHandler;
	bool componentInitialized = false;
	bool controllerInitialized = false;
	bool controllerIsComponent = false;
	bool connected = false;

	std::vector<ParameterInfo> parameters; // by VST 2 index
	std::vector<ParamID> parameterIds;
	int32 bypassIndex = -1;
	std::unique_ptr<Vst2ParameterSlots> slots;           // host -> processor
	std::unique_ptr<Vst2ParameterSlots> controllerSlots; // host -> controller
	std::unique_ptr<Vst2ParameterSlots> outputSlots;     // processor -> controller
	std::unique_ptr<Vst2ParameterValues> values;         // -> host
	std::unique_ptr<Vst2AudioBridge> audio;
	std::unique_ptr<Vst2EditorBridge> editor;
	std::vector<int32> inputBusChannels;
	std::vector<int32> outputBusChannels;

	std::string effectName;
	std::string vendorName;
	std::string subCategories;
	int32 vendorVersion = 0;

	double sampleRate = 44100.;
	int32 blockSize = 1024;
	bool setupPending = true;
	bool active = false;
	std::atomic<bool> processing {false};
	// Process calls begun and ended: equal when no block is in progress.
	std::atomic<uint64> blocksStarted {0};
	std::atomic<uint64> blocksFinished {0};
	// The thread inside processReplacing, if any. Not a thread_local flag: in a
	// library that is loaded at run time, a thread's first use of one has the
	// loader allocate (under a lock) on the audio thread.
	std::atomic<std::thread::id> processThread {};

	// Chunks may be set and got on several threads at once: they take turns.
	std::mutex chunkMutex;
	std::vector<uint8> chunk;
};

} // namespace Vst
} // namespace Steinberg
