#pragma once
// A timer object: while running, each fire notifies its target with kMsgTimer.
// It owns no thread: the platform glue, the host's run loop or a test drives it by calling
// fire() (or fireIfDue() from a polling idle loop).

#include "vstgui/cbaseobject.h"

#include <chrono>
#include <cstdint>

namespace VSTGUI {

class CVSTGUITimer : public CBaseObject
{
public:
	/** The message a timer sends; compare the pointer (or the text). */
	static const char kMsgTimer[];

	/** `target` is not owned and must outlive the timer's running period. */
	CVSTGUITimer (CBaseObject* target, uint32_t fireTimeMs = 100, bool doStart = false);

	bool start ();
	bool stop ();
	bool isRunning () const { return running; }

	void setFireTime (uint32_t ms) { fireTime = ms ? ms : 1; }
	uint32_t getFireTime () const { return fireTime; }

	/** Notifies the target once when running; returns whether it did. */
	bool fire ();
	/** Fires when at least the fire time has passed since the last fire (or the start). */
	bool fireIfDue ();

private:
	CBaseObject* target;
	uint32_t fireTime;
	bool running {false};
	std::chrono::steady_clock::time_point lastFire;
};

} // namespace VSTGUI
