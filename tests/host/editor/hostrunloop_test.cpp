// The frame and run loop `quorvane editor` gives a plug-in's view: what it
// keeps for the view, and that views may change their registrations from
// inside their own callbacks.
#include "editor/hostrunloop.h"

#include <gtest/gtest.h>
#include <poll.h>

#include <functional>

using namespace Steinberg;
using Quorvane::HostRunLoop;

namespace
{

// Counts its references and calls; deletes itself with the last reference
// (gone is set then), as a plug-in's handler does.
class Handler : public Linux::IEventHandler, public Linux::ITimerHandler
{
public:
    explicit Handler(bool* gone = nullptr) : gone(gone) {}
    virtual ~Handler() = default;

    void PLUGIN_API onFDIsSet(Linux::FileDescriptor fd) override
    {
        ++events;
        lastFd = fd;
        if (action)
            action();
    }
    void PLUGIN_API onTimer() override
    {
        ++ticks;
        if (action)
            action();
    }

    tresult PLUGIN_API queryInterface(const TUID, void** obj) override
    {
        *obj = nullptr;
        return kNoInterface;
    }
    uint32 PLUGIN_API addRef() override { return ++references; }
    uint32 PLUGIN_API release() override
    {
        if (--references == 0)
        {
            if (gone)
                *gone = true;
            delete this;
            return 0;
        }
        return references;
    }

    int events = 0;
    int ticks = 0;
    int lastFd = -1;
    uint32 references = 1;
    std::function<void()> action;
    bool* gone;
};

class FakeClock
{
public:
    HostRunLoop::Clock::time_point operator()() const { return now; }
    void advance(int ms) { now += std::chrono::milliseconds(ms); }
    HostRunLoop::Clock::time_point now{};
};

class FakeView : public IPlugView
{
public:
    tresult PLUGIN_API isPlatformTypeSupported(FIDString) override { return kResultTrue; }
    tresult PLUGIN_API attached(void*, FIDString) override { return kResultOk; }
    tresult PLUGIN_API removed() override { return kResultOk; }
    tresult PLUGIN_API onWheel(float) override { return kResultOk; }
    tresult PLUGIN_API onKeyDown(char16, int16, int16) override { return kResultOk; }
    tresult PLUGIN_API onKeyUp(char16, int16, int16) override { return kResultOk; }
    tresult PLUGIN_API getSize(ViewRect*) override { return kResultOk; }
    tresult PLUGIN_API onSize(ViewRect* r) override
    {
        sized = *r;
        ++sizes;
        return kResultOk;
    }
    tresult PLUGIN_API onFocus(TBool) override { return kResultOk; }
    tresult PLUGIN_API setFrame(IPlugFrame*) override { return kResultOk; }
    tresult PLUGIN_API canResize() override { return kResultFalse; }
    tresult PLUGIN_API checkSizeConstraint(ViewRect*) override { return kResultOk; }
    tresult PLUGIN_API queryInterface(const TUID, void** obj) override
    {
        *obj = nullptr;
        return kNoInterface;
    }
    uint32 PLUGIN_API addRef() override { return 1; }
    uint32 PLUGIN_API release() override { return 1; }

    ViewRect sized;
    int sizes = 0;
};

std::vector<pollfd> readable(std::initializer_list<int> fds)
{
    std::vector<pollfd> entries;
    for (int fd : fds)
        entries.push_back({fd, POLLIN, POLLIN});
    return entries;
}

} // namespace

TEST(HostRunLoop, AnswersRunLoopFromTheFrameAndKeepsHandlersAlive)
{
    auto loop = owned(new HostRunLoop());
    Linux::IRunLoop* runLoop = nullptr;
    ASSERT_EQ(loop->queryInterface(Linux::IRunLoop::iid, reinterpret_cast<void**>(&runLoop)),
              kResultOk);
    ASSERT_NE(runLoop, nullptr);
    runLoop->release();

    bool gone = false;
    auto* handler = new Handler(&gone);
    EXPECT_EQ(loop->registerEventHandler(handler, 7), kResultOk);
    EXPECT_EQ(loop->registerTimer(handler, 50), kResultOk);
    // The plug-in lets go of its own reference; the loop's keep the handler.
    handler->release();
    EXPECT_FALSE(gone);
    EXPECT_EQ(loop->unregisterEventHandler(handler), kResultOk);
    EXPECT_FALSE(gone);
    EXPECT_EQ(loop->unregisterTimer(handler), kResultOk);
    EXPECT_TRUE(gone);
}

TEST(HostRunLoop, RejectsBadRegistrationsAndReleasesLeftoversWhenCleared)
{
    auto loop = owned(new HostRunLoop());
    Handler stranger;
    EXPECT_EQ(loop->registerEventHandler(nullptr, 3), kInvalidArgument);
    EXPECT_EQ(loop->registerEventHandler(&stranger, -1), kInvalidArgument);
    EXPECT_EQ(loop->registerTimer(nullptr, 10), kInvalidArgument);
    EXPECT_EQ(loop->unregisterEventHandler(&stranger), kInvalidArgument);
    EXPECT_EQ(loop->unregisterTimer(&stranger), kInvalidArgument);
    EXPECT_EQ(stranger.references, 1u);

    // A view that forgets to unregister leaves nothing referenced behind.
    loop->registerEventHandler(&stranger, 3);
    loop->registerEventHandler(&stranger, 4);
    loop->registerTimer(&stranger, 10);
    EXPECT_EQ(stranger.references, 4u);
    loop->clear();
    EXPECT_EQ(stranger.references, 1u);
    EXPECT_EQ(loop->eventHandlerCount(), 0u);
    EXPECT_EQ(loop->timerCount(), 0u);
}

