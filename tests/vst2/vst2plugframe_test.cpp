#include "vst2plugframe.h"

#include "fakeview.h"
#include "vst2testhost.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>

using namespace Steinberg;
using Steinberg::Vst::Vst2PlugFrame;

namespace
{

template <typename Interface> class Counter : public Interface
{
public:
    int calls = 0;
    Linux::FileDescriptor lastFd = -1;
    std::function<void()> onCall;

    tresult PLUGIN_API queryInterface(const TUID, void** obj) override
    {
        *obj = nullptr;
        return kNoInterface;
    }
    uint32 PLUGIN_API addRef() override { return ++refs; }
    uint32 PLUGIN_API release() override { return --refs; } // lives on the stack
    uint32 refs = 1;

protected:
    void hit()
    {
        ++calls;
        if (onCall)
            onCall();
    }
};

class TimerCounter : public Counter<Linux::ITimerHandler>
{
public:
    void PLUGIN_API onTimer() override { hit(); }
};

class EventCounter : public Counter<Linux::IEventHandler>
{
public:
    void PLUGIN_API onFDIsSet(Linux::FileDescriptor fd) override
    {
        lastFd = fd;
        hit();
    }
};

const TUID kRunLoopIid = INLINE_UID(0x18C35366, 0x97764F1A, 0x9C5B8385, 0x7A871389);

} // namespace

TEST(Vst2PlugFrame, TimersFireWhenDueAndStopWhenUnregistered)
{
    IPtr<Vst2PlugFrame> frame = owned(new Vst2PlugFrame(nullptr, nullptr));
    TimerCounter timer;
    const auto start = Vst2PlugFrame::Clock::now();
    ASSERT_EQ(frame->registerTimer(&timer, 50), kResultTrue);
    EXPECT_NE(frame->registerTimer(nullptr, 50), kResultTrue);
    EXPECT_NE(frame->registerTimer(&timer, 0), kResultTrue);

    frame->runOnce(start);
    EXPECT_EQ(timer.calls, 0);
    frame->runOnce(start + std::chrono::milliseconds(60));
    EXPECT_EQ(timer.calls, 1);
    frame->runOnce(start + std::chrono::milliseconds(70));
    EXPECT_EQ(timer.calls, 1);
    // A long gap between idle calls gives one tick, not a burst.
    frame->runOnce(start + std::chrono::milliseconds(1000));
    EXPECT_EQ(timer.calls, 2);

    EXPECT_EQ(frame->unregisterTimer(&timer), kResultTrue);
    EXPECT_NE(frame->unregisterTimer(&timer), kResultTrue);
    frame->runOnce(start + std::chrono::milliseconds(5000));
    EXPECT_EQ(timer.calls, 2);
    EXPECT_EQ(timer.refs, 1u); // the frame gave its references back
}

TEST(Vst2PlugFrame, AHandlerRemovedByAnotherInTheSameRoundIsNotCalled)
{
    IPtr<Vst2PlugFrame> frame = owned(new Vst2PlugFrame(nullptr, nullptr));
    TimerCounter first, second;
    frame->registerTimer(&first, 10);
    frame->registerTimer(&second, 10);
    first.onCall = [&] { frame->unregisterTimer(&second); };
    frame->runOnce(Vst2PlugFrame::Clock::now() + std::chrono::seconds(1));
    EXPECT_EQ(first.calls, 1);
    EXPECT_EQ(second.calls, 0);
    frame->clear();
}

TEST(Vst2PlugFrame, EventHandlersRunOnlyForReadableDescriptors)
{
    IPtr<Vst2PlugFrame> frame = owned(new Vst2PlugFrame(nullptr, nullptr));
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    EventCounter handler;
    ASSERT_EQ(frame->registerEventHandler(&handler, fds[0]), kResultTrue);
    frame->runOnce();
    EXPECT_EQ(handler.calls, 0);
    ASSERT_EQ(::write(fds[1], "x", 1), 1);
    frame->runOnce();
    EXPECT_EQ(handler.calls, 1);
    EXPECT_EQ(handler.lastFd, fds[0]);
    EXPECT_EQ(frame->unregisterEventHandler(&handler), kResultTrue);
    frame->runOnce();
    EXPECT_EQ(handler.calls, 1);
    ::close(fds[0]);
    ::close(fds[1]);
}

TEST(Vst2PlugFrame, AnswersAsRunLoopAndAsksTheHostToResize)
{
    TestHost host;
    TestHost::current = &host;
    IPtr<Vst2PlugFrame> frame = owned(new Vst2PlugFrame(nullptr, TestHost::callback));
    void* loop = nullptr;
    ASSERT_EQ(frame->queryInterface(kRunLoopIid, &loop), kResultOk);
    EXPECT_EQ(loop, static_cast<Linux::IRunLoop*>(frame.get()));
    frame->release();

    QuorvaneTest::FakePlugin::FakeView view;
    ViewRect size(0, 0, 300, 200);
    EXPECT_EQ(frame->resizeView(&view, &size), kResultTrue);
    auto calls = host.callsOf(audioMasterSizeWindow);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].index, 300);
    EXPECT_EQ(calls[0].value, 200);
    host.sizeWindowAnswer = 0;
    EXPECT_EQ(frame->resizeView(&view, &size), kResultFalse);
    TestHost::current = nullptr;
}
