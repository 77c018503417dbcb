// What a host on Linux gives an editor: a top-level X window (none without a display) and, for a
// VST 3 view, a plug frame that is also the run loop, served on the thread that calls run().
#pragma once

#include "pluginterfaces/gui/iplugview.h"

#include <X11/Xlib.h>

#include <atomic>
#include <utility>
#include <vector>

namespace QuorvaneTest {

struct ParentWindow
{
    ParentWindow();
    ~ParentWindow();
    ParentWindow(const ParentWindow&) = delete;
    ParentWindow& operator=(const ParentWindow&) = delete;

    void* handle() const { return reinterpret_cast<void*>(window); }

    Display* display = nullptr;
    Window window = 0;   // 0 once the host destroyed it
};

class RunLoopHost : public Steinberg::IPlugFrame, public Steinberg::Linux::IRunLoop
{
public:
    // Serves every readable descriptor and every due timer, once.
    void run();
    bool empty() const { return handlers.empty() && timers.empty(); }

    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
    Steinberg::uint32 PLUGIN_API addRef() override { return ++references; }
    Steinberg::uint32 PLUGIN_API release() override { return --references; }

    Steinberg::tresult PLUGIN_API resizeView(Steinberg::IPlugView*, Steinberg::ViewRect*) override
    {
        return Steinberg::kResultTrue;
    }
    Steinberg::tresult PLUGIN_API registerEventHandler(Steinberg::Linux::IEventHandler* handler,
                                                       Steinberg::Linux::FileDescriptor fd) override;
    Steinberg::tresult PLUGIN_API unregisterEventHandler(Steinberg::Linux::IEventHandler* handler) override;
    Steinberg::tresult PLUGIN_API registerTimer(Steinberg::Linux::ITimerHandler* handler,
                                                Steinberg::Linux::TimerInterval ms) override;
    Steinberg::tresult PLUGIN_API unregisterTimer(Steinberg::Linux::ITimerHandler* handler) override;

private:
    std::atomic<Steinberg::uint32> references {0};
    std::vector<std::pair<Steinberg::Linux::IEventHandler*, int>> handlers;
    std::vector<Steinberg::Linux::ITimerHandler*> timers;
};

} // namespace QuorvaneTest