TEST(HostRunLoop, DispatchesOnlyReadyDescriptors)
{
    auto loop = owned(new HostRunLoop());
    Handler a, b;
    loop->registerEventHandler(&a, 10);
    loop->registerEventHandler(&b, 11);

    std::vector<pollfd> entries;
    loop->appendPollEntries(entries);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].fd, 10);
    EXPECT_EQ(entries[0].events, POLLIN);

    loop->dispatchReady(readable({11}));
    EXPECT_EQ(a.events, 0);
    EXPECT_EQ(b.events, 1);
    EXPECT_EQ(b.lastFd, 11);

    // A closed connection (hang-up) is reported too, so the view sees it.
    loop->dispatchReady({{10, POLLIN, POLLHUP}, {11, POLLIN, 0}});
    EXPECT_EQ(a.events, 1);
    EXPECT_EQ(b.events, 1);
    loop->clear();
}

TEST(HostRunLoop, HandlersMayUnregisterDuringDispatch)
{
    auto loop = owned(new HostRunLoop());
    bool firstGone = false;
    auto* first = new Handler(&firstGone);
    Handler second;
    loop->registerEventHandler(first, 5);
    loop->registerEventHandler(&second, 5);
    first->release();
    // The first one removes itself (its last reference) and the second one.
    first->action = [&]
    {
        loop->unregisterEventHandler(first);
        loop->unregisterEventHandler(&second);
    };
    loop->dispatchReady(readable({5}));
    EXPECT_TRUE(firstGone);
    EXPECT_EQ(second.events, 0);
    EXPECT_EQ(second.references, 1u);
    EXPECT_EQ(loop->eventHandlerCount(), 0u);
}

TEST(HostRunLoop, TimersFireWhenDueAndDoNotBurstAfterADelay)
{
    FakeClock clock;
    auto loop = owned(new HostRunLoop({}, [&clock] { return clock(); }));
    EXPECT_FALSE(loop->nextTimerDue());
    Handler slow, fast;
    loop->registerTimer(&slow, 50);
    loop->registerTimer(&fast, 20);
    EXPECT_EQ(*loop->nextTimerDue(), clock.now + std::chrono::milliseconds(20));

    clock.advance(19);
    loop->fireDueTimers();
    EXPECT_EQ(fast.ticks, 0);
    clock.advance(1);
    loop->fireDueTimers();
    loop->fireDueTimers();
    EXPECT_EQ(fast.ticks, 1);
    EXPECT_EQ(slow.ticks, 0);

    // Half a second without a turn of the loop: one tick each, then the
    // regular period again from now.
    clock.advance(500);
    loop->fireDueTimers();
    EXPECT_EQ(fast.ticks, 2);
    EXPECT_EQ(slow.ticks, 1);
    EXPECT_EQ(*loop->nextTimerDue(), clock.now + std::chrono::milliseconds(20));
    loop->clear();
}

TEST(HostRunLoop, TimerThatStopsItselfAndZeroPeriod)
{
    FakeClock clock;
    auto loop = owned(new HostRunLoop({}, [&clock] { return clock(); }));
    bool gone = false;
    auto* once = new Handler(&gone);
    loop->registerTimer(once, 10);
    once->release();
    once->action = [&] { loop->unregisterTimer(once); };
    clock.advance(10);
    loop->fireDueTimers();
    EXPECT_TRUE(gone);
    EXPECT_EQ(loop->timerCount(), 0u);

    // A zero period must not make the timer due forever.
    Handler eager;
    loop->registerTimer(&eager, 0);
    loop->fireDueTimers();
    EXPECT_EQ(eager.ticks, 0);
    EXPECT_GT(*loop->nextTimerDue(), clock.now);
    loop->clear();
}

TEST(HostRunLoop, ResizeViewResizesTheWindowThenTellsTheView)
{
    std::vector<std::pair<int, int>> requests;
    bool allow = true;
    auto loop = owned(new HostRunLoop(
        [&](int w, int h)
        {
            requests.emplace_back(w, h);
            return allow;
        }));
    FakeView view;
    ViewRect rect(0, 0, 320, 390);
    EXPECT_EQ(loop->resizeView(&view, &rect), kResultOk);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0], std::make_pair(320, 390));
    EXPECT_EQ(view.sizes, 1);
    EXPECT_EQ(view.sized.getWidth(), 320);

    allow = false;
    EXPECT_EQ(loop->resizeView(&view, &rect), kResultFalse);
    EXPECT_EQ(view.sizes, 1);

    ViewRect empty(0, 0, 0, 10);
    EXPECT_EQ(loop->resizeView(&view, &empty), kInvalidArgument);
    EXPECT_EQ(loop->resizeView(nullptr, &rect), kInvalidArgument);
    EXPECT_EQ(requests.size(), 2u);
}
