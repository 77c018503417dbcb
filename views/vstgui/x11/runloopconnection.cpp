#include "vstgui/x11/runloopconnection.h"

#include "vstgui/cframe.h"
#include "vstgui/cvstguitimer.h"

#include <atomic>

namespace VSTGUI {

using namespace Steinberg;

namespace {

/** Reference counting and interface lookup shared by both handlers. */
template <typename Interface>
class Handler : public Interface
{
public:
	virtual ~Handler () = default;

	tresult PLUGIN_API queryInterface (const TUID iid, void** obj) override
	{
		if (FUnknownPrivate::iidEqual (iid, FUnknown::iid) ||
		    FUnknownPrivate::iidEqual (iid, Interface::iid))
		{
			addRef ();
			*obj = static_cast<Interface*> (this);
			return kResultOk;
		}
		*obj = nullptr;
		return kNoInterface;
	}
	uint32 PLUGIN_API addRef () override { return ++refCount; }
	uint32 PLUGIN_API release () override
	{
		uint32 count = --refCount;
		if (count == 0)
			delete this;
		return count;
	}

private:
	std::atomic<uint32> refCount {1};
};

} // namespace

class RunLoopConnection::TimerHandler : public Handler<Linux::ITimerHandler>
{
public:
	explicit TimerHandler (CVSTGUITimer* timer) : timer (timer) {}
	void PLUGIN_API onTimer () override
	{
		if (timer)
			timer->fire ();
	}
	/** A host may call a handler once more after it was unregistered: make that harmless. */
	void detach () { timer = nullptr; }

private:
	CVSTGUITimer* timer;
};

class RunLoopConnection::EventHandler : public Handler<Linux::IEventHandler>
{
public:
	explicit EventHandler (CFrame* frame) : frame (frame) {}
	void PLUGIN_API onFDIsSet (Linux::FileDescriptor) override
	{
		if (frame)
			frame->pumpEvents ();
	}
	void detach () { frame = nullptr; }

private:
	CFrame* frame;
};

RunLoopConnection::RunLoopConnection (Linux::IRunLoop* runLoop) : runLoop (runLoop)
{
	if (runLoop)
		runLoop->addRef ();
}

RunLoopConnection::~RunLoopConnection ()
{
	unwatchFrame ();
	stopTimer ();
	if (runLoop)
		runLoop->release ();
}

bool RunLoopConnection::startTimer (CVSTGUITimer* timer)
{
	stopTimer ();
	if (!runLoop || !timer)
		return false;
	auto* handler = new TimerHandler (timer);
	if (runLoop->registerTimer (handler, timer->getFireTime ()) != kResultOk)
	{
		handler->release ();
		return false;
	}
	timerHandler = handler;
	return true;
}

void RunLoopConnection::stopTimer ()
{
	if (!timerHandler)
		return;
	timerHandler->detach ();
	runLoop->unregisterTimer (timerHandler);
	timerHandler->release ();
	timerHandler = nullptr;
}

bool RunLoopConnection::watchFrame (CFrame* frame)
{
	unwatchFrame ();
	if (!runLoop || !frame || !frame->getPlatformFrame ())
		return false;
	int fd = frame->getPlatformFrame ()->getEventFileDescriptor ();
	if (fd < 0)
		return false;
	auto* handler = new EventHandler (frame);
	if (runLoop->registerEventHandler (handler, fd) != kResultOk)
	{
		handler->release ();
		return false;
	}
	eventHandler = handler;
	return true;
}

void RunLoopConnection::unwatchFrame ()
{
	if (!eventHandler)
		return;
	eventHandler->detach ();
	runLoop->unregisterEventHandler (eventHandler);
	eventHandler->release ();
	eventHandler = nullptr;
}

} // namespace VSTGUI
