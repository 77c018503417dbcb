#pragma once
// Drives a timer and a frame's window events from the host's run loop
// (Steinberg::Linux::IRunLoop): a timer handler fires the timer at its period and an event
// handler on the window's connection descriptor pumps the frame's events.

#include "pluginterfaces/gui/iplugview.h"

namespace VSTGUI {

class CFrame;
class CVSTGUITimer;

class RunLoopConnection
{
public:
	/** Keeps a reference to `runLoop` until destroyed. */
	explicit RunLoopConnection (Steinberg::Linux::IRunLoop* runLoop);
	/** Unregisters whatever is still registered. */
	~RunLoopConnection ();
	RunLoopConnection (const RunLoopConnection&) = delete;
	RunLoopConnection& operator= (const RunLoopConnection&) = delete;

	/** Registers a timer at the timer's fire time that fires it; false when the host refuses. */
	bool startTimer (CVSTGUITimer* timer);
	void stopTimer ();
	bool isTimerRegistered () const { return timerHandler != nullptr; }

	/** Registers the frame window's descriptor; readiness pumps the frame's events. */
	bool watchFrame (CFrame* frame);
	void unwatchFrame ();
	bool isFrameWatched () const { return eventHandler != nullptr; }

private:
	class TimerHandler;
	class EventHandler;

	Steinberg::Linux::IRunLoop* runLoop;
	TimerHandler* timerHandler {nullptr};
	EventHandler* eventHandler {nullptr};
};

} // namespace VSTGUI
