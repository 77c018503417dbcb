// The Linux frame's run loop: descriptors and timers served on effEditIdle.
#include "vst2plugframe.h"

#include <poll.h>

#include <algorithm>

namespace Steinberg {
namespace Vst {

namespace {

// The interface ID of Linux::IRunLoop (the same words as in
// pluginterfaces/gui/iplugview.h), kept here so that the wrapper does not
// depend on where a module defines the GUI interface IDs.
const TUID kRunLoopIid = INLINE_UID (0x18C35366, 0x97764F1A, 0x9C5B8385, 0x7A871389);

} // namespace

tresult PLUGIN_API Vst2PlugFrame::registerEventHandler (Linux::IEventHandler* handler,
                                                        Linux::FileDescriptor fd)
{
	if (handler == nullptr || fd < 0)
		return kInvalidArgument;
	eventHandlers.push_back ({handler, fd});
	return kResultTrue;
}

tresult PLUGIN_API Vst2PlugFrame::unregisterEventHandler (Linux::IEventHandler* handler)
{
	const auto before = eventHandlers.size ();
	eventHandlers.erase (
	    std::remove_if (eventHandlers.begin (), eventHandlers.end (),
	                    [handler] (const EventEntry& e) { return e.handler == handler; }),
	    eventHandlers.end ());
	return eventHandlers.size () != before ? kResultTrue : kInvalidArgument;
}

tresult PLUGIN_API Vst2PlugFrame::registerTimer (Linux::ITimerHandler* handler,
                                                 Linux::TimerInterval milliseconds)
{
	if (handler == nullptr || milliseconds == 0)
		return kInvalidArgument;
	const Clock::duration interval = std::chrono::milliseconds (milliseconds);
	timers.push_back ({handler, interval, Clock::now () + interval});
	return kResultTrue;
}

tresult PLUGIN_API Vst2PlugFrame::unregisterTimer (Linux::ITimerHandler* handler)
{
	const auto before = timers.size ();
	timers.erase (std::remove_if (timers.begin (), timers.end (),
	                              [handler] (const TimerEntry& t) { return t.handler == handler; }),
	              timers.end ());
	return timers.size () != before ? kResultTrue : kInvalidArgument;
}

void Vst2PlugFrame::runOnce (Clock::time_point now)
{
	// Handlers may unregister themselves (or others) while they run, so
	// each round works on a copy that holds its own references.
	std::vector<EventEntry> events = eventHandlers;
	for (const EventEntry& entry : events)
	{
		const bool stillRegistered =
		    std::any_of (eventHandlers.begin (), eventHandlers.end (),
		                 [&entry] (const EventEntry& e) { return e.handler == entry.handler; });
		if (!stillRegistered)
			continue;
		pollfd request {entry.fd, POLLIN, 0};
		if (::poll (&request, 1, 0) > 0 && (request.revents & (POLLIN | POLLHUP)) != 0)
			entry.handler->onFDIsSet (entry.fd);
	}

	std::vector<IPtr<Linux::ITimerHandler>> due;
	for (TimerEntry& timer : timers)
	{
		if (now < timer.due)
			continue;
		due.push_back (timer.handler);
		// Skip the periods the host's idle calls missed rather than firing
		// them all at once.
		while (timer.due <= now)
			timer.due += timer.interval;
	}
	for (auto& handler : due)
	{
		const bool stillRegistered =
		    std::any_of (timers.begin (), timers.end (),
		                 [&handler] (const TimerEntry& t) { return t.handler == handler; });
		if (stillRegistered)
			handler->onTimer ();
	}
}

void Vst2PlugFrame::clear ()
{
	eventHandlers.clear ();
	timers.clear ();
}

bool Vst2PlugFrame::answerPlatformInterface (const TUID _iid, void** obj)
{
	if (!FUnknownPrivate::iidEqual (_iid, kRunLoopIid))
		return false;
	addRef ();
	*obj = static_cast<Linux::IRunLoop*> (this);
	return true;
}

} // namespace Vst
} // namespace Steinberg
