#include "hostrunloop.h"

#include <algorithm>
#include <poll.h>

using namespace Steinberg;

namespace Quorvane
{

HostRunLoop::HostRunLoop(ResizeFunction resize, std::function<Clock::time_point()> now)
    : resize(std::move(resize)), now(now ? std::move(now) : [] { return Clock::now(); })
{
}

HostRunLoop::~HostRunLoop()
{
    clear();
}

tresult PLUGIN_API HostRunLoop::resizeView(IPlugView* view, ViewRect* newSize)
{
    if (!view || !newSize || newSize->getWidth() <= 0 || newSize->getHeight() <= 0)
        return kInvalidArgument;
    if (resize && !resize(newSize->getWidth(), newSize->getHeight()))
        return kResultFalse;
    return view->onSize(newSize);
}

tresult PLUGIN_API HostRunLoop::registerEventHandler(Linux::IEventHandler* handler,
                                                     Linux::FileDescriptor fd)
{
    if (!handler || fd < 0)
        return kInvalidArgument;
    handler->addRef();
    handlers.push_back({handler, fd, nextSerial++});
    return kResultOk;
}

tresult PLUGIN_API HostRunLoop::unregisterEventHandler(Linux::IEventHandler* handler)
{
    // Removed from the list first: the release may destroy the handler, and
    // destroying it may call back in here.
    std::vector<Linux::IEventHandler*> gone;
    auto keep =
        std::stable_partition(handlers.begin(), handlers.end(),
                              [handler](const EventEntry& e) { return e.handler != handler; });
    for (auto it = keep; it != handlers.end(); ++it)
        gone.push_back(it->handler);
    handlers.erase(keep, handlers.end());
    for (auto* h : gone)
        h->release();
    return gone.empty() ? kInvalidArgument : kResultOk;
}

tresult PLUGIN_API HostRunLoop::registerTimer(Linux::ITimerHandler* handler,
                                              Linux::TimerInterval milliseconds)
{
    if (!handler)
        return kInvalidArgument;
    // A zero period would keep the loop from ever sleeping.
    const Clock::duration period =
        std::chrono::milliseconds(std::max<Linux::TimerInterval>(milliseconds, 1));
    handler->addRef();
    timers.push_back({handler, period, now() + period, nextSerial++});
    return kResultOk;
}

tresult PLUGIN_API HostRunLoop::unregisterTimer(Linux::ITimerHandler* handler)
{
    std::vector<Linux::ITimerHandler*> gone;
    auto keep =
        std::stable_partition(timers.begin(), timers.end(),
                              [handler](const TimerEntry& e) { return e.handler != handler; });
    for (auto it = keep; it != timers.end(); ++it)
        gone.push_back(it->handler);
    timers.erase(keep, timers.end());
    for (auto* h : gone)
        h->release();
    return gone.empty() ? kInvalidArgument : kResultOk;
}

void HostRunLoop::appendPollEntries(std::vector<pollfd>& entries) const
{
    for (const auto& entry : handlers)
        entries.push_back({entry.fd, POLLIN, 0});
}

bool HostRunLoop::hasEventEntry(uint64_t serial) const
{
    return std::any_of(handlers.begin(), handlers.end(),
                       [serial](const EventEntry& e) { return e.serial == serial; });
}

HostRunLoop::TimerEntry* HostRunLoop::findTimer(uint64_t serial)
{
    auto it = std::find_if(timers.begin(), timers.end(),
                           [serial](const TimerEntry& e) { return e.serial == serial; });
    return it == timers.end() ? nullptr : &*it;
}

void HostRunLoop::dispatchReady(const std::vector<pollfd>& entries)
{
    // Work on a copy, each handler held: the list may change under the calls.
    std::vector<EventEntry> ready;
    for (const auto& entry : handlers)
    {
        bool isReady = std::any_of(entries.begin(), entries.end(),
                                   [&entry](const pollfd& p) {
                                       return p.fd == entry.fd &&
                                              (p.revents & (POLLIN | POLLHUP | POLLERR)) != 0;
                                   });
        if (isReady)
        {
            entry.handler->addRef();
            ready.push_back(entry);
        }
    }
    for (const auto& entry : ready)
    {
        if (hasEventEntry(entry.serial))
            entry.handler->onFDIsSet(entry.fd);
        entry.handler->release();
    }
}

void HostRunLoop::fireDueTimers()
{
    const Clock::time_point time = now();
    std::vector<TimerEntry> due;
    for (const auto& entry : timers)
        if (entry.due <= time)
        {
            entry.handler->addRef();
            due.push_back(entry);
        }
    for (const auto& entry : due)
    {
        if (TimerEntry* current = findTimer(entry.serial))
        {
            // A loop that fell behind fires once and starts over rather than
            // catching up with a burst of ticks.
            current->due += current->period;
            if (current->due <= time)
                current->due = time + current->period;
            entry.handler->onTimer();
        }
        entry.handler->release();
    }
}

std::optional<HostRunLoop::Clock::time_point> HostRunLoop::nextTimerDue() const
{
    std::optional<Clock::time_point> earliest;
    for (const auto& entry : timers)
        if (!earliest || entry.due < *earliest)
            earliest = entry.due;
    return earliest;
}

void HostRunLoop::clear()
{
    while (!handlers.empty())
        unregisterEventHandler(handlers.back().handler);
    while (!timers.empty())
        unregisterTimer(timers.back().handler);
}

tresult PLUGIN_API HostRunLoop::queryInterface(const TUID iid, void** obj)
{
    if (FUnknownPrivate::iidEqual(iid, FUnknown::iid) ||
        FUnknownPrivate::iidEqual(iid, IPlugFrame::iid))
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

uint32 PLUGIN_API HostRunLoop::addRef()
{
    return ++references;
}

uint32 PLUGIN_API HostRunLoop::release()
{
    if (--references == 0)
    {
        delete this;
        return 0;
    }
    return references;
}

} // namespace Quorvane
