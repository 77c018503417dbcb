// An editor view for the wrapper tests: 200 x 120 pixels, embeddable in
// X11, registering one 10 ms timer with its frame's run loop while it is
// attached.
#pragma once

#include "pluginterfaces/gui/iplugview.h"

#include <atomic>
#include <string>

namespace QuorvaneTest::FakePlugin
{

using namespace Steinberg;

struct ViewJournal
{
    int created = 0;
    int attached = 0;
    int removed = 0;
    int timerTicks = 0;
    void* parent = nullptr;
    std::string platformType;
    bool gotRunLoop = false;
};
extern ViewJournal viewJournal;

class FakeView : public IPlugView, public Linux::ITimerHandler
{
public:
    FakeView() { ++viewJournal.created; }
    virtual ~FakeView() = default;

    tresult PLUGIN_API isPlatformTypeSupported(FIDString type) SMTG_OVERRIDE;
    tresult PLUGIN_API attached(void* parent, FIDString type) SMTG_OVERRIDE;
    tresult PLUGIN_API removed() SMTG_OVERRIDE;
    tresult PLUGIN_API onWheel(float) SMTG_OVERRIDE { return kResultFalse; }
    tresult PLUGIN_API onKeyDown(char16, int16, int16) SMTG_OVERRIDE { return kResultFalse; }
    tresult PLUGIN_API onKeyUp(char16, int16, int16) SMTG_OVERRIDE { return kResultFalse; }
    tresult PLUGIN_API getSize(ViewRect* size) SMTG_OVERRIDE;
    tresult PLUGIN_API onSize(ViewRect*) SMTG_OVERRIDE { return kResultTrue; }
    tresult PLUGIN_API onFocus(TBool) SMTG_OVERRIDE { return kResultTrue; }
    tresult PLUGIN_API setFrame(IPlugFrame* frame) SMTG_OVERRIDE;
    tresult PLUGIN_API canResize() SMTG_OVERRIDE { return kResultFalse; }
    tresult PLUGIN_API checkSizeConstraint(ViewRect*) SMTG_OVERRIDE { return kResultTrue; }

    void PLUGIN_API onTimer() SMTG_OVERRIDE { ++viewJournal.timerTicks; }

    tresult PLUGIN_API queryInterface(const TUID _iid, void** obj) SMTG_OVERRIDE;
    uint32 PLUGIN_API addRef() SMTG_OVERRIDE { return ++refCount; }
    uint32 PLUGIN_API release() SMTG_OVERRIDE;

private:
    IPlugFrame* frame = nullptr;
    Linux::IRunLoop* runLoop = nullptr;
    std::atomic<uint32> refCount{1};
};

} // namespace QuorvaneTest::FakePlugin
