// The frame the wrapper gives to a plug-in's editor view in a VST 2 host.
// A VST 2 host on Linux has no VST 3 run loop, so the frame is one: it
// keeps the editor's file-descriptor handlers and timers and serves them
// from runOnce(), which the wrapper calls on every effEditIdle. Resize
// requests go to the host as audioMasterSizeWindow.
#pragma once

#include "vst2abi.h"

#include "pluginterfaces/base/smartpointer.h"
#include "pluginterfaces/gui/iplugview.h"

#include <atomic>
#include <chrono>
#include <vector>

namespace Steinberg {
namespace Vst {

class Vst2PlugFrame : public IPlugFrame, public Linux::IRunLoop
{
public:
	using Clock = std::chrono::steady_clock;

	Vst2PlugFrame (AEffect* effect, audioMasterCallback audioMaster);
	virtual ~Vst2PlugFrame () = default;

	/** Serves every readable registered descriptor and every timer that is
	    due at now. */
	void runOnce (Clock::time_point now = Clock::now ());

	/** Drops every handler and timer (when the editor closes). */
	void clear ();

	size_t getTimerCount () const { return timers.size (); }
	size_t getEventHandlerCount () const { return eventHandlers.size (); }

	//--- IPlugFrame ---
	tresult PLUGIN_API resizeView (IPlugView* view, ViewRect* newSize) SMTG_OVERRIDE;

	//--- Linux::IRunLoop ---
	tresult PLUGIN_API registerEventHandler (Linux::IEventHandler* handler,
	                                         Linux::FileDescriptor fd) SMTG_OVERRIDE;
	tresult PLUGIN_API unregisterEventHandler (Linux::IEventHandler* handler) SMTG_OVERRIDE;
	tresult PLUGIN_API registerTimer (Linux::ITimerHandler* handler,
	                                  Linux::TimerInterval milliseconds) SMTG_OVERRIDE;
	tresult PLUGIN_API unregisterTimer (Linux::ITimerHandler* handler) SMTG_OVERRIDE;

	//--- FUnknown ---
	tresult PLUGIN_API queryInterface (const TUID _iid, void** obj) SMTG_OVERRIDE;
	uint32 PLUGIN_API addRef () SMTG_OVERRIDE;
	uint32 PLUGIN_API release () SMTG_OVERRIDE;

private:
	/** Interfaces beyond IPlugFrame: the run loop. */
	bool answerPlatformInterface (const TUID _iid, void** obj);

	struct EventEntry
	{
		IPtr<Linux::IEventHandler> handler;
		Linux::FileDescriptor fd;
	};
	struct TimerEntry
	{
		IPtr<Linux::ITimerHandler> handler;
		Clock::duration interval;
		Clock::time_point due;
	};

	AEffect* effect;
	audioMasterCallback audioMaster;
	std::vector<EventEntry> eventHandlers;
	std::vector<TimerEntry> timers;
	std::atomic<uint32> refCount {1};
};

} // namespace Vst
} // namespace Steinberg
