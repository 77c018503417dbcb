#include "vstgui/cvstguitimer.h"

namespace VSTGUI {

const char CVSTGUITimer::kMsgTimer[] = "timer fired";

CVSTGUITimer::CVSTGUITimer (CBaseObject* target, uint32_t fireTimeMs, bool doStart)
: target (target), fireTime (fireTimeMs ? fireTimeMs : 1)
{
	if (doStart)
		start ();
}

bool CVSTGUITimer::start ()
{
	if (running)
		return false;
	running = true;
	lastFire = std::chrono::steady_clock::now ();
	return true;
}

bool CVSTGUITimer::stop ()
{
	if (!running)
		return false;
	running = false;
	return true;
}

bool CVSTGUITimer::fire ()
{
	if (!running || !target)
		return false;
	lastFire = std::chrono::steady_clock::now ();
	// Keep ourselves alive should the target drop the timer while handling the message.
	remember ();
	target->notify (this, kMsgTimer);
	forget ();
	return true;
}

bool CVSTGUITimer::fireIfDue ()
{
	if (!running)
		return false;
	auto elapsed = std::chrono::steady_clock::now () - lastFire;
	if (elapsed < std::chrono::milliseconds (fireTime))
		return false;
	return fire ();
}

} // namespace VSTGUI
