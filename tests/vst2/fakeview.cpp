#include "fakeview.h"

#include <cstring>

namespace QuorvaneTest::FakePlugin
{

ViewJournal viewJournal;

namespace
{
const TUID kRunLoopIid = INLINE_UID(0x18C35366, 0x97764F1A, 0x9C5B8385, 0x7A871389);
}

tresult PLUGIN_API FakeView::isPlatformTypeSupported(FIDString type)
{
    return type && std::strcmp(type, kPlatformTypeX11EmbedWindowID) == 0 ? kResultTrue
                                                                         : kResultFalse;
}

tresult PLUGIN_API FakeView::attached(void* parent, FIDString type)
{
    ++viewJournal.attached;
    viewJournal.parent = parent;
    viewJournal.platformType = type ? type : "";
    void* loop = nullptr;
    if (frame && frame->queryInterface(kRunLoopIid, &loop) == kResultOk)
    {
        runLoop = static_cast<Linux::IRunLoop*>(loop);
        viewJournal.gotRunLoop = true;
        runLoop->registerTimer(this, 10);
    }
    return kResultTrue;
}

tresult PLUGIN_API FakeView::removed()
{
    ++viewJournal.removed;
    if (runLoop)
    {
        runLoop->unregisterTimer(this);
        runLoop->release();
        runLoop = nullptr;
    }
    return kResultTrue;
}

tresult PLUGIN_API FakeView::getSize(ViewRect* size)
{
    *size = ViewRect(0, 0, 200, 120);
    return kResultTrue;
}

tresult PLUGIN_API FakeView::setFrame(IPlugFrame* newFrame)
{
    frame = newFrame;
    return kResultTrue;
}

tresult PLUGIN_API FakeView::queryInterface(const TUID _iid, void** obj)
{
    if (FUnknownPrivate::iidEqual(_iid, FUnknown::iid))
    {
        addRef();
        *obj = static_cast<IPlugView*>(this);
        return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
}

uint32 PLUGIN_API FakeView::release()
{
    const uint32 count = --refCount;
    if (count == 0)
        delete this;
    return count;
}

} // namespace QuorvaneTest::FakePlugin
