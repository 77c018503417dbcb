// The host's side of a plug-in editor on Linux: the IPlugFrame handed to the
// view, which also answers Linux::IRunLoop. It keeps the file descriptors and
// timers the view registers; the host's own loop polls the descriptors it
// lists, hands readable ones back to their handlers and fires due timers.
#pragma once

#include "pluginterfaces/base/funknown.h"
#include "pluginterfaces/gui/iplugview.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

struct pollfd;

namespace Quorvane
{

class HostRunLoop : public Steinberg::IPlugFrame, public Steinberg::Linux::IRunLoop
{
public:
    using Clock = std::chrono::steady_clock;
    // Asked to give the view a new size (width, height); answers whether it could.
    using ResizeFunction = std::function<bool(int, int)>;

    explicit HostRunLoop(ResizeFunction resize = {}, std::function<Clock::time_point()> now = {});
    virtual ~HostRunLoop();

    HostRunLoop(const HostRunLoop&) = delete;
    HostRunLoop& operator=(const HostRunLoop&) = delete;

    // IPlugFrame: resizes through ResizeFunction, then tells the view (onSize).
    Steinberg::tresult PLUGIN_API resizeView(Steinberg::IPlugView* view,
                                             Steinberg::ViewRect* newSize) override;

    // Linux::IRunLoop
    Steinberg::tresult PLUGIN_API registerEventHandler(
        Steinberg::Linux::IEventHandler* handler, Steinberg::Linux::FileDescriptor fd) override;
    Steinberg::tresult PLUGIN_API
    unregisterEventHandler(Steinberg::Linux::IEventHandler* handler) override;
    Steinberg::tresult PLUGIN_API
    registerTimer(Steinberg::Linux::ITimerHandler* handler,
                  Steinberg::Linux::TimerInterval milliseconds) override;
    Steinberg::tresult PLUGIN_API
    unregisterTimer(Steinberg::Linux::ITimerHandler* handler) override;

    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
    Steinberg::uint32 PLUGIN_API addRef() override;
    Steinberg::uint32 PLUGIN_API release() override;

    // Adds one POLLIN entry per registered descriptor.
    void appendPollEntries(std::vector<pollfd>& entries) const;
    // Calls the handlers of the descriptors that poll reported ready. Handlers
    // may register or unregister (themselves or others) while being called.
    void dispatchReady(const std::vector<pollfd>& entries);
    // Fires every timer whose time has come, once, and schedules its next tick.
    void fireDueTimers();
    // When the earliest timer is due; nothing when no timer is registered.
    std::optional<Clock::time_point> nextTimerDue() const;

    size_t eventHandlerCount() const { return handlers.size(); }
    size_t timerCount() const { return timers.size(); }
    // Releases whatever a view left registered.
    void clear();

private:
    struct EventEntry
    {
        Steinberg::Linux::IEventHandler* handler;
        int fd;
        uint64_t serial;
    };
    struct TimerEntry
    {
        Steinberg::Linux::ITimerHandler* handler;
        Clock::duration period;
        Clock::time_point due;
        uint64_t serial;
    };

    bool hasEventEntry(uint64_t serial) const;
    TimerEntry* findTimer(uint64_t serial);

    ResizeFunction resize;
    std::function<Clock::time_point()> now;
    std::vector<EventEntry> handlers;
    std::vector<TimerEntry> timers;
    uint64_t nextSerial = 1;
    Steinberg::uint32 references = 1;
};

} // namespace Quorvane
