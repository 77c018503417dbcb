#include "hostwindow.h"

#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

using namespace Steinberg;

namespace QuorvaneTest {

ParentWindow::ParentWindow()
{
    if (!std::getenv("DISPLAY"))
        return;
    // A server whose last client just left starts over and refuses connections for a moment.
    for (int attempt = 0; attempt < 30 && !display; ++attempt)
        if (!(display = XOpenDisplay(nullptr)))
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (!display)
        return;
    const int screen = DefaultScreen(display);
    window = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, 400, 450, 0,
                                 BlackPixel(display, screen), WhitePixel(display, screen));
    XMapWindow(display, window);
    XSync(display, False);
}

ParentWindow::~ParentWindow()
{
    if (!display)
        return;
    if (window)
        XDestroyWindow(display, window);
    XCloseDisplay(display);
}

tresult PLUGIN_API RunLoopHost::queryInterface(const TUID iid, void** obj)
{
    if (FUnknownPrivate::iidEqual(iid, IPlugFrame::iid) || FUnknownPrivate::iidEqual(iid, FUnknown::iid))
        *obj = static_cast<IPlugFrame*>(this);
    else if (FUnknownPrivate::iidEqual(iid, Linux::IRunLoop::iid))
        *obj = static_cast<Linux::IRunLoop*>(this);
    else
    {
        *obj = nullptr;
        return kNoInterface;
    }
    addRef();
    return kResultOk;
}

void RunLoopHost::run()
{
    // Handlers may unregister (and be released) while others run: each one is held meanwhile.
    auto events = handlers;
    for (auto& entry : events)
        entry.first->addRef();
    for (auto& entry : events)
    {
        pollfd request {entry.second, POLLIN, 0};
        if (poll(&request, 1, 0) > 0)
            entry.first->onFDIsSet(entry.second);
        entry.first->release();
    }
    auto due = timers;
    for (auto* timer : due)
        timer->addRef();
    for (auto* timer : due)
    {
        timer->onTimer();
        timer->release();
    }
}

tresult PLUGIN_API RunLoopHost::registerEventHandler(Linux::IEventHandler* handler, Linux::FileDescriptor fd)
{
    handler->addRef();
    handlers.emplace_back(handler, fd);
    return kResultTrue;
}

tresult PLUGIN_API RunLoopHost::unregisterEventHandler(Linux::IEventHandler* handler)
{
    auto it = std::find_if(handlers.begin(), handlers.end(), [handler](auto& e) { return e.first == handler; });
    if (it == handlers.end())
        return kInvalidArgument;
    handlers.erase(it);
    handler->release();
    return kResultTrue;
}

tresult PLUGIN_API RunLoopHost::registerTimer(Linux::ITimerHandler* handler, Linux::TimerInterval)
{
    handler->addRef();
    timers.push_back(handler);
    return kResultTrue;
}

tresult PLUGIN_API RunLoopHost::unregisterTimer(Linux::ITimerHandler* handler)
{
    auto it = std::find(timers.begin(), timers.end(), handler);
    if (it == timers.end())
        return kInvalidArgument;
    timers.erase(it);
    handler->release();
    return kResultTrue;
}

} // namespace QuorvaneTest
